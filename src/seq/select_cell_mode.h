#pragma once
// SeqSelectCellMode ("SELECT CELL MODE"): the select-cell mode of the
// sequence editor: the base's keys on the selected block of cells, and the
// insertion of a combined fragment over it:
//   "insert-fragment" I "Insert a fragment" (recorded for undo): a fragment
//   framing the selection (at least 3 by 3 cells, and only where nothing in
//   its frame's cells is in the way), then the cell mode. A refused
//   fragment records nothing and the mode stays.
//
// Ownership: as every mode; it keeps the context's SeqWorkspace.

#include <memory>

#include "ctrl/modes/select_cell_mode.h"

namespace velkaro {

class SeqContext;
class SeqWorkspace;

class SeqSelectCellMode : public CtrlSelectCellMode {
public:
  explicit SeqSelectCellMode(SeqContext& ctrl);

  // The fragment over the selection (see the header comment); true when it
  // was inserted.
  bool insert_frag();

private:
  std::shared_ptr<SeqWorkspace> m_ws;
};

} // namespace velkaro
