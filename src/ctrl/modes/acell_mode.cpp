#include "ctrl/modes/acell_mode.h"

#include <glib.h>

#include "common/cell_range.h"
#include "common/point.h"
#include "ctrl/modes/range_mode.h"
#include "model/exp_stack.h"
#include "model/workspace.h"

namespace velkaro {

CtrlACellMode::CtrlACellMode(CtrlContext& ctrl) : CtrlMode(ctrl) {}

bool CtrlACellMode::move_active_cell(MovingDir dir)
{
  get_ctrl().move_pos(dir);
  return true;
}

bool CtrlACellMode::on_press_left_button(const Point& pt)
{
  get_ctrl().set_pos_by_pt(pt);
  return true;
}

bool CtrlACellMode::on_press_right_button(const Point& pt)
{
  on_press_left_button(pt);
  return CtrlMode::on_press_right_button(pt);
}

std::shared_ptr<CellRange> CtrlACellMode::seek_next_to(int32_t dh, bool enabled)
{
  if (!enabled)
    return nullptr;
  auto& ctx = get_ctrl();
  const auto& ws = get_ws();
  CellPos found{-1, -1};
  ws->move_to(ctx.get_now_cell());
  for (int step = 0; step < SEEK_STEPS; ++step) {
    ws->move_h(dh);
    if (ws->get_c_elm()) {
      found = ws->cursor;
      break;
    }
  }
  if (!found.get_is_valid())
    return nullptr;
  return CellRange::create(ctx.get_now_cell(), found);
}

bool CtrlACellMode::resize()
{
  auto& ctx = get_ctrl();
  const auto exp = ctx.get_now_exp();
  if (!exp)
    return false;
  const auto elms = exp->get_resizable_elms();
  if (elms.empty())
    return false;
  if (elms.size() > 1) {
    // Which element is meant cannot be told; nothing happens, so nothing
    // may be reported as done either.
    g_debug("mode_cell:49: todo is called!!!!!!!!!!!");
    return false;
  }
  ctx.edit_elm = elms.front();
  change_to<CtrlRangeMode>([](CtrlRangeMode& range) { range.mode = CtrlRangeModeModes::resize; });
  return true;
}

} // namespace velkaro
