#pragma once
// Key binders: the key events of a widget go to the handler a binder is aimed
// at (the context's current mode, the command line).
//
// CtrlKeyDispatcher is the part that needs no widget: it takes key events and
// calls the handler. CtrlKeyBinder adds the GTK side: it makes its widget
// focusable, asks for key events and connects the widget's key signals to the
// dispatcher, after the widget's default handler (so handlers connected to
// the widget in the ordinary way, such as a text editor's input method, see
// each key first).
//
// Handler link: a binder does not own its handler (a std::weak_ptr). Its owner
// re-aims it at will (set_handler); a mode may hold a binder aimed at itself
// without a cycle, and a handler that dies leaves the binder without one.
// Without a handler every event is let through (false).
//
// Pending events: before it hands a key press on, the dispatcher runs the main
// loop until nothing is pending, so redraws, timers and idle callbacks queued
// by the keys before (a text mode leaving visual mode at idle, say) have run
// when the next key is handled. Running the main loop here re-enters it, so:
// - The dispatcher keeps itself alive until the press is handled, and after
//   the drain asks afresh for its handler: a callback run by the drain may
//   drop the binder, re-aim it, destroy the handler or the widget. With no
//   handler left, or once the widget is gone (close()), the press is dropped
//   (false).
// - Key events that reach the dispatcher while it is handling a press are not
//   handled inside it: each is copied, reported handled (true) and handled
//   after it, in arrival order, by the handler current at that time (dropped
//   when there is none). So keys are handled one at a time, in the order they
//   came. Only GDK's own events can be copied: the event must be part of a
//   GdkEvent as GDK makes it.
// - When the press moved the keyboard focus to another widget (":" opens the
//   command line), the keys that waited behind it were typed for that
//   widget: they go back to GDK's queue, in order, and reach it through the
//   window. Only a binder on a widget knows the focus; a bare dispatcher
//   keeps them.
// - A callback that stays ready for ever cannot hold a key up: the drain stops
//   after a bounded number of main-loop iterations.
// Key releases are handed on at once, without draining, unless a press is
// being handled; then they wait in line with the presses.

#include <deque>
#include <memory>

#include <gdk/gdk.h>

#include "common/c_resource.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/keys/widget_link.h"

namespace Gtk {
class Widget;
}

namespace velkaro {

class CtrlKeyDispatcher : public std::enable_shared_from_this<CtrlKeyDispatcher> {
public:
  // handler may be null.
  static std::shared_ptr<CtrlKeyDispatcher> create(const std::shared_ptr<CtrlIKeyHandler>& handler);
  virtual ~CtrlKeyDispatcher() = default;
  CtrlKeyDispatcher(const CtrlKeyDispatcher&) = delete;
  CtrlKeyDispatcher& operator=(const CtrlKeyDispatcher&) = delete;

  std::shared_ptr<CtrlIKeyHandler> get_handler() const { return m_handler.lock(); }
  void set_handler(const std::shared_ptr<CtrlIKeyHandler>& handler) { m_handler = handler; }

  // A key press: drains pending events, then the handler's key_press. False
  // when there is no handler (then nothing is drained).
  bool key_press(GdkEventKey& event);
  // A key release: the handler's key_release, false without a handler.
  bool key_release(GdkEventKey& event);

  // No event is handed on any more and the waiting ones are dropped; for a
  // binder whose widget is gone.
  void close();
  bool is_closed() const { return m_closed; }

  // Main-loop iterations one drain runs at most.
  static constexpr int MAX_DRAIN_ITERATIONS = 1000;

protected:
  explicit CtrlKeyDispatcher(const std::shared_ptr<CtrlIKeyHandler>& handler);

  // True when the keyboard focus has left the dispatcher's widget, so that
  // waiting keys belong to another one.
  virtual bool focus_moved_away() const { return false; }

private:
  using EventPtr = CPtr<GdkEvent, gdk_event_free>;
  // A key event that came while a press was being handled.
  struct Waiting {
    EventPtr event;
    bool press;
  };

  bool wait_in_line(GdkEventKey& event, bool press);
  void drain();
  bool dispatch(GdkEventKey& event, bool press);
  void handle_waiting();

  std::weak_ptr<CtrlIKeyHandler> m_handler;
  bool m_busy = false;
  bool m_closed = false;
  std::deque<Waiting> m_waiting;
};

class CtrlKeyBinder : public CtrlKeyDispatcher {
public:
  // Binds the widget's key events (press and release masks, focusable) to a
  // new binder aimed at handler (which may be null). The connections last
  // until the binder or the widget goes, whichever is first.
  static std::shared_ptr<CtrlKeyBinder> create(Gtk::Widget& widget, const std::shared_ptr<CtrlIKeyHandler>& handler);

  // False once the widget is gone.
  bool is_attached() const { return m_link.is_attached(); }

private:
  CtrlKeyBinder(Gtk::Widget& widget, const std::shared_ptr<CtrlIKeyHandler>& handler);

  bool on_widget_key_press(GdkEventKey* event);
  bool on_widget_key_release(GdkEventKey* event);
  bool focus_moved_away() const override;

  CtrlWidgetLink m_link;
};

} // namespace velkaro
