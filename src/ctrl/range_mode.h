#pragma once
// CtrlRangeMode ("RANGE MODE"): places or reshapes the context's element
// under edit (edit_elm) over the selected range of cells, which the user
// stretches with the cursor keys or the mouse. A diagram kind derives its
// range mode from it.
//
// Whoever switches to it sets the sub-mode first (usually in the
// preparation of CtrlContext::change_to): the cell mode's resize sets
// resize.

#include <memory>
#include <string>

#include "ctrl/aselect_cell_mode.h"

namespace velkaro {

// Why the range mode was entered.
enum class CtrlRangeModeModes {
  // The element was just inserted by the action on top of the undo stack.
  insert = 0,
  // An existing element is changed.
  change = 1,
  // An existing element chosen in the select mode is changed.
  change_selected = 2,
  // An insertion driven by the mouse.
  mouse = 3,
  // An existing element is resized.
  resize = 4,
};

class CtrlRangeMode : public CtrlASelectCellMode {
public:
  static constexpr const char* NAME = "RANGE MODE";

  explicit CtrlRangeMode(CtrlContext& ctrl) : CtrlASelectCellMode(ctrl) {}

  std::string get_name() const override { return NAME; }

  CtrlRangeModeModes mode = CtrlRangeModeModes::insert;
};

} // namespace velkaro
