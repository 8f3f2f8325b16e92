#pragma once
// CtrlSelectCellMode ("SELECT CELL MODE"): works on a selected block of
// cells. Entered from the cell mode with "v" (anchored at the cursor cell)
// or by a drag (anchored where the drag began); the cursor keys stretch the
// selection. Each diagram kind derives its own and may add keys.
//
// Its own keys, in registration order, are asked before those of the 2D and
// base sets, so "dd" deletes the selected block and not the cursor's line,
// and "i" and "a" open cells instead of inserting elements:
//   "copy" y <C-c> copies the selection's elements (not recorded), actionable
//   while some selected cell holds something to copy;
//   recorded for undo: "cut" x <C-x> <Del> (actionable as copy),
//   "range-insert" i opens empty cells of the selection's size at it,
//   "range-append" a the same just after it, "range-delete" dd removes the
//   block and closes the gap (both along the context's now dir). A block
//   the workspace refuses changes nothing, records no step and keeps the
//   mode.
// Each of these ends in the default mode, which drops the selection, so
// each reads the selection first. It also replaces "cancel" (the cursor
// goes back to the anchor, then the default mode) and "undo" and "redo"
// (nothing; never actionable), keeping their keys.

#include <memory>
#include <string>

#include "ctrl/modes/aselect_cell_mode.h"

namespace velkaro {

class CtrlSelectCellMode : public CtrlASelectCellMode {
public:
  static constexpr const char* NAME = "SELECT CELL MODE";

  explicit CtrlSelectCellMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // Whether some selected cell holds something to copy.
  bool check_copy();
  // The selection's elements go into the copy buffer; the default mode.
  void copy();
  // The selection's elements are cut into the copy buffer; the default
  // mode; true.
  bool remove();
  // Opens empty cells of the selection's size at the selection (insert) or
  // just after it (append), along the now dir; the default mode; true.
  // False, with nothing changed and the mode kept, without a selection or
  // when the workspace refuses the block (an element it would move finds
  // no room).
  bool insert();
  bool append();
  // Removes the selected block along the now dir and closes the gap; the
  // default mode; true. False as insert().
  bool remove_range();
  // The cursor goes back to the anchor; the default mode.
  void cancel();

private:
  bool open_cells(bool at_selection);
};

} // namespace velkaro
