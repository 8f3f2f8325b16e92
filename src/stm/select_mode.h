#pragma once
// StmSelectMode ("SELECT MODE"): the select mode of the state-machine
// editor. Nothing in this editor enters it (no key of its cell mode offers
// a choice among candidates); it is registered so that a request for the
// base select mode lands here. It builds no candidates of its own.
//
// Settling, by purpose, on the selected candidate:
//   del: its highlight goes and it is removed with its children, copied
//   into the copy buffer first;
//   yank: it is copied into the copy buffer;
//   both then return to the cell mode (recorded);
//   chg-es, chg-msg: it becomes the element under edit and the range mode
//   changes it (change-selected and change respectively); nothing is
//   recorded yet.
// Without a selected candidate settling only returns to the cell mode.
//
// Ownership: as every mode; it keeps the context's StmWorkspace.

#include <memory>

#include "ctrl/modes/select_mode.h"

namespace velkaro {

class StmContext;
class StmWorkspace;

class StmSelectMode : public CtrlSelectMode {
public:
  explicit StmSelectMode(StmContext& ctrl);

  // Nothing: the candidates are whoever entered the mode set.
  void on_enter_switch() override;
  bool settle() override;

private:
  // The end of a delete or a yank: the cell mode returns; true.
  bool finish();

  std::shared_ptr<StmWorkspace> m_ws;
};

} // namespace velkaro
