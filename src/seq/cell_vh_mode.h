#pragma once
// SeqCellVHMode ("CELL MODE"): the cell mode of the sequence editor, its
// context's default mode. The base (CtrlCellMode) owns the key table; this
// class says what inserting, appending, copying, cutting and changing mean
// for the sequence elements of the cursor cell, and depends on the
// context's axis: in a vertical context insertion makes messages, in a
// horizontal one life lines and execution specifications.
//
// Insert ("i") and append ("a"), by what the cursor cell holds:
//   empty cell        a new life line (append in a horizontal context: a
//                     new free text and typing; in a vertical one append,
//                     and insert with shift, start a message)
//   last cell of a    its stop is toggled
//   life line
//   other life-line   a message (vertical) or an execution specification
//   cell              (horizontal) left of it (insert) or right of it
//                     (append); the range mode takes over
//   a text            typing into it
//   message line (not the tip), separator, top edge of a fragment:
//                     a new text there and typing
//   left or right edge of a fragment: a separator across it
// With shift ("I", "A") a message reaches to the next element along the
// row, and typing starts at the line's end or start.
//
// Copy ("y") and cut ("x") take the life line, or on a life-line cell with
// several candidates (messages starting there, execution specifications)
// go to the select mode; on one candidate it is taken at once. Cut on the
// stopped last cell of a life line removes the stop. Copy never changes the
// document. Elsewhere they take the head, message, fragment or text of the
// cell (a frame, separator or message line stands for its owner).
//
// Change ("c", "r", Enter) reshapes in the range mode: a message, message
// line or frame line (a fragment always from its bottom-right corner), an
// execution specification or the end of a life line; on a life-line cell
// with several candidates the select mode asks which; on a text the normal
// text mode starts.
//
// A double click edits the text under the pointer, or inserts (else
// appends) there; on an empty cell the new life line is then stretched
// with the pointer until the button is released.
//
// Own actions after the base's, both recorded for undo:
//   "insert-life-line" (no keys) "Insert new Life Line": a new life line at
//   the cursor cell; actionable when a trial of it succeeds;
//   "insert-message" tm M "Insert new Message": a new message on the empty
//   cursor cell; actionable when a trial of it succeeds.

#include <cstdint>
#include <memory>
#include <string>

#include "common/cell_pos.h"
#include "ctrl/modes/cell_mode.h"

namespace velkaro {

class SeqContext;
class SeqLifeLine;
class SeqRangeMode;
class SeqSelectMode;
class SeqWorkspace;

class SeqCellVHMode : public CtrlCellMode {
public:
  explicit SeqCellVHMode(SeqContext& ctrl);

  // --- The base's six operations.

  bool insert() override { return insert_(false); }
  bool insert_shift() override { return insert_(true); }
  bool append() override { return append_(false); }
  bool append_shift() override { return append_(true); }
  bool copy_(bool remove) override;
  bool change_() override;

  bool on_double_press_left_button(const Point& pt) override;

  // --- Operations.

  // The insert ladder by cell content (see the header comment); dir -1
  // inserts, 1 appends; shift reaches to the next element; force allows
  // only a new life line. True when something was done that is to be
  // recorded.
  bool insert_ll(int32_t dir, bool shift, bool force);
  // A new message on the empty cursor cell, going dir (towards the next
  // element with shift), then the range mode; on an occupied cell
  // insert_ll(), unless force.
  bool insert_msg(int32_t dir, bool shift, bool force);
  // How many candidates the select mode would offer on ll's cell: the
  // outermost execution specification nested on each side (the one of
  // level 0 when none is nested) and the message starting to each side;
  // 0 to 4.
  int ll_contents_count(const SeqLifeLine& ll) const;

  const std::shared_ptr<SeqWorkspace>& get_seq_ws() const { return m_ws; }

private:
  bool insert_(bool shift);
  bool append_(bool shift);
  // A new text on the cursor cell and typing into it, joining the running
  // step; false when the workspace refuses the text.
  bool add_text_and_type();
  // After a double click made a life line at cell: the range mode stretches
  // it with the pointer.
  void stretch_new_life_line(const CellPos& cell);
  // Insert or append on the life-line cell ll: its stop on the last cell,
  // else a message (vertical) or an execution specification beside it.
  bool insert_at_life_line(const std::shared_ptr<SeqLifeLine>& ll, int32_t dir, bool shift);
  SeqRangeMode& range_mode() const;
  SeqSelectMode& select_mode() const;

  std::shared_ptr<SeqWorkspace> m_ws;
  // Set only while a double click is handled.
  bool m_by_double_click = false;
};

} // namespace velkaro
