#include "ctrl/gdk_events_for_test.h"

#include <gtk/gtk.h>

namespace velkaro::test {
namespace {

GdkSeat* seat() { return gdk_display_get_default_seat(gdk_display_get_default()); }

} // namespace

void settle()
{
  while (gtk_events_pending())
    gtk_main_iteration_do(FALSE);
}

EventPtr key_event(GdkEventType type, GdkWindow* window, guint keyval, guint state)
{
  EventPtr event(gdk_event_new(type));
  event->key.window = GDK_WINDOW(g_object_ref(window));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  event->key.state = state;
  gdk_event_set_device(event.get(), gdk_seat_get_keyboard(seat()));
  return event;
}

EventPtr button_event(GdkEventType type, GdkWindow* window, guint button, double x, double y, guint state)
{
  EventPtr event(gdk_event_new(type));
  event->button.window = GDK_WINDOW(g_object_ref(window));
  event->button.send_event = TRUE;
  event->button.time = GDK_CURRENT_TIME;
  event->button.button = button;
  event->button.x = x;
  event->button.y = y;
  event->button.state = state;
  gdk_event_set_device(event.get(), gdk_seat_get_pointer(seat()));
  return event;
}

EventPtr motion_event(GdkWindow* window, guint state, double x, double y)
{
  EventPtr event(gdk_event_new(GDK_MOTION_NOTIFY));
  event->motion.window = GDK_WINDOW(g_object_ref(window));
  event->motion.send_event = TRUE;
  event->motion.time = GDK_CURRENT_TIME;
  event->motion.state = state;
  event->motion.x = x;
  event->motion.y = y;
  gdk_event_set_device(event.get(), gdk_seat_get_pointer(seat()));
  return event;
}

} // namespace velkaro::test
