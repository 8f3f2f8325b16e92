#include "ctrl/keys/key_binder.h"

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

namespace velkaro {

std::shared_ptr<CtrlKeyDispatcher> CtrlKeyDispatcher::create(const std::shared_ptr<CtrlIKeyHandler>& handler)
{
  return std::shared_ptr<CtrlKeyDispatcher>(new CtrlKeyDispatcher(handler));
}

CtrlKeyDispatcher::CtrlKeyDispatcher(const std::shared_ptr<CtrlIKeyHandler>& handler) : m_handler(handler) {}

bool CtrlKeyDispatcher::key_press(GdkEventKey& event)
{
  if (m_closed || !get_handler())
    return false;
  if (m_busy)
    return wait_in_line(event, true);

  // The drain and the handlers may drop the last owner of this dispatcher.
  const std::shared_ptr<CtrlKeyDispatcher> self = shared_from_this();
  m_busy = true;
  const ScopeGuard not_busy([this] { m_busy = false; });
  drain();
  const bool handled = dispatch(event, true);
  handle_waiting();
  return handled;
}

bool CtrlKeyDispatcher::key_release(GdkEventKey& event)
{
  if (m_closed || !get_handler())
    return false;
  if (m_busy)
    return wait_in_line(event, false);
  return dispatch(event, false);
}

void CtrlKeyDispatcher::close()
{
  m_closed = true;
  m_waiting.clear();
}

bool CtrlKeyDispatcher::wait_in_line(GdkEventKey& event, bool press)
{
  m_waiting.push_back(Waiting{EventPtr(gdk_event_copy(reinterpret_cast<GdkEvent*>(&event))), press});
  return true;
}

void CtrlKeyDispatcher::drain()
{
  for (int i = 0; i < MAX_DRAIN_ITERATIONS && gtk_events_pending(); ++i)
    gtk_main_iteration_do(FALSE);
}

bool CtrlKeyDispatcher::dispatch(GdkEventKey& event, bool press)
{
  // Asked afresh: whatever ran since the event came may have changed it.
  const std::shared_ptr<CtrlIKeyHandler> handler = get_handler();
  if (m_closed || !handler)
    return false;
  return press ? handler->key_press(event) : handler->key_release(event);
}

void CtrlKeyDispatcher::handle_waiting()
{
  while (!m_waiting.empty()) {
    const Waiting next = std::move(m_waiting.front());
    m_waiting.pop_front();
    // Back to GDK's queue, ahead of anything newer: the drains ran until
    // nothing was pending, and this branch drains nothing.
    if (next.event->key.window && focus_moved_away()) {
      gdk_event_put(next.event.get());
      continue;
    }
    if (next.press)
      drain();
    dispatch(next.event->key, next.press);
  }
}

std::shared_ptr<CtrlKeyBinder> CtrlKeyBinder::create(Gtk::Widget& widget,
                                                     const std::shared_ptr<CtrlIKeyHandler>& handler)
{
  return std::shared_ptr<CtrlKeyBinder>(new CtrlKeyBinder(widget, handler));
}

CtrlKeyBinder::CtrlKeyBinder(Gtk::Widget& widget, const std::shared_ptr<CtrlIKeyHandler>& handler)
  : CtrlKeyDispatcher(handler), m_link(widget, [this] { close(); })
{
  widget.add_events(Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK);
  widget.set_can_focus(true);
  constexpr bool after_default_handler = true;
  m_link.add(widget.signal_key_press_event().connect(sigc::mem_fun(*this, &CtrlKeyBinder::on_widget_key_press),
                                                     after_default_handler));
  m_link.add(widget.signal_key_release_event().connect(
    sigc::mem_fun(*this, &CtrlKeyBinder::on_widget_key_release), after_default_handler));
}

bool CtrlKeyBinder::on_widget_key_press(GdkEventKey* event) { return event && key_press(*event); }

bool CtrlKeyBinder::on_widget_key_release(GdkEventKey* event) { return event && key_release(*event); }

bool CtrlKeyBinder::focus_moved_away() const
{
  GtkWidget* widget = m_link.get_widget();
  if (!widget)
    return false;
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  if (!GTK_IS_WINDOW(top))
    return false;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(top));
  return focus && focus != widget;
}

} // namespace velkaro
