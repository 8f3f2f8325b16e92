#include "view/main_view.h"

#include <gtk/gtk.h>

#include <gtkmm/window.h>

#include "ctrl/context.h"
#include "ctrl/modes/move_view_mode.h"
#include "view/canvas.h"

namespace velkaro {

ViewMainView::ViewMainView(const std::shared_ptr<CtrlContext>& ctrl)
  : m_ctrl(ctrl),
    m_viewport(Glib::RefPtr<Gtk::Adjustment>(), Glib::RefPtr<Gtk::Adjustment>()),
    m_key_setting(ctrl, [this] { show_cv(); })
{
  set_transition_type(Gtk::STACK_TRANSITION_TYPE_SLIDE_UP_DOWN);
  if (ctrl)
    init_cv(*ctrl);
  // Added first: the page shown at start.
  add(m_scrolled, "cv");
  add(m_key_setting, "key_setting");
}

ViewMainView::~ViewMainView()
{
  // The canvas belongs to the context, which may outlive this view: it
  // leaves the viewport instead of being destroyed with it.
  if (Gtk::Widget* child = m_viewport.get_child()) {
    if (auto* canvas = dynamic_cast<ViewCanvas*>(child))
      canvas->release_scrolled_window();
    m_viewport.remove();
  }
}

void ViewMainView::init_cv(CtrlContext& ctrl)
{
  m_scrolled.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  m_scrolled.signal_scroll_event().connect(sigc::mem_fun(*this, &ViewMainView::on_scroll), false);
  // Any key: the window's "init" applies the setting first.
  ctrl.signal_config_changed().connect(
    sigc::hide(sigc::hide(sigc::mem_fun(*this, &ViewMainView::on_config_changed))));
  m_scrolled.add(m_viewport);
  if (ViewCanvas* canvas = get_canvas()) {
    m_viewport.add(*canvas);
    canvas->set_scrolled_window(m_scrolled);
  }
}

ViewCanvas* ViewMainView::get_canvas() const
{
  const auto ctrl = m_ctrl.lock();
  return ctrl ? dynamic_cast<ViewCanvas*>(ctrl->get_canvas().get()) : nullptr;
}

bool ViewMainView::get_is_cv_active() const { return !get_visible() || get_visible_child_name() == "cv"; }

void ViewMainView::show_key_setting()
{
  m_key_setting.show_list();
  set_visible_child("key_setting");
  if (const auto ctrl = m_ctrl.lock())
    ctrl->queue_state_changed();
  // The stack hands the focus to the page when it held it in the canvas
  // page; from anywhere else the page takes it here.
  const Gtk::Widget* focus = nullptr;
  if (const auto* window = dynamic_cast<const Gtk::Window*>(get_toplevel()))
    focus = window->get_focus();
  if (!focus || !focus->is_ancestor(m_key_setting))
    m_key_setting.child_focus(Gtk::DIR_TAB_FORWARD);
}

void ViewMainView::show_cv()
{
  // Switching back, the stack hands the focus to the canvas itself when
  // the page it leaves held it; that grab must not move the canvas either.
  ViewCanvas* canvas = get_canvas();
  const double x = canvas ? canvas->get_page_x() : 0;
  const double y = canvas ? canvas->get_page_y() : 0;
  set_visible_child("cv");
  if (canvas) {
    canvas->set_offset(CellDir::v, y);
    canvas->set_offset(CellDir::h, x);
  }
  if (const auto ctrl = m_ctrl.lock())
    ctrl->queue_state_changed();
  grab_focus();
}

void ViewMainView::toggle_view()
{
  if (get_is_cv_active())
    show_key_setting();
  else
    show_cv();
}

void ViewMainView::grab_focus() { Gtk::Widget::grab_focus(); }

void ViewMainView::on_grab_focus()
{
  ViewCanvas* canvas = get_canvas();
  if (!canvas || !get_is_cv_active())
    return;
  // GTK may scroll a container to show the child that takes the focus.
  const double x = canvas->get_page_x();
  const double y = canvas->get_page_y();
  canvas->grab_focus();
  canvas->set_offset(CellDir::v, y);
  canvas->set_offset(CellDir::h, x);
}

int ViewMainView::get_long_press_time() const
{
  int ms = 500;
  GtkSettings* settings = gtk_widget_get_settings(GTK_WIDGET(const_cast<GtkStack*>(gobj())));
  g_object_get(settings, "gtk-long-press-time", &ms, nullptr);
  return ms;
}

bool ViewMainView::on_scroll(GdkEventScroll* event)
{
  ViewCanvas* canvas = get_canvas();
  const auto ctrl = m_ctrl.lock();
  if (!event || !canvas || !ctrl)
    return true;
  double dx = 0, dy = 0;
  switch (event->direction) {
  case GDK_SCROLL_UP:
    dy = -1;
    break;
  case GDK_SCROLL_DOWN:
    dy = 1;
    break;
  case GDK_SCROLL_LEFT:
    dx = -1;
    break;
  case GDK_SCROLL_RIGHT:
    dx = 1;
    break;
  case GDK_SCROLL_SMOOTH:
    dx = event->delta_x;
    dy = event->delta_y;
    break;
  }
  if (event->state & GDK_CONTROL_MASK) {
    if (!dynamic_cast<CtrlMoveViewMode*>(ctrl->get_now_mode().get()))
      canvas->zoom_by_mouse(dy, event->x, event->y);
  } else if (event->state & GDK_SHIFT_MASK) {
    canvas->scroll_by_mouse(dy, dx);
  } else {
    canvas->scroll_by_mouse(dx, dy);
  }
  // The scrolled window never scrolls by itself.
  return true;
}

void ViewMainView::on_config_changed()
{
  if (const auto ctrl = m_ctrl.lock())
    m_scrolled.set_overlay_scrolling(ctrl->config_b("use-overlay-scrolling"));
}

} // namespace velkaro
