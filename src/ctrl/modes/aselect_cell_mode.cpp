#include "ctrl/modes/aselect_cell_mode.h"

#include "common/cell_range.h"
#include "common/point.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/modes/mode_2d.h"

namespace velkaro {

CtrlASelectCellMode::CtrlASelectCellMode(CtrlContext& ctrl) : CtrlMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  include(Ctrl2DMode::create(ctrl));
  replace_void("up", [this] { move_active_cell(MovingDir::up); });
  replace_void("down", [this] { move_active_cell(MovingDir::down); });
  replace_void("left", [this] { move_active_cell(MovingDir::left); });
  replace_void("right", [this] { move_active_cell(MovingDir::right); });
  replace_void("next-element", [this] {
    get_ctrl().next_elm();
    update_range();
  });
  replace_void("prev-element", [this] {
    get_ctrl().prev_elm();
    update_range();
  });
}

void CtrlASelectCellMode::update_range()
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (!range)
    return;
  range->start = anchor;
  range->end = ctx.get_now_cell();
  range->ensure_consistency();
  ctx.update_cell_pos();
}

bool CtrlASelectCellMode::move_active_cell(MovingDir dir)
{
  get_ctrl().move_pos(dir);
  update_range();
  return true;
}

std::shared_ptr<CellRange> CtrlASelectCellMode::get_range() const { return get_ctrl().selected_range; }

void CtrlASelectCellMode::set_range(const std::shared_ptr<CellRange>& range) { get_ctrl().selected_range = range; }

void CtrlASelectCellMode::on_enter()
{
  CtrlMode::on_enter();
  auto& ctx = get_ctrl();
  anchor = ctx.get_now_cell();
  m_pressing = true;
  set_range(CellRange::create(anchor, anchor));
  ctx.update_view();
}

void CtrlASelectCellMode::on_exit()
{
  CtrlMode::on_exit();
  set_range(nullptr);
  get_ctrl().update_view();
}

bool CtrlASelectCellMode::on_press_left_button(const Point& pt)
{
  auto& ctx = get_ctrl();
  ctx.set_pos_by_pt(pt);
  if (m_pressing)
    update_range();
  else
    ctx.change_to_cell_mode();
  return true;
}

bool CtrlASelectCellMode::on_drag_with_left_button(const Point&, const Point& now_pt)
{
  if (!m_pressing)
    return false;
  auto& ctx = get_ctrl();
  const CellPos cell = ctx.point_to_cell_pos(now_pt);
  const auto range = get_range();
  if (range && cell == range->start && cell == range->end)
    return false;
  ctx.set_pos(cell);
  update_range();
  return true;
}

bool CtrlASelectCellMode::on_release_left_button(const Point&)
{
  m_pressing = false;
  return true;
}

} // namespace velkaro
