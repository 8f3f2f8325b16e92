#pragma once
// CtrlBaseMode ("BASE MODE"): the general keys that almost every editing
// mode shares: help, the command line, undo and redo, quitting without the
// save question, cancel, the four cursor moves, the next and previous
// element, and zoom.
//
// It is never a context's current mode. A mode that wants these keys makes
// its own instance for its context and includes it
// (CtrlIActionHandler::include); the including mode's own keys are matched
// first, and a name found here runs on the including mode, which may have
// replaced it (the key stays bound to the name). Every instance stores its
// users' key bindings under the group "BASE MODE".
//
// Actions, in registration order (none is recorded for undo):
//   "manual" <F1>: its name runs the context's own action "manual" (the
//   window's help), which the current mode asks before its own sets;
//   "activat-cmd-ctrl" <:> hands the keyboard to the command line;
//   "undo" u <C-z>, actionable while there is something to undo;
//   "redo" <C-r> <C-Z>, actionable while there is something to redo;
//   "force-quit" ZX ZQ ZZ destroys the main window at once, asking nothing;
//   "cancel" <Esc> <C-[> goes back to the context's default mode;
//   "up", "down", "left", "right" (k j h l, the arrows and the keypad
//   arrows) move the cursor one cell (move_active_cell());
//   "next-element" w, "prev-element" b;
//   "zoom-in" <plus> <KP_Add>, "zoom-out" <minus> <KP_Subtract>,
//   "zoom-reset" <equal> <KP_Enter> zoom the canvas about the centre of the
//   cursor cell; they have no description.
// The action names and descriptions are exact: stored user bindings refer
// to the names.
//
// Ownership: the including mode owns the instance; the instance reaches the
// context as every mode does.

#include <memory>
#include <string>

#include "common/directions.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

class CtrlBaseMode : public CtrlMode {
public:
  static constexpr const char* NAME = "BASE MODE";

  // A new instance for ctrl, with its key set registered.
  static std::shared_ptr<CtrlBaseMode> create(CtrlContext& ctrl);
  explicit CtrlBaseMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // Moves the context's cursor one cell in dir (CtrlContext::move_pos);
  // true.
  virtual bool move_active_cell(MovingDir dir);
};

} // namespace velkaro
