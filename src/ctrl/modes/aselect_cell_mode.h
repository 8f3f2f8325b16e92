#pragma once
// CtrlASelectCellMode: a mode that owns a selection of cells while it is
// current: the rectangle between the anchor cell and the cursor cell, held
// by the context as its selected_range so that the drawers show it and the
// copy services use it. Entering creates the selection at the cursor cell,
// cursor moves (keys, clicks, drags) stretch it, leaving drops it.
//
// The select-cell mode and the range mode derive from it. It includes its
// own CtrlBaseMode and then its own Ctrl2DMode (so "2D MODE" is asked
// before "BASE MODE") and replaces six names of the base set, keeping their
// keys: "up", "down", "left", "right" run move_active_cell(), and
// "next-element" and "prev-element" jump and then stretch the selection.
//
// Pointer: while the left button has not been released since the mode was
// entered (get_pressing()), a click moves the cursor and stretches the
// selection, and a drag does the same; once it has been released a click
// moves the cursor and goes back to the default mode. The right button keeps
// CtrlMode's context menu.
//
// Ownership: the context holds the selection; the mode only replaces it.

#include <memory>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

struct CellRange;

class CtrlASelectCellMode : public CtrlMode {
public:
  explicit CtrlASelectCellMode(CtrlContext& ctrl);

  // The fixed corner of the selection; the cursor cell when the mode was
  // entered, unless the one who switched to it set another afterwards.
  CellPos anchor{0, 0};

  // The selection becomes the normalised rectangle between anchor and the
  // cursor cell; then the context shows the cursor cell. Nothing without a
  // selection.
  virtual void update_range();
  // One cursor step (CtrlContext::move_pos), then update_range(); true.
  virtual bool move_active_cell(MovingDir dir);

  // The context's selected_range (null when there is none).
  std::shared_ptr<CellRange> get_range() const;
  // Makes range (may be null) the context's selected_range.
  void set_range(const std::shared_ptr<CellRange>& range);
  // The left button has not been released since the mode was entered.
  bool get_pressing() const { return m_pressing; }

  // A new selection of the cursor cell alone, anchored there; pressing.
  void on_enter() override;
  // No selection any more.
  void on_exit() override;
  // The cursor goes to the clicked cell; then, while pressing, the
  // selection follows, otherwise the default mode returns; true.
  bool on_press_left_button(const Point& pt) override;
  // While pressing: the cursor goes to the cell under now_pt and the
  // selection follows; true. False when not pressing, or when that cell is
  // the selection's only cell.
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
  // Ends pressing; true.
  bool on_release_left_button(const Point& pt) override;

private:
  bool m_pressing = true;
};

} // namespace velkaro
