#pragma once
// SeqWorkspace: the document of the sequence-diagram editor. Its grid is a
// SeqGrid, its cells and scratch cells are SeqCells; it knows how sequence
// elements continue across an inserted row or column (the fill hooks), which
// of them a block cut takes, and how a run of execution specifications keeps
// a first cell when its first row is removed. On top of that it offers the
// editing operations of life lines, execution specifications, messages,
// fragments and separators that the sequence modes call.
//
// Made by ModelWorkspace::create<SeqWorkspace>().
//
// Conventions of the operations:
// - They work through the workspace cursor (move, test, store) and leave it
//   where their last step put it. A cell outside the grid never takes an
//   element.
// - Every change goes through store(), replace(), remove() or remove_all(),
//   so it lands in the open difference record: undo and redo restore the
//   document exactly. A flag is only ever set on an element the same
//   operation made; an element that stood in the document before is
//   replaced by a new one with the flag instead. When a life line, message
//   line or execution specification is replaced, what is attached to it
//   (execution specifications and messages starting from a life-line cell,
//   texts on a message line) is put back attached to the new element, so
//   that nothing is left naming an element that has left the document.
// - An operation that cannot apply (no element of the right kind where it
//   is asked to work, nothing that fits) returns false or null and changes,
//   records and emits nothing.
// - New elements stay in process until clear_in_process() runs; only
//   add_lifeline() clears the flags itself, the other operations leave that
//   to their callers.
// - "signal-updated": add_lifeline, set_stop, insert_execspec, mod_es,
//   rm_es, insert_message, insert_frag and insert_separator emit it once at
//   the end; mod_lifeline only through set_stop, when it toggles a stop the
//   way set_stop does; mod_msgline and mod_frag never (the range mode
//   refreshes after them); the slots never (the base line and block
//   operations emit).

#include <cstdint>
#include <memory>
#include <vector>

#include "model/workspace.h"

namespace velkaro {

class SeqExecSpec;
class SeqFragLine;
class SeqFragment;
class SeqLifeLine;
class SeqMessage;
class SeqSeparator;

class SeqWorkspace : public ModelWorkspace {
public:
  explicit SeqWorkspace(Key key) : ModelWorkspace(key) {}

  // --- Slots of ModelWorkspace.

  // The base reset, then a SeqGrid, SeqCells and scratch SeqCells.
  void init() override;
  // A new free SeqTextElement.
  ElementPtr make_text() override;
  // Lays out again what is sized by the changed cell: the life lines of the
  // cell above (a life-line cell is as high as the boxes ending in it, and
  // a box ends where the next cell does not carry it on) and, for a
  // message line, the life line its message starts from (a message without
  // lines widens that cell).
  void chain_changed(const CellPos& pos, const ModelElement& elm) override;
  // Life heads, texts, messages and fragments always; with take_lines also
  // message lines across rows (axis v) and life lines and execution
  // execution specifications across columns (axis h).
  bool range_cut_target(const ModelElement& elm, bool take_lines, CellDir axis) override;
  // The line continuation rules, by the exact type of felm, storing at the
  // cursor without a placement test: a life line, the cells of an
  // execution-execution specification run below its first cell and vertical frame
  // lines (but the top-right corner) grow into a new row above them; a
  // message's lines into a new column between its anchor and its tip;
  // horizontal frame lines, the right edge's corners and separator lines
  // into a new column left of them (frame lines only when the cell holds
  // nothing of their fragment yet).
  void fill_upper(const ElementPtr& felm) override;
  void fill_right(const ElementPtr& felm) override;
  void fill_left(const ElementPtr& felm) override;
  // The whole chain, as the base gives it; first each run of execution
  // execution specifications whose first cell is in the chain and goes on below gets
  // a new first cell: its second cell is replaced by a copy with the top
  // flag.
  std::vector<ElementPtr> remove_row_elms(const ElementPtr& elm) override;

  // --- Queries at the cursor.

  // The first frame line (separator or separator line) of the chain at the
  // cursor, or null.
  std::shared_ptr<SeqFragLine> get_c_fl() const;
  std::shared_ptr<SeqSeparator> get_c_sp() const;

  // --- Life lines and execution specifications.

  // A life head with its (empty) name text at pos and life-line cells below
  // it: 5 without a range; with one, as many as its vertical delta from pos
  // (at least none), the last one stopped when its horizontal delta is not
  // 0. The cells end at the first one that cannot be stored. False when the
  // head cannot be stored at pos.
  bool add_lifeline(const CellPos& pos, const CellRange* range = nullptr);
  // Toggles the stop of the stored life-line cell ll by replacing it; with
  // only_clear, only removes a stop (false, nothing changed, when there is
  // none).
  bool set_stop(const std::shared_ptr<SeqLifeLine>& ll, bool only_clear);
  // The range mode's change of the life line whose last cell is at pos, by
  // the range's deltas from pos: d rows up removes cells (never the first,
  // and the new last cell loses what was attached to it), d rows down adds
  // them; the stop follows the new last cell for an even horizontal delta,
  // and is inverted (toggled through set_stop when not lengthening) for an
  // odd one. False when pos holds no life-line cell.
  bool mod_lifeline(const CellPos& pos, const CellRange& range);
  // A new execution specification on the life-line cell at pos, nested one
  // level beyond the outermost level on the side of step (level 0 on a cell
  // without any), with the top flag top. With a range, the run goes on
  // cell by cell towards the range's vertical delta (up for 0) as long as
  // the life line carries it; going up, its topmost cell takes the top flag.
  // The cell stored at pos; null when pos holds no life-line cell or the
  // level is taken.
  std::shared_ptr<SeqExecSpec> insert_execspec(const CellPos& pos, int32_t step,
                                               const CellRange* range, bool top);
  // The range mode's change of the run whose end cell es is: grows it
  // beyond es or shrinks it from es by the range's vertical delta from es
  // (a cell with a deeper level beside it ends a shrink). False when es is
  // not stored.
  bool mod_es(const std::shared_ptr<SeqExecSpec>& es, const CellRange& range);
  // Deletes the run holding es: upwards to its first cell, downwards until
  // the next run, below es also the deeper levels on its side (every level
  // for level 0). False when es is not stored.
  bool rm_es(const std::shared_ptr<SeqExecSpec>& es);

  // --- Messages.

  // A new message anchored at pos (its parent the life-line cell there, if
  // any), running in direction right, or, with a range of a non-zero
  // horizontal delta, in that delta's direction (written back to right),
  // with lines up to that delta as far as they can be stored; the last line
  // gets point. Its kind follows from the range's vertical delta
  // (synchronous without a range). Null when the anchor cannot be stored.
  std::shared_ptr<SeqMessage> insert_message(const CellPos& pos, int32_t& right,
                                             const CellRange* range, int32_t point);
  // The range mode's change of a message: elm is its tip line, or the
  // message itself when it has no lines. The kind steps by the range's
  // vertical delta from elm; a horizontal delta in the message's direction
  // adds lines beyond the tip (the last gets point), one against it removes
  // lines from the tip back (never the anchor); without one, only the point
  // of the tip changes. False when elm is no stored message or message
  // line.
  bool mod_msgline(const ElementPtr& elm, const CellRange& range, int32_t point);

  // --- Fragments and separators.

  // A fragment over range (corners in any order): all or nothing. False for
  // a range narrower or lower than 3 cells and when anything in the frame's
  // cells may not share them with it.
  bool insert_frag(const CellRange& range);
  // One pass of the insertion: with dry, only whether it would fit.
  bool insert_frag_pass(const CellRange& range, bool dry);
  // Resizes the fragment of the frame line elm (its bottom-right corner) to
  // the range's deltas from that corner, or to the largest smaller frame
  // that fits, searched from the requested corner back to the current one.
  // The caller marks the fragment in process first, so that the fragment's
  // own cells do not block. False, with nothing changed, when the size stays
  // or when not even the current frame passes the test.
  bool mod_frag(const ElementPtr& elm, const CellRange& range);
  // A separator across the fragment starting on the left-edge cell pos (the
  // only element there must be a frame line of a top or left edge): all or
  // nothing. With copy (a copied separator or separator line), the texts of
  // its cells are copied to the new separator's cells in order.
  bool insert_separator(const CellPos& pos, const ElementPtr& copy = nullptr);
  // count frame lines of fm from the cursor on, down (dir 1) or right (dir
  // 0): is_end on the last, is_start on the first unless no_start. With dry
  // only tests them; false as soon as one does not fit.
  bool line_frag(const std::shared_ptr<SeqFragment>& fm, int32_t count, int32_t dir,
                 bool is_topleft, bool dry, bool no_start);

private:
  // The cursor lies in the grid and elm may be stored there.
  bool can_put(const ElementPtr& elm);
  // Stores elm at the cursor; false (with a critical message) when refused.
  bool put(const ElementPtr& elm);
  // replace(), then what was attached to olde is attached to newe.
  void replace_family(const ElementPtr& olde, const ElementPtr& newe);
  // Moves child, with its own family, under newp: it is removed and a copy
  // of it is stored in its place.
  void rehome(const ElementPtr& child, const ElementPtr& newp);
  // Stores a copy made by copy_all() and the copies it carries, each where
  // it came from, each picking its parent first.
  void store_family(const ElementPtr& copy);
  // The continuation rules of one fill hook (0 upper, 1 left, 2 right) for
  // felm, at the cursor.
  void fill(int hook, const ElementPtr& felm);
  // A life-line cell of ll's life line with the stop flag stop.
  void replace_stop(const std::shared_ptr<SeqLifeLine>& ll, bool stop);
  // The run of level beside enclosing going on from the cell first stored
  // at pos, towards dir, at most n rows; going up the topmost cell gets top.
  void run_es(const CellPos& pos, int32_t level, int32_t enclosing, int32_t dir, int32_t n,
              bool top, const std::shared_ptr<SeqExecSpec>& first);
  // A box on the life line of elm changed in elm's cell: the elements of
  // that cell and of the cells right above and below it (whose boxes end
  // or go on by what the cell holds) are sized and laid out again. The
  // rest of the column and row keep their sizes, so this costs what the
  // three cells hold, not the length of the life line.
  void relayout_box_cells(const ElementPtr& elm);
  // fm's frame line in cell (x, y), and removes it with its family.
  std::shared_ptr<SeqFragLine> frame_line_at(const SeqFragment& fm, int32_t x, int32_t y) const;
  void take_frame_line(const SeqFragment& fm, int32_t x, int32_t y);
  // The separator or separator line of a separator of fm in cell (x, y).
  std::shared_ptr<SeqSeparator> separator_at(const SeqFragment& fm, int32_t x, int32_t y) const;
  void take_separator(const SeqFragment& fm, int32_t x, int32_t y);
  // The take-down and build steps of mod_frag() for the corner moving from
  // p to n of the fragment fm at f.
  void take_down_frame(const SeqFragment& fm, const CellPos& f, const CellPos& p,
                       const CellPos& n);
  void build_frame(const std::shared_ptr<SeqFragment>& fm, const CellPos& f, const CellPos& p,
                   const CellPos& n);
};

} // namespace velkaro
