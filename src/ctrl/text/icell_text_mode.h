#pragma once
// CtrlICellTextMode: what the cell modes need of the text-editing subsystem:
// the in-cell text mode that takes typing straight from a cell mode
// ("INSERT MODE (CELL)"), entered on a text of the cursor cell, and the
// cursor request handed to it before the switch.
//
// The text mode implements this interface; a diagram kind's context
// registers one instance of it among its modes. The cell mode switches to
// it by this type (CtrlContext::change_to<CtrlICellTextMode>() takes the
// registered mode that implements it), so the cell modes do not depend on
// how the text modes are built.

namespace velkaro {

class CtrlICellTextMode {
public:
  virtual ~CtrlICellTextMode() = default;

  // Stores (kind, to_end) as the pending cursor request, which the mode
  // applies to its text cursor when it is next entered and then clears. The
  // meaning of the kinds belongs to the text modes.
  virtual void request_cursor(int kind, bool to_end) = 0;
};

} // namespace velkaro
