#pragma once
// CtrlMoveViewMode ("MOVE VIEW MODE"): an overview of the whole diagram in
// which the user picks the part to look at. The cell mode enters it with
// "<Tab>"; the contexts of the diagram kinds register one instance of it.
//
// Entering remembers the canvas's scroll position and zoom and zooms the
// canvas to fit every used cell. A viewport rectangle of the size of the
// area that was visible before (at the remembered zoom) starts where that
// area was; the cursor keys move it by a quarter of its size, a click
// centres it on the pointer, and it is kept inside the page. Leaving, for
// whatever reason, restores the zoom and scrolls the canvas to the
// rectangle's place: settling (Enter, Tab, releasing the button or a double
// click) keeps the new place and pulls the cursor into it; cancelling (Esc)
// puts the rectangle back first, so the view is exactly as before.
//
// It includes its own CtrlBaseMode (not the 2D set) and replaces, keeping
// their keys: "up", "down", "left", "right" (move the rectangle), "cancel",
// and "zoom-in", "zoom-out", "zoom-reset" (nothing; never actionable). Undo
// and redo keep working. Its own action "settle" <Enter> <Tab> ("Settle").
// The right button keeps the context menu.
//
// The canvas's viewport drawer reads view_x, view_y, get_width() and
// get_height() while this mode is current. Lengths are canvas units.
// Without a canvas the mode changes nothing.

#include <memory>
#include <string>

#include "ctrl/modes/mode.h"

namespace velkaro {

class CtrlMoveViewMode : public CtrlMode {
public:
  static constexpr const char* NAME = "MOVE VIEW MODE";

  explicit CtrlMoveViewMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // The viewport rectangle's top-left corner.
  double view_x = 0;
  double view_y = 0;

  // The scroll position and zoom remembered on entering.
  double get_saved_x() const { return m_saved_x; }
  double get_saved_y() const { return m_saved_y; }
  double get_saved_zoom() const { return m_saved_zoom; }

  // The rectangle's size: the canvas's page size now, scaled from the
  // current zoom to the remembered one; 0 without a canvas.
  double get_width() const;
  double get_height() const;
  // A quarter of the width (height): one key step.
  double get_xstep() const { return get_width() / 4; }
  double get_ystep() const { return get_height() / 4; }

  // One step of the rectangle, then moved_check().
  void move_up();
  void move_down();
  void move_left();
  void move_right();
  // Keeps the rectangle inside the page: top edge at least 0, then bottom
  // edge at most the page height, then the same for the left and right
  // edges (a rectangle larger than the page thus ends at a negative edge);
  // then the view is updated.
  void moved_check();
  // The default mode (leaving shows the rectangle's place at the restored
  // zoom), then the cursor is pulled into the page along h and then v.
  void settle();
  // The rectangle goes back to the remembered place; the default mode.
  void cancel();

  void on_enter() override;
  void on_exit() override;
  // Centres the rectangle on pt, then moved_check(); true.
  bool on_press_left_button(const Point& pt) override;
  // The rectangle follows the pointer: the press at now_pt; true.
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
  // settle(); true.
  bool on_release_left_button(const Point& pt) override;
  bool on_double_press_left_button(const Point& pt) override;

private:
  // The page size along the axis (h or v) at the remembered zoom.
  double saved_extent(bool horizontal) const;

  double m_saved_x = 0;
  double m_saved_y = 0;
  double m_saved_zoom = 1.0;
};

} // namespace velkaro
