#pragma once
// CtrlICanvas: what the controller asks of the canvas on which a diagram is
// drawn. The view's canvas implements it; the controller context holds it
// (CtrlContext::set_canvas) and installs its key and mouse binders on the
// canvas widget.
//
// Lengths are canvas units (pixels at zoom 1.0). "Updating" the canvas means
// resizing it to cover the used cells, the cursor cell and the viewport, and
// queueing a redraw.

#include "common/directions.h"

namespace Gtk {
class Widget;
}

namespace velkaro {

class Point;

class CtrlICanvas {
public:
  virtual ~CtrlICanvas() = default;

  // The drawing area that takes the keyboard focus and the key and pointer
  // events; null for a canvas without a widget (the binders are then not
  // installed). Valid while the canvas lives.
  virtual Gtk::Widget* get_widget() = 0;
  // Gives the canvas the keyboard focus.
  virtual void grab_focus() = 0;

  // --- Zoom (a factor; 1.0 is 100 %).

  virtual double get_zoom() const = 0;
  // Refused, with nothing changed, when the zoom is above 20 and zoom is
  // larger, or below 0.1 and zoom is smaller; otherwise the scroll offsets
  // are rescaled by new/old, the zoom is stored and a pending fit zoom is
  // dropped.
  virtual void set_zoom(double zoom) = 0;
  // Zooms about centre (which the caller keeps): times 1.4 for a direction
  // of 1 or more, times 1/1.4 for a negative one, back to 1.0 for 0; then
  // the canvas is updated.
  virtual void zoom_by_keys(int direction, const Point& centre) = 0;
  // Toggles between fitting every used cell (and the cursor cell) into the
  // page, with both scroll offsets 0, and the zoom held before the fit.
  virtual void zoom_fit() = 0;

  // --- The visible page: scroll position and size, in canvas units.

  virtual double get_page_x() const = 0;
  virtual double get_page_y() const = 0;
  virtual double get_page_width() const = 0;
  virtual double get_page_height() const = 0;

  // --- Scrolling.

  // Makes offset the scroll position along the axis (h or v), growing the
  // scrollable size when the page would reach past it.
  virtual void set_offset(CellDir axis, double offset) = 0;
  // Scrolls one cell along dir, back for a negative n, forward for a
  // positive one; then updates the canvas and pulls the cursor into the
  // page along dir.
  virtual void scroll(CellDir dir, int n) = 0;
  // Scrolls by the page size along dir divided by divisor (a negative
  // divisor scrolls back); then updates and pulls the cursor in.
  virtual void scroll_page(CellDir dir, int divisor) = 0;
  // Moves the context's cursor cell along dir, one cell at a time, until it
  // lies inside the visible page, and makes that cell the cursor.
  virtual void pull_cursor(CellDir dir) = 0;

  // --- Redrawing.

  // Scrolls the cursor cell into view at the next draw, then update().
  virtual void show_cell_pos() = 0;
  virtual void update() = 0;

  // Drops the canvas's counted reference to the scrolled window that holds
  // it, before the window is destroyed by the command "q".
  virtual void release_scrolled_window() = 0;
};

} // namespace velkaro
