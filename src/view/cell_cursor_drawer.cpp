#include "view/cell_cursor_drawer.h"

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/expanded_cells.h"
#include "model/grid.h"

namespace velkaro {
namespace {

// The grid rectangle of the cells elm covers, whichever way it extends.
Rectangle covered_rect(const ModelGrid& grid, const ModelElement& elm)
{
  CellRange range{elm.pos, elm.get_endpos()};
  range.ensure_consistency();
  return grid.get_range_rect(range);
}

} // namespace

void ViewCellCursorDrawer::draw()
{
  const auto ctrl = get_ctrl();
  const auto grid = get_grid();
  if (!ctrl || !grid)
    return;
  get_cr()->set_line_width(2.0);
  const CellPos c = ctrl->get_now_cell();
  const auto stack = get_cells()->stack_at(c.x, c.y);
  set_source(ViewColor::active_grid);
  if (stack) {
    for (const auto& elm : stack->get_data())
      if (elm->get_is_multi() && elm->mono)
        draw_rect(covered_rect(*grid, *elm));
  }
  set_source(ViewColor::active_cell_frame);
  if (stack && stack->get_mono())
    draw_rect(covered_rect(*grid, *stack->get_mono_elm()));
  else
    draw_rect(grid->get_rect(c.x, c.y));
}

void ViewCellCursorDrawer::draw_rect(const Rectangle& rect)
{
  get_cr()->rectangle(rect.x + 0.5, rect.y + 0.5, rect.width - 1, rect.height - 1);
  get_cr()->stroke();
}

} // namespace velkaro
