#pragma once
// What the undo processor needs of the controller that owns it: the cursor
// cell, read when an action is recorded and set again when it is undone or
// redone. The controller context implements it.

#include "common/cell_pos.h"

namespace velkaro {

class CtrlICursorHolder {
public:
  virtual ~CtrlICursorHolder() = default;

  // The cell the cursor is on.
  virtual CellPos get_now_cell() const = 0;
  // Puts the cursor on pos and returns the cell it is on afterwards.
  virtual CellPos set_pos(const CellPos& pos) = 0;
};

} // namespace velkaro
