// The sequence range mode: what is edited on entering, the range applied by
// the kind of the element under edit, the point of a message end stepping
// through nested execution specifications, the minor change, and an element
// kind it does not know.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "model/structures_for_test.h"
#include "seq/range_mode.h"
#include "seq/seq_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

TEST(SeqRangeMode, ChangingAnExecutionSpecificationEditsTheEndNearerTheCursor)
{
  VELKARO_REQUIRE_GTK();
  // The box runs over rows 2 to 6: rows 2 to 4 edit its first cell (the
  // middle too), rows 5 and 6 its last.
  const struct {
    int32_t row;
    int32_t edited_row;
  } cases[] = {{2, 2}, {3, 2}, {4, 2}, {5, 6}, {6, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE("cursor row " + std::to_string(c.row));
    SeqKit kit;
    life_line(*kit.ws, 1, 0, 8);
    const CellRange run = range(1, 2, 1, 6);
    ASSERT_TRUE(add_exec_spec(*kit.ws, 1, 2, 1, &run));
    kit.go(1, c.row);
    kit.keys("c");
    ASSERT_EQ(kit.mode_name(), "RANGE MODE");
    EXPECT_EQ(kit.ws->anchor_of(kit.ctx->edit_elm), (CellPos{1, c.edited_row}));
    EXPECT_EQ(kit.cursor(), (CellPos{1, c.edited_row}));
    kit.keys("<Esc>");
  }
}

TEST(SeqRangeMode, ChangingAnExecutionSpecificationTakesTheOutermostNesting)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* name;
    std::vector<int32_t> steps;
    int32_t edited_level;
    int32_t range_dir;
  };
  const Case cases[] = {
    {"level 0 alone", {1}, 0, 0},
    {"nested on the right", {1, 1, 1}, 2, 1},
    {"nested on the left only", {1, -1, -1}, -2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeqKit kit;
    life_line(*kit.ws, 1, 0, 4);
    for (const int32_t step : c.steps)
      ASSERT_TRUE(add_exec_spec(*kit.ws, 1, 2, step));
    // One candidate (the count takes only the outermost nesting of each
    // side), so "c" changes it at once.
    kit.go(1, 2);
    kit.keys("c");
    ASSERT_EQ(kit.mode_name(), "RANGE MODE");
    ASSERT_TRUE(kit.ctx->edit_elm);
    EXPECT_EQ(kit.ctx->edit_elm->get_role(), c.edited_level);
    EXPECT_EQ(kit.mode<SeqRangeMode>().range_dir, c.range_dir);
    kit.keys("<Esc>");
  }
}

TEST(SeqRangeMode, AnyFrameLineResizesTheFragmentFromItsBottomRightCorner)
{
  VELKARO_REQUIRE_GTK();
  for (const CellPos cell : {CellPos{0, 1}, CellPos{1, 0}, CellPos{3, 2}, CellPos{2, 3}}) {
    SCOPED_TRACE(cell.to_string());
    SeqKit kit;
    add_fragment(*kit.ws, 0, 0, 3, 3);
    const std::string before = kit.doc();
    kit.go(cell.x, cell.y);
    kit.keys("c");
    ASSERT_EQ(kit.mode_name(), "RANGE MODE");
    EXPECT_EQ(kit.ws->anchor_of(kit.ctx->edit_elm), (CellPos{3, 3}));
    EXPECT_EQ(kit.cursor(), (CellPos{3, 3}));
    kit.keys("lj<Enter>");
    EXPECT_EQ(kit.mode_name(), "CELL MODE");
    EXPECT_TRUE(at<SeqFragLine>(*kit.ws, 4, 4));
    EXPECT_FALSE(at<SeqFragLine>(*kit.ws, 3, 3));
    kit.keys("u");
    EXPECT_EQ(kit.doc(), before);
  }
}

TEST(SeqRangeMode, AnInsertedSpecificationNestsOnTheSideOfTheHorizontalStretch)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 2, 0, 6);
  ASSERT_TRUE(add_exec_spec(*kit.ws, 2, 2, 1));
  const std::string before = kit.doc();
  kit.go(2, 2);
  // Insert: nested on the left.
  kit.keys("i");
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 2, -1));
  // A stretch to the right nests it on the right instead.
  kit.keys("l");
  EXPECT_FALSE(at<SeqExecSpec>(*kit.ws, 2, 2, -1));
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 2, 1));
  // Without a horizontal stretch the side of the insertion stays.
  kit.keys("h");
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 2, -1));
  EXPECT_FALSE(at<SeqExecSpec>(*kit.ws, 2, 2, 1));
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqRangeMode, AMessageEndStepsThroughTheNestedLevelsBeforeItMovesOn)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  // Column 2: levels -1, 0 and 1 on row 2; column 3: levels -1 and 0.
  life_line(*kit.ws, 2, 0, 5);
  for (const int32_t step : {1, 1, -1})
    ASSERT_TRUE(add_exec_spec(*kit.ws, 2, 2, step));
  life_line(*kit.ws, 3, 0, 5);
  for (const int32_t step : {1, -1})
    ASSERT_TRUE(add_exec_spec(*kit.ws, 3, 2, step));
  const std::string before = kit.doc();
  kit.go(1, 2);
  kit.keys("M");
  ASSERT_EQ(kit.mode_name(), "RANGE MODE");
  auto& range_mode = kit.mode<SeqRangeMode>();
  // The tip's point in the document, and the mode's.
  auto tip_point = [&kit]() -> int32_t {
    const auto msg = at<SeqMessage>(*kit.ws, 1, 2);
    const auto tip = msg ? std::dynamic_pointer_cast<SeqMsgLine>(msg->get_tip()) : nullptr;
    return tip ? tip->point : -999;
  };

  const struct {
    int32_t cursor_x;
    int32_t point;
  } steps[] = {
    // From the message's own column: a plain move, no point.
    {2, ANY_ROLE},
    // The arrow first ends at the outermost level on its near side, and
    // at once steps one on: -1, then 0.
    {2, 0},
    {2, 1},
    // Past the far side it moves on, and the next life line's near side
    // gives the point at once.
    {3, -1},
  };
  for (const auto& step : steps) {
    kit.keys("l");
    EXPECT_EQ(kit.cursor().x, step.cursor_x);
    EXPECT_EQ(range_mode.point, step.point);
    EXPECT_EQ(tip_point(), step.point);
    EXPECT_EQ(kit.cursor().y, 2);
  }
  // Back to the left: past column 3's near side at once, and the arrow
  // arriving at column 2 from the right ends at its outermost right level.
  kit.keys("h");
  EXPECT_EQ(kit.cursor().x, 2);
  EXPECT_EQ(range_mode.point, 1);
  EXPECT_EQ(tip_point(), 1);
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqRangeMode, AMessageToALifeLineWithoutNestingKeepsNoPoint)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 3, 0, 5);
  ASSERT_TRUE(add_exec_spec(*kit.ws, 3, 2, 1));
  kit.go(1, 2);
  kit.keys("Mll<Enter>");
  const auto tip = at<SeqMsgLine>(*kit.ws, 3, 2);
  ASSERT_TRUE(tip);
  EXPECT_EQ(tip->point, ANY_ROLE);
  EXPECT_EQ(saved_text(*kit.ws).find("point"), std::string::npos);
}

TEST(SeqRangeMode, OnlySteppingThePointOfAChangedMessageCountsAsAChange)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 3, 0, 5);
  for (const int32_t step : {1, 1})
    ASSERT_TRUE(add_exec_spec(*kit.ws, 3, 2, step));
  // A message from (1, 2) to the life line, its arrow ending at level 0.
  ASSERT_TRUE(add_message(*kit.ws, 1, 2, range(1, 2, 3, 2), 0));
  const std::string before = kit.doc();
  kit.go(1, 2);
  kit.keys("c");
  ASSERT_EQ(kit.mode_name(), "RANGE MODE");
  auto& range_mode = kit.mode<SeqRangeMode>();
  EXPECT_EQ(range_mode.point, 0);
  EXPECT_EQ(range_mode.entry_point, 0);
  EXPECT_FALSE(range_mode.get_is_minor_change());
  // The cursor is on the tip, away from the message's column: "l" steps
  // the point, the range stays one cell.
  kit.keys("l");
  EXPECT_EQ(kit.cursor(), (CellPos{3, 2}));
  EXPECT_EQ(range_mode.point, 1);
  EXPECT_TRUE(range_mode.get_is_minor_change());
  kit.keys("<Enter>");
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_EQ(at<SeqMsgLine>(*kit.ws, 3, 2)->point, 1);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);

  // Settled without any change: nothing is recorded.
  kit.keys("c<Enter>");
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_EQ(kit.doc(), before);
}

// A new message started and cancelled leaves the history as it was: the
// steps to undo and to redo are the very same, and a redo brings back the
// step the user undid before, never the cancelled message.
TEST(SeqRangeMode, ACancelledNewMessageLeavesTheUndoAndRedoStacksAsTheyWere)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    CellPos cell;
    const char* keys;
  };
  // From a life line ("i", "a" in the vertical context) and from an empty
  // cell (a found message).
  const Case cases[] = {{{1, 3}, "i<Esc>"}, {{1, 3}, "ill<C-[>"}, {{1, 3}, "ijl<Esc>"}, {{5, 3}, "ahh<Esc>"},
                        {{3, 3}, "M<Esc>"}, {{3, 3}, "Mll<Esc>"}, {{3, 3}, "Mllj<Esc>"}};
  for (const bool undone_before : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.keys) + " at " + c.cell.to_string() + (undone_before ? " after an undo" : ""));
      SeqKit kit;
      life_line(*kit.ws, 1, 1, 6);
      life_line(*kit.ws, 5, 1, 6);
      kit.ctx->set_now_dir(CellDir::v);
      // A step of the user's: a message in row 5, undone or kept.
      kit.go(1, 5);
      kit.keys("i<Enter>");
      ASSERT_TRUE(at<SeqMessage>(*kit.ws, 1, 5));
      if (undone_before)
        kit.keys("u");
      const auto& proc = *kit.ctx->get_action_proc();
      const auto undo_before = proc.get_undo_stack();
      const auto redo_before = proc.get_redo_stack();
      const std::string before = kit.doc();

      kit.go(c.cell.x, c.cell.y);
      kit.keys(c.keys);
      ASSERT_EQ(kit.mode_name(), "CELL MODE");
      EXPECT_EQ(kit.doc(), before);
      EXPECT_EQ(proc.get_undo_stack(), undo_before);
      EXPECT_EQ(proc.get_redo_stack(), redo_before);

      kit.keys("<C-r>");
      for (const int32_t x : {1, 3, 5})
        EXPECT_FALSE(at<SeqMessage>(*kit.ws, x, 3)) << "the cancelled message came back";
      EXPECT_TRUE(at<SeqMessage>(*kit.ws, 1, 5));
    }
  }
}

// A message copied to the clipboard (or cut, and the cut undone) leaves
// each of its elements a link to its copy there. Changing the message then
// makes copies of its lines in place (a line whose point changes): each
// copy's parent is the message or line in the document, never its copy in
// the clipboard, so nothing is saved without its parent and the clipboard
// pastes cleanly afterwards.
TEST(SeqRangeMode, AChangedMessageKeepsItsLinesInTheDocumentAfterItWasCopied)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* copy;
    std::vector<std::string> change;
  };
  const Case cases[] = {
    // The point of the tip steps back a level of the nested boxes.
    {"y", {"<Enter>", "h", "<Enter>"}},
    // Up a row: another kind, and the point is dropped.
    {"y", {"<Enter>", "k", "<Enter>"}},
    {"x", {"u", "<Enter>", "h", "<Enter>"}},
    {"x", {"u", "<Enter>", "j", "<Enter>"}},
  };
  for (const Case& c : cases) {
    std::string keys = c.copy;
    for (const auto& k : c.change)
      keys += k;
    SCOPED_TRACE(keys);
    SeqKit kit;
    life_line(*kit.ws, 1, 1, 6);
    life_line(*kit.ws, 5, 1, 6);
    for (const int32_t step : {1, 1})
      ASSERT_TRUE(add_exec_spec(*kit.ws, 5, 3, step));
    ASSERT_TRUE(add_message(*kit.ws, 1, 3, range(1, 3, 5, 3), 1));
    LogCapture log;
    kit.go(1, 3);
    kit.keys(c.copy);
    for (const auto& k : c.change) {
      kit.keys(k);
      expect_parent_links(*kit.ws, keys + ", after " + k);
    }
    ASSERT_EQ(kit.mode_name(), "CELL MODE");
    ASSERT_TRUE(at<SeqMessage>(*kit.ws, 1, 3));
    for (int32_t x = 2; x <= 5; ++x)
      EXPECT_TRUE(at<SeqMsgLine>(*kit.ws, x, 3)) << x;
    // Written and read again, every line names its parent.
    const auto loaded = new_ws();
    ASSERT_TRUE(load_text(*loaded, saved_text(*kit.ws)));
    EXPECT_EQ(document_of(*loaded), kit.doc());
    expect_parent_links(*loaded, keys + ", read again");
    // The clipboard's message goes in as a message of its own.
    kit.go(1, 5);
    kit.keys("p");
    expect_parent_links(*kit.ws, keys + ", pasted");
    EXPECT_TRUE(at<SeqMessage>(*kit.ws, 1, 5));
    EXPECT_EQ(log.criticals, LogCapture::Lines{});
    EXPECT_EQ(log.warnings, LogCapture::Lines{});
  }
}

TEST(SeqRangeMode, ATextIsResizedOverTheRange)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  const auto text = SeqTextElement::create();
  put(*kit.ws, text, 1, 1);
  const std::string before = kit.doc();
  kit.go(1, 1);
  kit.ctx->edit_elm = text;
  ASSERT_TRUE(kit.ctx->change_to<SeqRangeMode>(
    [](SeqRangeMode& range) { range.mode = CtrlRangeModeModes::resize; }));
  kit.keys("l<Enter>");
  const auto resized = at<SeqTextElement>(*kit.ws, 1, 1);
  ASSERT_TRUE(resized);
  EXPECT_EQ(resized->dh, 1);
  EXPECT_EQ(resized->dv, 0);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqRangeMode, AnElementKindItCannotEditIsLeftAloneWithAWarning)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  // What a document's unknown element name reads as.
  const auto plain = ModelTextElement::create();
  put(*kit.ws, plain, 1, 1);
  const std::string before = kit.doc();
  kit.go(1, 1);
  kit.ctx->edit_elm = plain;
  ASSERT_TRUE(kit.ctx->change_to<SeqRangeMode>(
    [](SeqRangeMode& range) { range.mode = CtrlRangeModeModes::change; }));
  LogCapture log;
  kit.keys("lj");
  ASSERT_FALSE(log.warnings.empty());
  EXPECT_NE(log.warnings.front().find("unknown update type : ModelTextElement"), std::string::npos);
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.doc(), before);
  kit.undo_all();
  EXPECT_EQ(kit.doc(), before);
}

} // namespace
} // namespace velkaro::test
