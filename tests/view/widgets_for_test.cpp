#include "view/widgets_for_test.h"

#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include "ctrl/gdk_events_for_test.h"

namespace velkaro::test {

void frame(Gtk::Window& window)
{
  settle();
  if (window.get_mapped())
    gtk_test_widget_wait_for_draw(GTK_WIDGET(window.gobj()));
  settle();
}

void activate(Gtk::Window& window)
{
  GdkEvent* event = gdk_event_new(GDK_FOCUS_CHANGE);
  event->focus_change.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
  event->focus_change.send_event = TRUE;
  event->focus_change.in = TRUE;
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
  gtk_main_do_event(event);
  gdk_event_free(event);
  frame(window);
}

void wait(Gtk::Window& window, unsigned ms)
{
  const gint64 end = g_get_monotonic_time() + gint64(ms) * 1000;
  while (g_get_monotonic_time() < end) {
    if (!g_main_context_iteration(nullptr, FALSE))
      g_usleep(1000);
  }
  frame(window);
}

void press(Gtk::Window& window, guint keyval, guint state)
{
  auto event = key_event(GDK_KEY_PRESS, window.get_window()->gobj(), keyval, state);
  // GTK's key bindings (Return activating the focus widget) look keys up by
  // their hardware code.
  GdkKeymapKey* keys = nullptr;
  gint n = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &n) &&
      n > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event->key.group = static_cast<guint8>(keys[0].group);
  }
  g_free(keys);
  gtk_main_do_event(event.get());
  frame(window);
}

void press_modifier(Gtk::Window& window, guint keyval)
{
  auto event = key_event(GDK_KEY_PRESS, window.get_window()->gobj(), keyval);
  event->key.is_modifier = 1;
  gtk_main_do_event(event.get());
  frame(window);
}

} // namespace velkaro::test
