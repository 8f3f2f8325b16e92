#include "stm/select_mode.h"

#include "stm/context.h"
#include "stm/doc/workspace.h"
#include "stm/range_mode.h"

namespace velkaro {

StmSelectMode::StmSelectMode(StmContext& ctrl) : CtrlSelectMode(ctrl), m_ws(ctrl.get_stm_ws()) {}

void StmSelectMode::on_enter_switch() {}

bool StmSelectMode::settle()
{
  auto& ctx = get_ctrl();
  const auto selected = get_selected();
  if (!selected)
    return finish();
  switch (mode) {
  case CtrlSelectModeModes::del:
    selected->in_process = false;
    ctx.copy(selected, true);
    return finish();
  case CtrlSelectModeModes::yank:
    ctx.copy(selected, false);
    return finish();
  case CtrlSelectModeModes::chg_es:
  case CtrlSelectModeModes::chg_msg: {
    const auto sub = mode == CtrlSelectModeModes::chg_msg ? CtrlRangeModeModes::change
                                                          : CtrlRangeModeModes::change_selected;
    ctx.edit_elm = selected;
    change_to<StmRangeMode>([sub](StmRangeMode& range) { range.mode = sub; });
    return false;
  }
  }
  return finish();
}

bool StmSelectMode::finish()
{
  auto& ctx = get_ctrl();
  ctx.edit_elm = nullptr;
  ctx.change_to_cell_mode();
  ctx.update_view();
  return true;
}

} // namespace velkaro
