#pragma once
// A canvas in a window, for the GTK tests of the view and of the diagram
// kinds: a toplevel window holding a scrolled window that holds the canvas
// (GTK puts a viewport between them), linked to the canvas as the main view
// links it and given to the controller as the main window gives it.
// Needs a display; build it inside the test.

#include <memory>

#include <cairomm/surface.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include "view/canvas.h"

namespace velkaro {
class CtrlContext;
}

namespace velkaro::test {

// A canvas with the standard drawers every canvas installs: the grid with
// its active axis, the cursor frame, the selected range and the viewport.
class StandardCanvas : public ViewCanvas {
public:
  explicit StandardCanvas(CtrlContext& ctrl);
  // The drawer list, for tests that add their own.
  DrawerList& list() { return drawers; }
};

class CanvasHarness {
public:
  // Shows canvas in a window whose scrolled window is width by height
  // pixels, makes it ctrl's canvas and lays everything out. The scroll bars
  // take their room inside that size.
  CanvasHarness(CtrlContext& ctrl, std::shared_ptr<ViewCanvas> canvas, int width = 400, int height = 300);
  ~CanvasHarness();
  CanvasHarness(const CanvasHarness&) = delete;
  CanvasHarness& operator=(const CanvasHarness&) = delete;

  // The canvas as GTK draws it, at widget pixels, over the visible area
  // (the image's pixel (0, 0) is the visible area's top-left corner).
  Cairo::RefPtr<Cairo::ImageSurface> render();
  // Runs GTK's pending work (layout, redraws).
  void settle();

  std::shared_ptr<ViewCanvas> canvas;
  Gtk::Window window;
  Gtk::ScrolledWindow sw;
};

} // namespace velkaro::test
