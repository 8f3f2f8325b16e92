#pragma once
// Driving shown widgets in the view tests: waiting for GTK to lay out and
// draw, and sending keys the way the display does (to the toplevel, which
// hands them to its focus widget). They need a display.

#include <gdk/gdk.h>

namespace Gtk {
class Window;
}

namespace velkaro::test {

// Runs the main loop until the window's frame clock has run a whole cycle
// (styling, layout, drawing), then dispatches what is left pending; so that
// sizes and positions are up to date.
void frame(Gtk::Window& window);

// Makes window the active toplevel, as a window manager does when the user
// clicks it: its focus widget then has the focus (has_focus()), which
// GTK's directional focus moves rely on. Xvfb has no window manager.
void activate(Gtk::Window& window);

// Runs the main loop for ms milliseconds (a button activated from the
// keyboard emits "clicked" 250 ms later), then frame().
void wait(Gtk::Window& window, unsigned ms);

// A key press of keyval with the modifiers in state on window, then frame().
void press(Gtk::Window& window, guint keyval, guint state = 0);
// A press of a modifier key alone (Shift, Control), then frame().
void press_modifier(Gtk::Window& window, guint keyval);

} // namespace velkaro::test
