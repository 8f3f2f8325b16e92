// The canvas: construction, the scrolled window and the draw.

#include "view/canvas.h"

#include <exception>

#include <gtk/gtk.h>
#include <gtkmm/scrolledwindow.h>

#include "common/c_resource.h"
#include "common/check.h"
#include "ctrl/context.h"
#include "model/grid.h"
#include "model/text_measure.h"
#include "model/workspace.h"
#include "view/cairo_guard.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"

namespace velkaro {

ViewCanvas::ViewCanvas(CtrlContext& ctrl)
  : m_ctrl(ctrl.weak_from_this()), m_ws(ctrl.get_ws()), m_dc(ViewDrawerContext::create())
{
  add_events(Gdk::POINTER_MOTION_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
  m_ws->signal_updated().connect(sigc::mem_fun(*this, &ViewCanvas::update));
  m_dc->color_map = ViewColorMap::create_dark();
}

ViewCanvas::~ViewCanvas() { release_scrolled_window(); }

// --- scrolled window ----------------------------------------------------------

void ViewCanvas::set_scrolled_window(Gtk::ScrolledWindow& sw)
{
  release_scrolled_window();
  m_sw = sw.gobj();
  g_object_add_weak_pointer(G_OBJECT(m_sw), reinterpret_cast<gpointer*>(&m_sw));
}

void ViewCanvas::release_scrolled_window()
{
  if (!m_sw)
    return;
  g_object_remove_weak_pointer(G_OBJECT(m_sw), reinterpret_cast<gpointer*>(&m_sw));
  m_sw = nullptr;
}

Gtk::ScrolledWindow* ViewCanvas::get_scrolled_window() const { return m_sw ? Glib::wrap(m_sw) : nullptr; }

Glib::RefPtr<Gtk::Adjustment> ViewCanvas::get_adj(CellDir axis) const
{
  Gtk::ScrolledWindow* sw = get_scrolled_window();
  if (!sw)
    return {};
  return axis == CellDir::v ? sw->get_vadjustment() : sw->get_hadjustment();
}

double ViewCanvas::get_zoom() const { return m_dc->zoom; }

// --- drawing --------------------------------------------------------------------

bool ViewCanvas::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
  VK_CHECK_VAL(cr, false);
  const auto ctrl = get_ctrl();
  if (!ctrl)
    return false;
  try {
    draw_passes(*ctrl, cr);
  } catch (const std::exception& e) {
    // cairomm throws where cairo reports an error; a draw handler must not.
    g_warning("canvas: drawing failed: %s", e.what());
  }
  return false;
}

void ViewCanvas::draw_passes(CtrlContext& ctrl, const Cairo::RefPtr<Cairo::Context>& cr)
{
  // No main-loop iteration runs while it draws: no font changes.
  const ModelTextMeasure::Steady steady;
  if (m_show_cell_pos_pending) {
    reveal_cursor(ctrl);
    m_show_cell_pos_pending = false;
  }
  const Rectangle v = get_viewport();
  const double zoom = get_zoom();
  const int m = static_cast<int>(DRAW_MARGIN / zoom);
  const cairo_rectangle_int_t page = v.to_cairo_int();
  m_dc->update_rect = {page.x - m, page.y - m, page.width + 2 * m, page.height + 2 * m};
  m_dc->cr = cr;
  m_dc->set_antialias_off(true);
  if (zoom == 1.0) {
    cr->translate(0.5, 0.5);
  } else {
    Cairo::Matrix matrix;
    cr->get_matrix(matrix);
    matrix.scale(zoom, zoom);
    cr->set_matrix(matrix);
  }
  const auto keep = ctrl.shared_from_this();
  for (const auto& drawer : drawers) {
    const CairoSaveGuard saved(cr);
    drawer->draw_for(m_dc, keep);
  }
  // What a trial edit left in the scratch cells, in the working colour.
  const auto scratch = m_ws->scoped_temp_mode();
  for (const auto& drawer : drawers) {
    if (!drawer->get_for_working())
      continue;
    const CairoSaveGuard saved(cr);
    drawer->set_override_color(m_dc->color_map->get(ViewColor::in_working_line));
    const ScopeGuard clear([&drawer] { drawer->set_override_color(std::nullopt); });
    drawer->draw_for(m_dc, keep);
  }
}

void ViewCanvas::reveal_cursor(CtrlContext& ctrl)
{
  const CellPos c = ctrl.get_now_cell();
  const Rectangle r = m_ws->grid->get_rect(c.x, c.y);
  clamp_v(r.y, r.y + r.height);
  clamp_h(r.x, r.x + r.width);
}

} // namespace velkaro
