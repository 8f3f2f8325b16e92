#pragma once
// SeqRangeMode ("RANGE MODE"): the range mode of the sequence editor. The
// base (CtrlRangeMode) keeps the selected range following the cursor and
// previews every change of it as one undoable step; this class says what
// the range means for each element kind under edit, by the kind's exact
// class name:
//   "SeqMsgLine", "SeqMessage": a message (insert: drawn again from its
//     anchor over the range; change: its tip stretched or shortened, its
//     kind stepped by the vertical stretch);
//   "SeqLifeLine": the end of a life line lengthened or shortened;
//   "SeqExecSpec": an execution specification grown or shrunk from the end
//     under edit, or (being inserted) drawn again over the range, nesting on
//     the side of the horizontal stretch;
//   "SeqFragLine": a fragment resized from its bottom-right corner;
//   "SeqTextElement": a text resized.
// Any other kind cannot be edited here: it is left alone with a warning.
//
// Entering adjusts what is edited: a changed message is edited at its tip,
// a changed execution specification at its outermost nesting (and at the
// end of the box nearer to the cursor), a changed frame line at its
// fragment's bottom-right corner; a new message's range starts as the cells
// from its anchor to its tip.
//
// The point of a message: where its arrow ends on a life line with nested
// execution specifications (their signed level, or ANY_ROLE for the life
// line itself). Moving the cursor sideways onto such a life line first
// steps the point through the levels, from the side the message comes from,
// without moving the cursor; one more step moves on. A message whose point
// changed counts as changed even when its range did not.
//
// Ownership: as every mode; it keeps the context's SeqWorkspace.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/any.h"
#include "ctrl/modes/range_mode.h"

namespace velkaro {

class SeqContext;
class SeqMessage;
class SeqWorkspace;

class SeqRangeMode : public CtrlRangeMode {
public:
  explicit SeqRangeMode(SeqContext& ctrl);

  // The direction message and execution-execution specification insertion take (set
  // by the cell mode before it switches here); 1 at creation.
  int32_t range_dir = 1;
  // The point the message operations are given; reset on every entry.
  int32_t point = ANY_ROLE;
  // The point when the mode was entered.
  int32_t entry_point = ANY_ROLE;
  // The column for which point was last chosen; kept between visits.
  int32_t point_column = -1;

  // --- The base's slots.

  // Point stepping for a message end (see the header comment), then the
  // base's move.
  bool move_active_cell(MovingDir dir) override;
  // Applies the range to the element under edit, by its class name.
  void update_element(CellPos epos) override;
  // A cursor that left point_column drops the point.
  void on_update_range() override;
  void on_enter_for(const std::string& type_name) override;
  // The point moved since entering.
  bool get_is_minor_change() const override { return point != entry_point; }

private:
  // The adjustments of entering (see the header comment): to change, the
  // edited end of a box, the range of a new message.
  void enter_change(std::string_view type_name);
  void edit_nearer_end();
  void cover_new_message();
  void update_message(CellPos epos);
  void update_life_line(CellPos epos);
  void update_exec_spec(CellPos epos);
  void update_frag_line(CellPos epos);
  void update_text(CellPos epos);
  // The message of the element under edit (itself, or the owner of a
  // message line), or null.
  std::shared_ptr<SeqMessage> edited_message() const;
  // Steps the point on the life line at (x, y) towards step; true when the
  // point moved there (the cursor then stays).
  bool step_point(int32_t x, int32_t y, int32_t step, int32_t right);

  std::shared_ptr<SeqWorkspace> m_ws;
};

} // namespace velkaro
