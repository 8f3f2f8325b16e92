#include "ctrl/gdk_events_for_test.h"

#include <gtk/gtk.h>

namespace velkaro::test {
namespace {

GdkSeat* seat() { return gdk_display_get_default_seat(gdk_display_get_default()); }

// A new event of type on window, sent now from device.
EventPtr new_event(GdkEventType type, GdkWindow* window, GdkDevice* device)
{
  EventPtr event(gdk_event_new(type));
  event->any.window = GDK_WINDOW(g_object_ref(window));
  event->any.send_event = TRUE;
  gdk_event_set_device(event.get(), device);
  return event;
}

} // namespace

void settle()
{
  while (gtk_events_pending())
    gtk_main_iteration_do(FALSE);
}

EventPtr key_event(GdkEventType type, GdkWindow* window, guint keyval, guint state)
{
  EventPtr event = new_event(type, window, gdk_seat_get_keyboard(seat()));
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  event->key.state = state;
  return event;
}

EventPtr button_event(GdkEventType type, GdkWindow* window, guint button, double x, double y, guint state)
{
  EventPtr event = new_event(type, window, gdk_seat_get_pointer(seat()));
  event->button.time = GDK_CURRENT_TIME;
  event->button.button = button;
  event->button.x = x;
  event->button.y = y;
  event->button.state = state;
  return event;
}

EventPtr motion_event(GdkWindow* window, guint state, double x, double y)
{
  EventPtr event = new_event(GDK_MOTION_NOTIFY, window, gdk_seat_get_pointer(seat()));
  event->motion.time = GDK_CURRENT_TIME;
  event->motion.state = state;
  event->motion.x = x;
  event->motion.y = y;
  return event;
}

} // namespace velkaro::test
