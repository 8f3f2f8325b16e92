#include "stm/doc/workspace.h"

#include <glib.h>

#include "common/cell_range.h"
#include "common/check.h"
#include "model/element.h"
#include "stm/doc/cells.h"
#include "stm/doc/elms.h"
#include "stm/doc/grid.h"
#include "stm/doc/text_element.h"

namespace velkaro {
namespace {

// The element of name, or null with a critical message: callers pass the
// names of the vocabulary only.
ModelElement::ElementPtr make_stm_elm(const char* op, const std::string& name)
{
  auto elm = StmElms::make(name);
  if (!elm)
    g_critical("%s: no state-machine element is named \"%s\"", op, name.c_str());
  return elm;
}

} // namespace

void StmWorkspace::init()
{
  ModelWorkspace::init();
  grid = StmGrid::create();
  set_cells(StmCells::create());
  tmp_cells = StmCells::create();
}

StmWorkspace::ElementPtr StmWorkspace::make_text()
{
  auto text = StmTextElement::create();
  text->align = ModelAlign::CENTER;
  return text;
}

bool StmWorkspace::range_cut_target(const ModelElement& /*elm*/, bool /*slide*/, CellDir /*axis*/)
{
  return false;
}

bool StmWorkspace::insert_elm(const CellPos& pos, const std::string& name)
{
  if (!pos.get_is_valid() || elm_at(pos))
    return false;
  const ElementPtr elm = make_stm_elm(G_STRFUNC, name);
  if (!elm)
    return false;
  move_to(pos);
  elm->in_process = false;
  if (!store(elm))
    return false;
  signal_update();
  return true;
}

StmWorkspace::ElementPtr StmWorkspace::insert_elm_4_edit(const CellPos& pos, const std::string& name)
{
  if (!pos.get_is_valid())
    return nullptr;
  const ElementPtr elm = make_stm_elm(G_STRFUNC, name);
  if (!elm)
    return nullptr;
  move_to(pos);
  elm->pick_parent(*this, nullptr);
  return store(elm) ? elm : nullptr;
}

bool StmWorkspace::insert_multi_elm(const std::string& name, const CellRange& range)
{
  if (!range.start.get_is_valid() || !range.end.get_is_valid())
    return false;
  const ElementPtr elm = make_stm_elm(G_STRFUNC, name);
  if (!elm)
    return false;
  move_to(range.start);
  elm->dh = deltah(range.start, range);
  elm->dv = deltav(range.start, range);
  if (!store(elm))
    return false;
  signal_update();
  return true;
}

} // namespace velkaro
