#pragma once
// CtrlACellMode: the root of every mode that works on the cursor cell (the
// cell modes of the diagram kinds and the select mode). A left press puts
// the cursor on the clicked cell; a right press does that too before it
// opens the context menu. It offers the search for the next element along
// the cursor's row and the start of a resize of the element under the
// cursor.
//
// Ownership: as every mode (see CtrlMode).

#include <cstdint>
#include <memory>

#include "common/directions.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

struct CellRange;

class CtrlACellMode : public CtrlMode {
public:
  // How many cells seek_next_to() looks at.
  static constexpr int SEEK_STEPS = 98;

  explicit CtrlACellMode(CtrlContext& ctrl);

  // Moves the context's cursor one cell in dir (CtrlContext::move_pos);
  // true. The cursor keys of the cell modes are those of the base key set.
  virtual bool move_active_cell(MovingDir dir);

  // The cursor goes to the cell under pt; true.
  bool on_press_left_button(const Point& pt) override;
  // This mode's on_press_left_button(pt) first, then the context menu
  // (CtrlMode's right press); the latter's result.
  bool on_press_right_button(const Point& pt) override;

  // Looks along the cursor's row, dh columns per step (negative: to the
  // left), at the next SEEK_STEPS cells for one that anchors an element. A
  // new range from the cursor cell to that cell (in that order, not
  // normalised), or null when none was found or enabled is false. Moves the
  // workspace's working position (it stays where the search ended), never
  // the context's cursor.
  std::shared_ptr<CellRange> seek_next_to(int32_t dh, bool enabled);

  // Starts resizing the one resizable element covering the cursor cell: it
  // becomes the context's element under edit and the mode switches to the
  // range mode in its resize sub-mode; true. False, with nothing changed,
  // when no element there is resizable, or when several are (which one is
  // meant cannot be told; a debug message says so).
  bool resize();
};

} // namespace velkaro
