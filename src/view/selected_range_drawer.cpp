#include "view/selected_range_drawer.h"

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "model/grid.h"
#include "view/cairo_guard.h"

namespace velkaro {

void ViewSelectedRangeDrawer::draw()
{
  const auto ctrl = get_ctrl();
  if (!ctrl || !ctrl->selected_range)
    return;
  const CellRange& range = *ctrl->selected_range;
  const auto grid = get_grid();
  const Rectangle u = grid->get_rect(range.start.x, range.start.y).combine(grid->get_rect(range.end.x, range.end.y));
  const CairoSaveGuard saved(get_cr());
  set_source(get_fill_color());
  get_cr()->rectangle(u.x, u.y, u.width, u.height);
  get_cr()->fill();
}

GdkRGBA ViewSelectedRangeDrawer::get_fill_color() const { return get_color(ViewColor::selected_cell_fill); }

} // namespace velkaro
