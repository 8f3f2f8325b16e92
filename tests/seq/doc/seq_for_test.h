#pragma once
// Helpers of the sequence tests: a fresh workspace, documents given as text,
// the cell dump that tables compare, and a text whose rectangle a test sets.

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "model/document_for_test.h"
#include "model/element_cells.h"
#include "model/serializing_writer.h"
#include "model/workspace_diff.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/sep_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {

using ElementPtr = std::shared_ptr<ModelElement>;
using Lines = std::vector<std::string>;

inline std::shared_ptr<SeqWorkspace> new_ws()
{
  return ModelWorkspace::create<SeqWorkspace>();
}

// One element of a dump: a short word for its kind and what it carries.
inline std::string token(const ModelElement& e)
{
  if (const auto* t = dynamic_cast<const SeqTextElement*>(&e))
    return t->get_role() == 1 ? "text" : "text^";
  if (dynamic_cast<const SeqLifeHead*>(&e))
    return "head";
  if (const auto* ll = dynamic_cast<const SeqLifeLine*>(&e))
    return ll->has_stop ? "ll!" : "ll";
  if (const auto* es = dynamic_cast<const SeqExecSpec*>(&e))
    return "es" + std::to_string(es->get_role()) + (es->get_is_top() ? "T" : "");
  if (const auto* m = dynamic_cast<const SeqMessage*>(&e))
    return m->get_right() == 1 ? "msg>" : (m->get_right() == -1 ? "msg<" : "msg?");
  if (const auto* k = dynamic_cast<const SeqMsgType*>(&e)) {
    static const char* const kinds[] = {"sync", "async", "reply", "found", "lost"};
    return kinds[static_cast<int>(k->msg_type)];
  }
  if (const auto* l = dynamic_cast<const SeqMsgLine*>(&e)) {
    std::string s = l->get_right() == 1 ? "ml>" : "ml<";
    if (l->point != ANY_ROLE) {
      s += '@';
      s += std::to_string(l->point);
    }
    return s;
  }
  if (dynamic_cast<const SeqFragment*>(&e))
    return "frag";
  if (const auto* f = dynamic_cast<const SeqFragLine*>(&e)) {
    std::string s = f->get_dir() == 1 ? "fv" : "fh";
    if (f->is_topleft)
      s += "t";
    if (f->is_start)
      s += "s";
    if (f->is_end)
      s += "e";
    return s;
  }
  if (dynamic_cast<const SeqSepLine*>(&e))
    return "spl";
  if (dynamic_cast<const SeqSeparator*>(&e))
    return "sp";
  return e.get_type_name();
}

// "x,y: token token ..." for every anchor cell, rows from the top, columns
// from the left, each chain from its head.
inline std::vector<std::string> dump(ModelWorkspace& ws)
{
  std::vector<std::string> lines;
  ws.get_cells()->foreach([&lines](int32_t x, int32_t y, const ElementPtr& head) {
    std::string line = std::to_string(x) + "," + std::to_string(y) + ":";
    head->foreach([&line](const ElementPtr& e) { line += " " + token(*e); });
    lines.push_back(line);
    return true;
  });
  return lines;
}

inline std::string joined(const std::vector<std::string>& lines)
{
  std::string s;
  for (const auto& l : lines)
    s += l + "\n";
  return s;
}

// The first element of type T at (x, y), or null.
template <class T>
std::shared_ptr<T> at(ModelWorkspace& ws, int32_t x, int32_t y, int32_t role = ANY_ROLE)
{
  const auto head = ws.elm_at({x, y});
  return head ? head->seek<T>(role) : nullptr;
}

// Whether elm may be stored at (x, y) of ws.
inline bool fits(ModelWorkspace& ws, const ElementPtr& elm, int32_t x, int32_t y)
{
  ws.move_hv(x, y);
  return ws.could_store(elm);
}

// A life line built by hand: a head with its text at (x, y) and cells in
// the rows below; the last one stopped when stop is set.
inline std::shared_ptr<SeqLifeHead> life_line(ModelWorkspace& ws, int32_t x, int32_t y, int cells,
                                              bool stop = false)
{
  auto head = SeqLifeHead::create();
  put(ws, head, x, y);
  put(ws, SeqTextElement::create_with_parent(head), x, y);
  for (int i = 1; i <= cells; ++i) {
    auto ll = SeqLifeLine::create_with_head(head);
    ll->has_stop = stop && i == cells;
    put(ws, ll, x, y + i);
  }
  ws.clear_in_process();
  return head;
}

inline CellRange range(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
  return CellRange{{x0, y0}, {x1, y1}};
}

// A text whose rectangle is what the test sets.
class SizedText : public SeqTextElement {
public:
  static std::shared_ptr<SizedText> create(double width, double height, const ElementPtr& parent)
  {
    auto t = std::make_shared<SizedText>();
    t->rect = {0, 0, width, height};
    t->set_parent(parent);
    return t;
  }
  Rectangle get_rect() override { return rect; }
  Rectangle rect;
};

} // namespace velkaro::test

namespace velkaro::test {

// Whether d records nothing at all.
inline bool record_is_empty(const ModelWorkspaceDiff& d)
{
  int n = 0;
  d.each_add([&n](int32_t, int32_t, const ElementPtr&) { ++n; });
  d.each_rm([&n](int32_t, int32_t, const ElementPtr&) { ++n; });
  return n == 0 && !d.inserted_line && !d.removed_line;
}

// One operation on a small fixture: what it returns, the cell dump after it
// (nothing: the document stays as it was, and nothing is recorded), and how
// often it emits "signal-updated".
struct OpCase {
  std::string name;
  std::function<void(SeqWorkspace&)> setup;
  std::function<bool(SeqWorkspace&)> op;
  bool result;
  std::optional<std::vector<std::string>> after;
  int signals;
};

// Runs c on a fresh workspace: the result, the dump, the signals, and undo
// and redo of the operation's record back to the documents before and after.
inline void run_case(const OpCase& c)
{
  SCOPED_TRACE(c.name);
  const auto ws = new_ws();
  c.setup(*ws);
  ws->clear_in_process();
  const std::string before = document_of(*ws);
  const auto before_dump = dump(*ws);
  int signals = 0;
  sigc::connection counting = ws->signal_updated().connect([&signals] { ++signals; });
  bool result = false;
  const auto d = record_edit(*ws, [&] { result = c.op(*ws); });
  counting.disconnect();
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(signals, c.signals);
  if (!c.after) {
    EXPECT_EQ(joined(dump(*ws)), joined(before_dump));
    EXPECT_EQ(document_of(*ws), before);
    EXPECT_TRUE(record_is_empty(*d));
    return;
  }
  EXPECT_EQ(joined(dump(*ws)), joined(*c.after));
  const std::string after = document_of(*ws);
  expect_undo_redo(*ws, *d, before, after);
}

} // namespace velkaro::test
