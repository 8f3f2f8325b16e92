// Asks a window to close as a window manager's close button does: sends it
// the WM_DELETE_WINDOW message of the WM_PROTOCOLS protocol.
// Usage: velkaro_wm_close WINDOW-ID (decimal or 0x hexadecimal).

#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
