#pragma once
// GDK events for the tests that drive real widgets, built as the display
// delivers them: sent now (GDK_CURRENT_TIME, send_event set) to a window,
// which the event holds a reference on, from the default seat's keyboard or
// pointer. Hand them to gtk_main_do_event() for GTK's own dispatch, or to
// gtk_widget_event() for one widget. They need a display.

#include <gdk/gdk.h>

#include "common/c_resource.h"

namespace velkaro::test {

using EventPtr = CPtr<GdkEvent, gdk_event_free>;

// Dispatches GTK's pending events until none is left.
void settle();

// A key press or release (type) of keyval with the modifiers in state.
EventPtr key_event(GdkEventType type, GdkWindow* window, guint keyval, guint state = 0);

// A press, double press or release (type) of button at (x, y) in window
// coordinates; state holds the modifiers and buttons down before it.
EventPtr button_event(GdkEventType type, GdkWindow* window, guint button, double x, double y, guint state = 0);

// A pointer motion to (x, y) with the modifiers and buttons in state down
// (GDK_BUTTON1_MASK for a drag).
EventPtr motion_event(GdkWindow* window, guint state, double x, double y);

} // namespace velkaro::test
