#include "stm_document_check.h"

#include <memory>

#include "document_check.h"
#include "model/text_element.h"
#include "stm/doc/cells.h"
#include "stm/doc/composite.h"
#include "stm/doc/grid.h"
#include "stm/doc/line_elms.h"
#include "stm/doc/point_elms.h"
#include "stm/doc/workspace.h"

namespace velkaro::fuzz {

namespace {

// A begin state whose transition turns down onto a sink state, and a named
// composite, open when the input is read.
constexpr std::string_view STM_OPEN_DOCUMENT = R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="0" v="0">
   <beginstate/>
   <transaction width="3"/>
  </cell>
  <cell h="3" v="0">
   <transaction height="2" pi="1" ph="0"/>
  </cell>
  <cell h="3" v="2">
   <sinkstate/>
  </cell>
  <cell h="1" v="4">
   <composite width="4" height="3"/>
   <stm_text role="1">Open</stm_text>
  </cell>
 </element_cells>
</workspace>
)";

std::shared_ptr<ModelWorkspace> make_stm_workspace()
{
  return ModelWorkspace::create<StmWorkspace>();
}

bool is_stm_kind(const ModelElement& e)
{
  return dynamic_cast<const StmPointElms*>(&e) || dynamic_cast<const StmComposite*>(&e) ||
         dynamic_cast<const StmLineElms*>(&e) || dynamic_cast<const ModelTextElement*>(&e);
}

std::string stm_rules(ModelWorkspace& ws)
{
  if (!std::dynamic_pointer_cast<StmGrid>(ws.grid) || !std::dynamic_pointer_cast<StmCells>(ws.get_cells()))
    return "a document just read lost the state-machine grid or cells";
  for (const auto* list : {ws.grid->h.get(), ws.grid->v.get()})
    for (const ModelGridGridData& d : list->get_entries())
      if (!(list->get_size(d.index) >= StmGrid::MIN_LINE_SIZE))
        return "the line " + std::to_string(d.index) + " is narrower than the state-machine minimum";
  std::string problem;
  ws.get_cells()->foreach([&problem](int32_t x, int32_t y, const ModelElement::ElementPtr& head) {
    for (auto e = head; e && problem.empty(); e = e->get_next()) {
      const std::string where = std::string("a ") + e->get_type_name() + " in the cell " + CellPos{x, y}.to_string();
      if (!is_stm_kind(*e))
        problem = where + " is of no state-machine kind";
      else if (dynamic_cast<const StmPointElms*>(e.get()) && e->get_is_multi())
        problem = where + " covers more than one cell";
    }
    return problem.empty();
  });
  return problem;
}

} // namespace

std::string check_stm_document(std::string_view bytes)
{
  static const DocumentCheckKind stm{&make_stm_workspace, STM_OPEN_DOCUMENT, &stm_rules, nullptr};
  return check_document(bytes, stm);
}

} // namespace velkaro::fuzz
