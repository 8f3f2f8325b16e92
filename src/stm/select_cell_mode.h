#pragma once
// StmSelectCellMode ("SELECT CELL MODE"): the select-cell mode of the
// state-machine editor: the base's keys on the selected block of cells
// ("copy" and "cut" take nothing here, since no state-machine element is a
// target of a range cut), and one action of its own:
//   "insert-composite" I "Insert a composite" (recorded for undo): a
//   composite state over the selection, then the cell mode. A refused
//   composite records nothing and the mode stays. Either way no element is
//   left in process.
//
// Ownership: as every mode; it keeps the context's StmWorkspace.

#include <memory>

#include "ctrl/modes/select_cell_mode.h"

namespace velkaro {

class StmContext;
class StmWorkspace;

class StmSelectCellMode : public CtrlSelectCellMode {
public:
  explicit StmSelectCellMode(StmContext& ctrl);

  // The composite over the selection (see the header comment); true when
  // it was placed.
  bool insert_compo();

private:
  std::shared_ptr<StmWorkspace> m_ws;
};

} // namespace velkaro
