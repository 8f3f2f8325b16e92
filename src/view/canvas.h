#pragma once
// ViewCanvas: the widget on which a diagram is drawn, zoomed and scrolled.
// A GTK drawing area showing the workspace of one controller context,
// inside a scrolled window that the main view makes (set_scrolled_window).
// It implements the controller's CtrlICanvas.
//
// Drawing: the canvas owns an ordered list of drawers and one drawer
// context with the dark palette. At every GTK draw it scales the cairo
// context by the zoom (at exactly 1.0 it translates by half a pixel
// instead, so that lines fall on pixels), makes the visible area grown by
// 99 ÷ zoom canvas units on every side the update rectangle, and runs every
// drawer in list order, each between a cairo save and restore. Then, with
// the workspace switched to its scratch cells, it runs again the drawers
// whose get_for_working() is true, with their override colour set to the
// palette's in_working_line. The canvas clips nothing: each drawer limits
// its work to the update rectangle.
//
// Subclassing: each diagram kind derives its canvas from this class; its
// constructor appends its drawers to `drawers` in drawing order (the grid
// first, ViewHVGridDrawer, which also paints the background; then the
// cursor frame, the element drawers, the selected range and the viewport).
//
// Units: lengths are canvas units (the grid's pixels at zoom 1); window
// pixels are canvas units times the zoom; the scrolled window's adjustments
// hold window pixels and every operation converts at that boundary.
//
// Ownership: the controller holds the canvas (CtrlContext::set_canvas); the
// canvas holds the controller weakly and the workspace by counted
// reference. The scrolled window belongs to the main view: the canvas only
// links to it, the link is cut when the window goes (or by
// release_scrolled_window()), and every operation that needs it does
// nothing without it. Nothing here runs once the controller is gone.

#include <memory>
#include <optional>
#include <vector>

#include <gtkmm/adjustment.h>
#include <gtkmm/drawingarea.h>
#include <sigc++/signal.h>

#include "common/rectangle.h"
#include "ctrl/ports/icanvas.h"

typedef struct _GtkScrolledWindow GtkScrolledWindow;

namespace Gtk {
class ScrolledWindow;
}

namespace velkaro {

class CtrlContext;
class ModelWorkspace;
class ViewDrawer;
class ViewDrawerContext;

class ViewCanvas : public Gtk::DrawingArea, public CtrlICanvas {
public:
  using DrawerList = std::vector<std::shared_ptr<ViewDrawer>>;

  // Zoom limits: no growing above MAX_ZOOM, no shrinking below MIN_ZOOM
  // (tested on the current zoom, so one step may pass them).
  static constexpr double MAX_ZOOM = 20.0;
  static constexpr double MIN_ZOOM = 0.1;
  // One key zoom step, and one wheel step.
  static constexpr double KEY_STEP = 1.4;
  static constexpr double WHEEL_STEP = 1.1;
  // The update rectangle's margin in window pixels (99 ÷ zoom canvas units).
  static constexpr int DRAW_MARGIN = 99;

  // A canvas of ctrl's workspace: no drawers yet, zoom 1.0, no scrolled
  // window. It updates itself whenever the workspace announces a change.
  // ctrl is owned by std::shared_ptr.
  explicit ViewCanvas(CtrlContext& ctrl);
  ~ViewCanvas() override;

  // --- The controller's interface.

  Gtk::Widget* get_widget() override { return this; }
  void grab_focus() override { Gtk::Widget::grab_focus(); }
  double get_zoom() const override;
  void set_zoom(double zoom) override;
  void zoom_by_keys(int direction, const Point& centre) override;
  void zoom_fit() override;
  double get_page_x() const override { return get_page_pos(CellDir::h); }
  double get_page_y() const override { return get_page_pos(CellDir::v); }
  double get_page_width() const override { return get_page_size(CellDir::h); }
  double get_page_height() const override { return get_page_size(CellDir::v); }
  void set_offset(CellDir axis, double offset) override;
  void scroll(CellDir axis, int count) override;
  void scroll_page(CellDir axis, int divisor) override;
  void pull_cursor(CellDir axis) override;
  void show_cell_pos() override;
  void update() override;
  void release_scrolled_window() override;

  // --- The scrolled window.

  // Links the canvas to the scrolled window that holds it.
  void set_scrolled_window(Gtk::ScrolledWindow& sw);
  // The linked window, or null.
  Gtk::ScrolledWindow* get_scrolled_window() const;
  // The vertical adjustment for v, the horizontal one otherwise; null
  // without a scrolled window.
  Glib::RefPtr<Gtk::Adjustment> get_adj(CellDir axis) const;

  // --- The page, in canvas units (0 without a scrolled window).

  double get_page_pos(CellDir axis) const;
  double get_page_size(CellDir axis) const;
  double get_upper(CellDir axis) const;
  // (page x, page y, page width, page height).
  Rectangle get_viewport() const;
  Point get_offset_pt() const;
  // The grid rectangle from cell (0, 0) to the last used column and row,
  // or the cursor cell when that lies further.
  Rectangle get_exists_rect() const;

  // --- Scrolling and zooming.

  // set_offset() to the page position plus delta; nothing for 0.
  void add_offset(CellDir axis, double delta);
  // Scrolls the least that brings [lower, upper] into the page, its start
  // first when it does not fit.
  void clamp_h(double lower, double upper);
  void clamp_v(double lower, double upper);
  // Rescales both offsets by factor about the pending zoom centre (or the
  // page's corner), which it consumes.
  void multiply_offset(double factor);
  // A wheel zoom step about the pointer at (x, y), window pixels relative to
  // the visible area: in for a negative delta, out otherwise.
  void zoom_by_mouse(double delta, double x, double y);
  // Scrolls by a tenth of the page per unit of dx and dy, then updates.
  void scroll_by_mouse(double dx, double dy);
  // Requests the size (w, h) canvas units, and lets the scrolled window's
  // adjustments follow at once.
  void set_cv_size(double w, double h);

  // --- Parts.

  std::shared_ptr<CtrlContext> get_ctrl() const { return m_ctrl.lock(); }
  const std::shared_ptr<ModelWorkspace>& get_ws() const { return m_ws; }
  const std::shared_ptr<ViewDrawerContext>& get_dc() const { return m_dc; }
  const DrawerList& get_drawers() const { return drawers; }
  // The zoom held before a fit; 0 when the canvas is not fitted.
  double get_zoom_before_fit() const { return m_zoom_before_fit; }
  // A cursor reveal waits for the next draw.
  bool get_show_cell_pos_pending() const { return m_show_cell_pos_pending; }

  // Emitted after set_zoom() stored a new zoom.
  sigc::signal<void()>& signal_zoom_changed() { return m_signal_zoom_changed; }

protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  // The drawers in drawing order; a kind's constructor appends them.
  DrawerList drawers;

private:
  // The two passes of a draw over the update rectangle.
  void draw_passes(CtrlContext& ctrl, const Cairo::RefPtr<Cairo::Context>& cr);
  // Scrolls the cursor cell into view (the pending reveal of a draw).
  void reveal_cursor(CtrlContext& ctrl);
  // A zoom step to zoom about the pending centre, then an update that does
  // not reveal, after which the next draw reveals the cursor.
  void zoom_step(double zoom);

  std::weak_ptr<CtrlContext> m_ctrl;
  std::shared_ptr<ModelWorkspace> m_ws;
  std::shared_ptr<ViewDrawerContext> m_dc;
  // The scrolled window; GLib clears it when the window is disposed.
  GtkScrolledWindow* m_sw = nullptr;
  bool m_show_cell_pos_pending = false;
  // Relative to the page's corner, canvas units at the zoom of the moment.
  std::optional<Point> m_zoom_center;
  double m_zoom_before_fit = 0;
  sigc::signal<void()> m_signal_zoom_changed;
};

} // namespace velkaro
