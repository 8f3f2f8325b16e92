// The canvas: the page, scroll offsets, scrolling and pulling the cursor.

#include <algorithm>

#include "common/point.h"
#include "ctrl/context.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "view/canvas.h"

namespace velkaro {

double ViewCanvas::get_page_pos(CellDir axis) const
{
  const auto adj = get_adj(axis);
  return adj ? adj->get_value() / get_zoom() : 0.0;
}

double ViewCanvas::get_page_size(CellDir axis) const
{
  const auto adj = get_adj(axis);
  return adj ? adj->get_page_size() / get_zoom() : 0.0;
}

double ViewCanvas::get_upper(CellDir axis) const
{
  const auto adj = get_adj(axis);
  return adj ? adj->get_upper() / get_zoom() : 0.0;
}

Rectangle ViewCanvas::get_viewport() const
{
  return {get_page_x(), get_page_y(), get_page_width(), get_page_height()};
}

Point ViewCanvas::get_offset_pt() const { return {get_page_x(), get_page_y()}; }

void ViewCanvas::set_offset(CellDir axis, double offset)
{
  const auto adj = get_adj(axis);
  if (!adj)
    return;
  const double zoom = get_zoom();
  if (offset + get_page_size(axis) > get_upper(axis))
    adj->set_upper((offset + get_page_size(axis)) * zoom);
  // GTK keeps the value within the bounds: a negative offset lands at 0.
  adj->set_value(offset * zoom);
}

void ViewCanvas::add_offset(CellDir axis, double delta)
{
  if (delta != 0)
    set_offset(axis, delta + get_page_pos(axis));
}

void ViewCanvas::clamp_h(double lower, double upper)
{
  if (const auto adj = get_adj(CellDir::h))
    adj->clamp_page(lower * get_zoom(), upper * get_zoom());
}

void ViewCanvas::clamp_v(double lower, double upper)
{
  if (const auto adj = get_adj(CellDir::v))
    adj->clamp_page(lower * get_zoom(), upper * get_zoom());
}

void ViewCanvas::scroll_by_mouse(double dx, double dy)
{
  if (dy != 0)
    add_offset(CellDir::v, dy * get_page_height() / 10);
  if (dx != 0)
    add_offset(CellDir::h, dx * get_page_width() / 10);
  update();
}

void ViewCanvas::scroll_page(CellDir axis, int divisor)
{
  if (divisor == 0)
    return;
  add_offset(axis, get_page_size(axis) / divisor);
  update();
  pull_cursor(axis);
}

void ViewCanvas::scroll(CellDir axis, int count)
{
  const auto ctrl = get_ctrl();
  if (count == 0 || !ctrl || !get_scrolled_window())
    return;
  const bool forward = count > 0;
  const int step = forward ? 1 : -1;
  const Rectangle v = get_viewport();
  // The cell one unit inside the page's top-left corner.
  CellPos cell = ctrl->point_to_cell_pos(Point(v.x + 1, v.y + 1));
  const double reference = forward ? v.get_end(axis) : v.get_start(axis);
  const ModelGrid& grid = *m_ws->grid;
  double t = 0;
  while (true) {
    const Rectangle r = grid.get_rect(cell.x, cell.y);
    t = forward ? r.get_end(axis) : r.get_start(axis);
    const int32_t next = cell.get(axis) + step;
    if (next < 0 || next > CellPos::MAX)
      break;
    cell.set(axis, next);
    if (forward ? t > reference : t < reference)
      break;
  }
  set_offset(axis, forward ? t - v.get_size(axis) : t);
  update();
  pull_cursor(axis);
}

void ViewCanvas::pull_cursor(CellDir axis)
{
  const auto ctrl = get_ctrl();
  if (!ctrl || !get_scrolled_window())
    return;
  CellPos p = ctrl->get_now_cell();
  const Rectangle v = get_viewport();
  const ModelGrid& grid = *m_ws->grid;
  int last_move = 0;
  while (true) {
    const Rectangle r = grid.get_rect(p.x, p.y);
    if (v.get_start(axis) > r.get_start(axis)) {
      p.set(axis, p.get(axis) + 1);
      if (last_move == -1)
        break;
      last_move = 1;
    } else if (r.get_end(axis) > v.get_end(axis)) {
      p.set(axis, p.get(axis) - 1);
      if (last_move == 1)
        break;
      last_move = -1;
    } else {
      break;
    }
  }
  // A cell larger than the page may have been stepped past the grid's edge.
  ctrl->set_pos(p.clamp());
}

} // namespace velkaro
