#include "ctrl/keys/mouse_binder.h"

#include <utility>

#include <gtkmm/widget.h>


namespace velkaro {
namespace {

Point& last_event_point()
{
  static Point point;
  return point;
}

} // namespace

std::shared_ptr<CtrlMouseDispatcher> CtrlMouseDispatcher::create(const std::shared_ptr<CtrlIMouseHandler>& handler)
{
  return std::shared_ptr<CtrlMouseDispatcher>(new CtrlMouseDispatcher(handler));
}

CtrlMouseDispatcher::CtrlMouseDispatcher(const std::shared_ptr<CtrlIMouseHandler>& handler) : m_handler(handler) {}

bool CtrlMouseDispatcher::button_press(GdkEventType type, guint button, double x, double y)
{
  const std::shared_ptr<CtrlIMouseHandler> handler = get_handler();
  if (!handler)
    return false;
  if (type == GDK_2BUTTON_PRESS) {
    if (button != GDK_BUTTON_PRIMARY)
      return false;
    m_start_pt = to_pt(handler.get(), x, y);
    return handler->on_double_press_left_button(plus_offset(*m_start_pt));
  }
  // A triple click's third press arrives as a plain press.
  switch (button) {
  case GDK_BUTTON_PRIMARY:
    m_start_pt = to_pt(handler.get(), x, y);
    return handler->on_press_left_button(plus_offset(*m_start_pt));
  case GDK_BUTTON_SECONDARY: return handler->on_press_right_button(plus_offset(to_pt(handler.get(), x, y)));
  default: return false;
  }
}

bool CtrlMouseDispatcher::button_release(guint button, double x, double y)
{
  const std::shared_ptr<CtrlIMouseHandler> handler = get_handler();
  if (!handler)
    return false;
  switch (button) {
  case GDK_BUTTON_PRIMARY:
    m_start_pt.reset();
    return handler->on_release_left_button(plus_offset(to_pt(handler.get(), x, y)));
  case GDK_BUTTON_SECONDARY: return handler->on_release_right_button(plus_offset(to_pt(handler.get(), x, y)));
  default: return false;
  }
}

bool CtrlMouseDispatcher::motion_notify(guint state, double x, double y)
{
  const std::shared_ptr<CtrlIMouseHandler> handler = get_handler();
  if (!handler)
    return false;
  const Point now = plus_offset(to_pt(handler.get(), x, y));
  if (m_start_pt && (state & GDK_BUTTON1_MASK))
    return handler->on_drag_with_left_button(plus_offset(*m_start_pt), now);
  // Swapped before the call: the handler may drop this dispatcher.
  const Point bef = std::exchange(m_bef, now);
  return handler->on_pointer_move(bef, now);
}

Point CtrlMouseDispatcher::ev_to_pt(double x, double y) const { return to_pt(get_handler().get(), x, y); }

Point CtrlMouseDispatcher::get_last_event_point() { return last_event_point(); }

Point CtrlMouseDispatcher::to_pt(const CtrlIMouseHandler* handler, double x, double y)
{
  Point pt(x, y);
  if (handler)
    pt.divide(handler->get_zoom());
  last_event_point() = pt;
  return pt;
}

std::shared_ptr<CtrlMouseBinder> CtrlMouseBinder::create(Gtk::Widget& widget,
                                                         const std::shared_ptr<CtrlIMouseHandler>& handler)
{
  return std::shared_ptr<CtrlMouseBinder>(new CtrlMouseBinder(widget, handler));
}

CtrlMouseBinder::CtrlMouseBinder(Gtk::Widget& widget, const std::shared_ptr<CtrlIMouseHandler>& handler)
  : CtrlMouseDispatcher(handler), m_link(widget)
{
  widget.add_events(Gdk::POINTER_MOTION_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
  constexpr bool after_default_handler = false;
  m_link.add(widget.signal_button_press_event().connect(
    sigc::mem_fun(*this, &CtrlMouseBinder::on_widget_button_press), after_default_handler));
  m_link.add(widget.signal_button_release_event().connect(
    sigc::mem_fun(*this, &CtrlMouseBinder::on_widget_button_release), after_default_handler));
  m_link.add(widget.signal_motion_notify_event().connect(
    sigc::mem_fun(*this, &CtrlMouseBinder::on_widget_motion_notify), after_default_handler));
}

bool CtrlMouseBinder::on_widget_button_press(GdkEventButton* event)
{
  return event && button_press(event->type, event->button, event->x, event->y);
}

bool CtrlMouseBinder::on_widget_button_release(GdkEventButton* event)
{
  return event && button_release(event->button, event->x, event->y);
}

bool CtrlMouseBinder::on_widget_motion_notify(GdkEventMotion* event)
{
  return event && motion_notify(event->state, event->x, event->y);
}

} // namespace velkaro
