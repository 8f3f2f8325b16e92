#pragma once
// Mouse binders: the button and motion events of a widget go, as clicks,
// double clicks, drags with the left button and plain moves, to the handler a
// binder is aimed at (the context's current mode, an active text editor).
//
// CtrlMouseDispatcher is the part that needs no widget: it takes the values of
// an event (widget pixels, button, press kind, modifier state) and calls the
// handler. CtrlMouseBinder adds the GTK side: it asks its widget for button
// and motion events and connects the widget's signals to the dispatcher,
// before the widget's default handlers.
//
// Points reach the handler as widget pixels divided by the handler's
// get_zoom() at the moment of the event, plus the offset.
//
// Rules:
// - A left press (single, or the third press of a triple click, which counts
//   as a plain press) stores start_pt (divided, without the offset) and
//   reports on_press_left_button; a left double-click event stores start_pt
//   likewise and reports on_double_press_left_button. So a double click
//   arrives as press, release, press, double press, release.
// - A right press or release reports the right-button operations and leaves
//   start_pt alone. Other buttons reach no handler (false).
// - A left release clears start_pt, then reports on_release_left_button.
// - A motion is a drag only while start_pt is set and the left button is
//   really down (GDK_BUTTON1_MASK in the state); a drag leaves bef alone.
//   Any other motion reports on_pointer_move(bef, now), and now becomes bef;
//   the first bef is (0, 0).
// - start_pt and bef survive a change of handler, so a drag begun in one mode
//   goes on, as a drag, in the next.
//
// Handler link: a binder does not own its handler (a std::weak_ptr); its owner
// re-aims it at will. Without a handler every event is let through (false)
// and nothing changes. The dispatcher touches none of its own state after
// the handler returns, so a handler may drop the binder.

#include <memory>
#include <optional>

#include <gdk/gdk.h>

#include "common/point.h"
#include "ctrl/keys/imouse_handler.h"
#include "ctrl/keys/widget_link.h"

namespace Gtk {
class Widget;
}

namespace velkaro {

class CtrlMouseDispatcher {
public:
  // handler may be null.
  static std::shared_ptr<CtrlMouseDispatcher> create(const std::shared_ptr<CtrlIMouseHandler>& handler);
  virtual ~CtrlMouseDispatcher() = default;
  CtrlMouseDispatcher(const CtrlMouseDispatcher&) = delete;
  CtrlMouseDispatcher& operator=(const CtrlMouseDispatcher&) = delete;

  std::shared_ptr<CtrlIMouseHandler> get_handler() const { return m_handler.lock(); }
  void set_handler(const std::shared_ptr<CtrlIMouseHandler>& handler) { m_handler = handler; }

  // Added to every point reported; (0, 0) at first.
  const Point& get_offset() const { return m_offset; }
  void set_offset(const Point& offset) { m_offset = offset; }
  // The point of the pending left press (divided by the zoom, no offset), or
  // none; whoever continues a drag begun elsewhere may set it.
  const std::optional<Point>& get_start_pt() const { return m_start_pt; }
  void set_start_pt(const std::optional<Point>& start_pt) { m_start_pt = start_pt; }

  // The events, in widget pixels. type is GDK_BUTTON_PRESS, GDK_2BUTTON_PRESS
  // or GDK_3BUTTON_PRESS; button is GDK's number (1 left, 3 right). Each
  // returns the handler's result, or false when no handler took the event.
  bool button_press(GdkEventType type, guint button, double x, double y);
  bool button_release(guint button, double x, double y);
  bool motion_notify(guint state, double x, double y);

  // (x, y) divided by the handler's zoom (undivided without a handler); it
  // also becomes the last event point.
  Point ev_to_pt(double x, double y) const;

  // The position of the latest event seen by any mouse binder, divided by
  // that binder's zoom, without offset; (0, 0) before the first event.
  static Point get_last_event_point();

protected:
  explicit CtrlMouseDispatcher(const std::shared_ptr<CtrlIMouseHandler>& handler);

private:
  static Point to_pt(const CtrlIMouseHandler* handler, double x, double y);
  Point plus_offset(Point pt) const { return pt.add(m_offset); }

  std::weak_ptr<CtrlIMouseHandler> m_handler;
  std::optional<Point> m_start_pt;
  Point m_offset;
  Point m_bef;
};

class CtrlMouseBinder : public CtrlMouseDispatcher {
public:
  // Binds the widget's button and motion events (their masks added) to a new
  // binder aimed at handler (which may be null). The connections last until
  // the binder or the widget goes, whichever is first.
  static std::shared_ptr<CtrlMouseBinder> create(Gtk::Widget& widget,
                                                 const std::shared_ptr<CtrlIMouseHandler>& handler);

  // False once the widget is gone.
  bool is_attached() const { return m_link.is_attached(); }

private:
  CtrlMouseBinder(Gtk::Widget& widget, const std::shared_ptr<CtrlIMouseHandler>& handler);

  bool on_widget_button_press(GdkEventButton* event);
  bool on_widget_button_release(GdkEventButton* event);
  bool on_widget_motion_notify(GdkEventMotion* event);

  CtrlWidgetLink m_link;
};

} // namespace velkaro
