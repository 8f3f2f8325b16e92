#pragma once
// Helpers of the state-machine document tests: a fresh workspace, documents
// given as text, and the dump of the cells that tables compare.

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/document_for_test.h"
#include "model/element_cells.h"
#include "model/text_element.h"
#include "stm/doc/composite.h"
#include "stm/doc/concurrent.h"
#include "stm/doc/point_elms.h"
#include "stm/doc/text_element.h"
#include "stm/doc/transaction.h"
#include "stm/doc/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {

inline std::shared_ptr<StmWorkspace> new_stm_ws()
{
  return ModelWorkspace::create<StmWorkspace>();
}

// One element of a dump: its XML name, the extension of a multi-cell
// element as "(dh,dv)", "^" for a transition with a parent, a text's text
// after ":".
inline std::string stm_token(const ModelElement& e)
{
  if (const auto* t = dynamic_cast<const ModelTextElement*>(&e)) {
    const std::string word = dynamic_cast<const StmTextElement*>(t) ? "stm_text" : "text";
    return word + ":" + const_cast<ModelTextElement*>(t)->get_text();
  }
  std::string s = e.tag;
  if (e.get_is_multi())
    s += "(" + std::to_string(e.dh) + "," + std::to_string(e.dv) + ")";
  if (dynamic_cast<const StmTransaction*>(&e) && e.get_parent())
    s += "^";
  return s;
}

// Every chain of the document as "x,y: token token ...", rows ascending,
// columns ascending.
inline std::vector<std::string> stm_dump(ModelWorkspace& ws)
{
  std::vector<std::string> lines;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    std::string line = std::to_string(x) + "," + std::to_string(y) + ":";
    head->foreach([&](const std::shared_ptr<ModelElement>& e) { line += " " + stm_token(*e); });
    lines.push_back(line);
    return true;
  });
  return lines;
}

// The element of class T in the chain anchored at (x, y), or null.
template <class T>
std::shared_ptr<T> stm_at(ModelWorkspace& ws, int32_t x, int32_t y)
{
  const auto head = ws.elm_at({x, y});
  return head ? head->seek<T>(ANY_ROLE) : nullptr;
}

} // namespace velkaro::test
