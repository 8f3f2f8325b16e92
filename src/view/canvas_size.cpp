// The canvas: its size request, from the used cells, the cursor cell and
// what is on screen.

#include <algorithm>

#include <gtkmm/scrolledwindow.h>

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "view/canvas.h"

namespace velkaro {

Rectangle ViewCanvas::get_exists_rect() const
{
  CellRange range = *m_ws->get_cells()->get_exists_range();
  range.start = {0, 0};
  if (const auto ctrl = get_ctrl()) {
    const CellPos c = ctrl->get_now_cell();
    range.end.x = std::max(range.end.x, c.x);
    range.end.y = std::max(range.end.y, c.y);
  }
  return m_ws->grid->get_range_rect(range);
}

void ViewCanvas::show_cell_pos()
{
  m_show_cell_pos_pending = true;
  update();
}

void ViewCanvas::update()
{
  const auto ctrl = get_ctrl();
  if (!ctrl)
    return;
  const Rectangle e = get_exists_rect();
  const double zoom = get_zoom();
  int request_w = 0, request_h = 0;
  get_size_request(request_w, request_h);
  const double w = request_w / zoom;
  const double h = request_h / zoom;
  if (!m_show_cell_pos_pending) {
    // Twice: the first resize may change the page (scroll bars come or go).
    for (int i = 0; i < 2; ++i) {
      const Rectangle v = get_viewport();
      set_cv_size(std::max(e.width, v.x + v.width), std::max(e.height, v.y + v.height));
    }
  } else if (e.width != w || e.height != h) {
    // Room up to the cursor cell plus a page, never more than now and
    // never less than the used cells.
    const CellPos c = ctrl->get_now_cell();
    const Rectangle before = m_ws->grid->get_range_rect(CellRange{{0, 0}, {c.x - 1, c.y - 1}});
    set_cv_size(std::max(std::min(w, before.width + get_page_width()), e.width),
                std::max(std::min(h, before.height + get_page_height()), e.height));
  }
  queue_draw();
}

void ViewCanvas::set_cv_size(double w, double h)
{
  set_size_request(static_cast<int>(w * get_zoom()), static_cast<int>(h * get_zoom()));
  Gtk::ScrolledWindow* sw = get_scrolled_window();
  if (!sw)
    return;
  // Laid out again now, so that the adjustments follow before we return.
  int minimum = 0, natural = 0;
  sw->get_preferred_width(minimum, natural);
  sw->get_preferred_height(minimum, natural);
  Gtk::Allocation allocation = sw->get_allocation();
  sw->size_allocate(allocation);
}

} // namespace velkaro
