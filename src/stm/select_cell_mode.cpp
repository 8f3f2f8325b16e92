#include "stm/select_cell_mode.h"

#include "common/cell_range.h"
#include "ctrl/keys/action_row.h"
#include "stm/context.h"
#include "stm/doc/workspace.h"

namespace velkaro {

namespace {

using Mode = StmSelectCellMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"insert-composite", {"I"}, N_("Insert a composite"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_compo(); }},
  };
  return rows;
}

} // namespace

StmSelectCellMode::StmSelectCellMode(StmContext& ctrl) : CtrlSelectCellMode(ctrl), m_ws(ctrl.get_stm_ws())
{
  ctrl_register_rows(*this, *this, key_rows());
}

bool StmSelectCellMode::insert_compo()
{
  // Held: the switch to the cell mode drops the context's selection.
  const auto range = get_range();
  const bool done = range && m_ws->insert_multi_elm("composite", *range);
  if (done)
    get_ctrl().change_to_cell_mode();
  m_ws->clear_in_process();
  return done;
}

} // namespace velkaro
