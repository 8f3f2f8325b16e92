#pragma once
// StmCellVHMode ("CELL MODE"): the cell mode of the state-machine editor,
// its context's default mode. The base (CtrlCellMode) owns the key table;
// this class says what inserting, appending, copying and changing mean for
// what the cursor cell holds.
//
// Insert ("i", "I"), the first rule that applies deciding:
//   no element covers the cell      the insert popup with "_Concurrent"
//                                   (nothing recorded until an item is
//                                   chosen, see StmInsertList)
//   a transition ends on the cell   the popup with "_Transaction" (before
//                                   the next rule: a state that a
//                                   transition ends on gets the popup)
//   no chain is anchored there      nothing (the inside of a composite,
//                                   the middle of a transition)
//   the chain starts with a state   a new transition from it, stretched in
//                                   the range mode
//   the chain holds a text          typing into it
// Append ("a", "A"): on the end cell of a transition a continuing
// transition at once; on a cell without chain a new centred text and
// typing; on a text typing into it (cursor request 1); otherwise as insert.
// With shift the text cursor goes to the end.
//
// Copy and cut ("y", "x", <Del>) take nothing and record nothing: nothing
// of a state machine goes to the copy buffer. Change ("c", "r", Enter)
// edits the text of the cell in the normal text mode; elsewhere nothing.
//
// A double click edits the text under the pointer; on any other cell it
// runs insert and, when that did nothing, append, as one step recorded
// only when it did something. On an empty cell that is the popup and a new
// centred text typed into.
//
// Ownership: as every mode; it keeps the context's StmWorkspace.

#include <cstdint>
#include <memory>

#include "ctrl/modes/cell_mode.h"

namespace velkaro {

class StmContext;
class StmWorkspace;

class StmCellVHMode : public CtrlCellMode {
public:
  explicit StmCellVHMode(StmContext& ctrl);

  bool on_double_press_left_button(const Point& pt) override;
  bool insert() override { return insert_elm(-1, false); }
  bool insert_shift() override { return insert_elm(-1, true); }
  bool append() override { return append_(false); }
  bool append_shift() override { return append_(true); }
  // Nothing; false.
  bool copy_(bool remove) override;
  bool change_() override;

  // The insert ladder (see the header comment); direction and to_end are
  // the text cursor request given to a text. True when a step is to be
  // recorded; during a dry run true at once, with nothing done.
  bool insert_elm(int32_t direction, bool to_end);

  const std::shared_ptr<StmWorkspace>& get_stm_ws() const { return m_ws; }

private:
  bool append_(bool to_end);
  StmContext& stm_ctrl() const;

  std::shared_ptr<StmWorkspace> m_ws;
};

} // namespace velkaro
