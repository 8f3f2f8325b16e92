#include "view/grid_drawer.h"

#include <algorithm>
#include <map>
#include <vector>

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "ctrl/ports/icanvas.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/expanded_cells.h"
#include "model/grid.h"
#include "view/drawer_context.h"

namespace velkaro {

void ViewGridDrawer::begin()
{
  set_source(ViewColor::background);
  get_cr()->paint();
  const auto ctrl = get_ctrl();
  const auto& canvas = ctrl ? ctrl->get_canvas() : nullptr;
  // One window pixel at any zoom.
  get_cr()->set_line_width(1.0 / (canvas ? canvas->get_zoom() : 1.0));
}

void ViewGridDrawer::draw()
{
  begin();
  set_source(ViewColor::grid);
  draw_lines(CellDir::h);
  draw_lines(CellDir::v);
}

void ViewHVGridDrawer::draw()
{
  begin();
  const auto ctrl = get_ctrl();
  const CellDir active = ctrl && ctrl->get_is_virtical() ? CellDir::v : CellDir::h;
  set_source(ViewColor::grid);
  draw_lines(cell_dir_inv(active));
  // Over the crossings.
  set_source(ViewColor::active_grid);
  draw_lines(active);
}

void ViewGridDrawer::draw_lines(CellDir dir)
{
  const auto grid = get_grid();
  const auto cells = get_cells();
  if (!grid || !cells)
    return;
  const Rectangle r = Rectangle::init_from_cairo_int(get_dc()->update_rect);
  const CellDir across = cell_dir_inv(dir);
  const ModelGridGridList& a = *grid->get(dir);
  const ModelGridGridList& b = *grid->get(across);
  // Lines i0 .. i1 - 1 across, each from the near edge of segment j0 to
  // the far edge of segment j1 - 1.
  const int32_t i0 = std::max(0, b.get_index(r.get_start(across)));
  const int32_t i1 = b.get_index(r.get_end(across));
  const int32_t j0 = std::max(0, a.get_index(r.get_start(dir)));
  const int32_t j1 = a.get_index(r.get_end(dir)) + 1;
  if (i1 <= i0 || j1 <= j0)
    return;
  // The segments left out, by line: only occupied cells can hide one, so
  // only they are looked at, in line order.
  std::map<int32_t, std::vector<int32_t>> hidden;
  const bool horizontal = dir == CellDir::h;
  const CellRange part = horizontal ? CellRange{{j0, i0}, {j1 - 1, i1 - 1}} : CellRange{{i0, j0}, {i1 - 1, j1 - 1}};
  // The covering map of the part and of the cells just beyond its far side.
  const auto expanded = cells->expanded_for(
    horizontal ? CellRange{part.start, {part.end.x, part.end.y + 1}} : CellRange{part.start, {part.end.x + 1, part.end.y}});
  expanded->foreach_range(part, [&](int32_t x, int32_t y, const std::shared_ptr<ModelExpStack>& stack) {
    // The cell on the other side of the line that ends this cell.
    const auto other = horizontal ? expanded->get(x, y + 1) : expanded->get(x + 1, y);
    if (are_multi(stack.get(), other.get()))
      hidden[horizontal ? y : x].push_back(horizontal ? x : y);
    return true;
  });
  const auto& cr = get_cr();
  // The point at a's edge j along dir and b's edge i across it.
  const auto to = [&](bool draw, int32_t j, int32_t i) {
    const double x = horizontal ? a.get(j) : b.get(i);
    const double y = horizontal ? b.get(i) : a.get(j);
    if (draw)
      cr->line_to(x, y);
    else
      cr->move_to(x, y);
  };
  for (int32_t i = i0; i < i1; ++i) {
    to(false, j0 - 1, i);
    int32_t at = j0 - 1;
    if (const auto line = hidden.find(i); line != hidden.end()) {
      for (const int32_t j : line->second) {
        if (j - 1 > at)
          to(true, j - 1, i);
        to(false, j, i);
        at = j;
      }
    }
    if (j1 - 1 > at)
      to(true, j1 - 1, i);
  }
  cr->stroke();
}

bool ViewGridDrawer::are_multi(const ModelExpStack* a, const ModelExpStack* b)
{
  if (!a || !b || a->get_length() != b->get_length())
    return false;
  const auto& x = a->get_data();
  const auto& y = b->get_data();
  for (std::size_t k = 0; k < x.size(); ++k)
    if (x[k] == y[k] && x[k]->mono)
      return true;
  return false;
}

} // namespace velkaro
