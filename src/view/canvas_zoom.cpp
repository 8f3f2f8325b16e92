// The canvas: zooming by keys, by the wheel and by fitting.

#include <algorithm>

#include "common/point.h"
#include "view/canvas.h"
#include "view/drawer_context.h"

namespace velkaro {

void ViewCanvas::set_zoom(double zoom)
{
  const double c = get_zoom();
  if ((c > MAX_ZOOM && zoom > c) || (c < MIN_ZOOM && zoom < c))
    return;
  multiply_offset(zoom / c);
  m_dc->zoom = zoom;
  m_zoom_before_fit = 0;
  m_signal_zoom_changed.emit();
}

void ViewCanvas::multiply_offset(double factor)
{
  const double kx = m_zoom_center ? m_zoom_center->get_x() : 0.0;
  const double ky = m_zoom_center ? m_zoom_center->get_y() : 0.0;
  for (const auto& [axis, k] : {std::pair{CellDir::h, kx}, {CellDir::v, ky}}) {
    if (k != 0) {
      // Keeps the point k units from the page's start where it is on screen.
      set_offset(axis, factor * (get_page_pos(axis) - (k / factor - k)));
    } else if (const auto adj = get_adj(axis)) {
      adj->set_value(adj->get_value() * factor);
    }
  }
  m_zoom_center.reset();
}

void ViewCanvas::zoom_step(double zoom)
{
  set_zoom(zoom);
  m_show_cell_pos_pending = false;
  update();
  m_show_cell_pos_pending = true;
}

void ViewCanvas::zoom_by_keys(int direction, const Point& centre)
{
  m_zoom_center = Point(centre).sub(get_offset_pt());
  const double zoom = direction >= 1 ? get_zoom() * KEY_STEP : direction <= -1 ? get_zoom() * (1 / KEY_STEP) : 1.0;
  zoom_step(zoom);
}

void ViewCanvas::zoom_by_mouse(double delta, double x, double y)
{
  // A delta of 0 zooms out.
  const double factor = delta < 0 ? WHEEL_STEP : 1 / WHEEL_STEP;
  m_zoom_center = Point(x / get_zoom(), y / get_zoom());
  zoom_step(factor * get_zoom());
}

void ViewCanvas::zoom_fit()
{
  if (m_zoom_before_fit != 0) {
    set_zoom(m_zoom_before_fit);
    m_show_cell_pos_pending = true;
    return;
  }
  const Rectangle e = get_exists_rect();
  const double factor =
    std::min({get_page_width() / e.width, get_page_height() / e.height, 1 / KEY_STEP});
  // A page that has no size yet (no scrolled window, or not laid out) would
  // make the zoom 0.
  if (!(factor > 0))
    return;
  m_zoom_before_fit = get_zoom();
  m_dc->zoom *= factor;
  set_offset(CellDir::h, 0);
  set_offset(CellDir::v, 0);
}

} // namespace velkaro
