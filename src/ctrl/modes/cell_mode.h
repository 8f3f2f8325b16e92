#pragma once
// CtrlCellMode ("CELL MODE"): the normal mode of a diagram editor. The
// cursor cell moves over the grid (the base key set's cursor keys) and
// single keys insert, append, copy, cut, paste and change the element under
// the cursor. What inserting, appending, copying and changing mean is each
// diagram kind's: it derives its cell mode from this class, supplies the
// six operations below and registers it first in its context, which makes
// it the default mode that "cancel" returns to.
//
// It includes its own CtrlBaseMode and then its own Ctrl2DMode, so after
// its own keys those of "2D MODE" and then of "BASE MODE" apply. Its own
// actions, in registration order:
//   "copy" y <C-c> (copy()), actionable when check_copy();
//   recorded for undo when they did something: "cut" x <C-x> <Del>
//   (remove(), actionable when check_copy()), "paste" p <C-v> (actionable
//   while the copy buffer holds something), "insert-element" i,
//   "append-element" a, "insert-to-next-element" I,
//   "append-to-next-element" A;
//   "change-to-selectmode" v enters the select-cell mode;
//   "resize" R (CtrlACellMode::resize());
//   "change" r c <Enter> (change()), actionable when a dry run of change_()
//   succeeds;
//   "show-all" <Tab> enters the move-view mode;
//   "append-text" tt T (insert_text(), recorded), actionable when a dry run
//   of insert_text() succeeds.
// A drag over two or more cells enters the select-cell mode with the
// selection from the cell where the drag began to the one under the
// pointer.
//
// While it is current the context's in_cell_mode is set, so cursor steps
// cross a multi-cell element at once.

#include <memory>
#include <string>

#include "ctrl/modes/acell_mode.h"

namespace velkaro {

class CtrlCellMode : public CtrlACellMode {
public:
  static constexpr const char* NAME = "CELL MODE";

  explicit CtrlCellMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // --- What the diagram kind supplies. Each reports whether it did
  // something; for the keys recorded for undo, only then is a step recorded.

  // Inserts an element at the cursor ("i").
  virtual bool insert() = 0;
  // Inserts at the next element ("I").
  virtual bool insert_shift() = 0;
  // Appends an element after the cursor ("a").
  virtual bool append() = 0;
  // Appends at the next element ("A").
  virtual bool append_shift() = 0;
  // Yanks the element under the cursor into the copy buffer; with remove
  // also deletes it.
  virtual bool copy_(bool remove) = 0;
  // Starts changing the element under the cursor (typically by switching to
  // the range, select or a text mode).
  virtual bool change_() = 0;

  // --- Operations of the keys.

  bool copy() { return copy_(false); }
  bool remove() { return copy_(true); }
  bool change() { return change_(); }
  // Whether a copy would take anything (CtrlContext::get_check_copy()).
  bool check_copy();
  // Pastes the copy buffer at the cursor (CtrlContext::paste()).
  bool paste();
  // On an empty cursor cell, the workspace adds a text element there; the
  // running undo step (the processor's last action) becomes mergeable, so
  // the typing that follows merges into it, and the mode switches to the
  // in-cell text mode (CtrlICellTextMode); true. False, with nothing
  // changed, when the cell holds an element or the workspace refused.
  bool insert_text();
  // When the chain at the cursor cell holds a text element, switches to the
  // in-cell text mode, handing it the cursor request (kind, to_end); true.
  // False, with no switch, otherwise.
  bool mod_text(int kind, bool to_end);

  // --- Mode.

  void on_enter() override;
  void on_exit() override;
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
};

} // namespace velkaro
