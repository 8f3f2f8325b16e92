// Key scripts through the sequence modes on a real canvas, one after the
// other on one document, each undone back to the document it started from:
// a life line, messages drawn with the cursor keys, a change of a message,
// a fragment over a selection; and the double click that makes a life line
// and stretches it with the pointer.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "seq/range_mode.h"
#include "seq/seq_modes_for_test.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

TEST(SeqModeScripts, EachScriptMakesItsElementsAndUndoesBackToTheDocumentBefore)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 6, 0, 6);
  const std::string start = kit.doc();

  // "i" on an empty cell: a life head with its name text and five
  // life-line cells below it; the cell mode stays.
  kit.go(1, 1);
  kit.keys("i");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  const auto head = at<SeqLifeHead>(*kit.ws, 1, 1);
  ASSERT_TRUE(head);
  ASSERT_TRUE(head->get_text_elm());
  EXPECT_EQ(head->get_text(), "");
  for (int32_t y = 2; y <= 6; ++y)
    EXPECT_TRUE(at<SeqLifeLine>(*kit.ws, 1, y)) << y;
  EXPECT_FALSE(at<SeqLifeLine>(*kit.ws, 1, 7));
  EXPECT_FALSE(at<SeqLifeLine>(*kit.ws, 1, 6)->has_stop);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // "M", four "l", settle: a synchronous message with four lines.
  kit.go(1, 3);
  kit.keys("M");
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  kit.keys("llll<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  const auto msg = at<SeqMessage>(*kit.ws, 1, 3);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->get_right(), 1);
  EXPECT_EQ(msg->get_msg_type(), SeqMsgTypeTypes::SYNCHRONOUS);
  for (int32_t x = 2; x <= 5; ++x)
    EXPECT_TRUE(at<SeqMsgLine>(*kit.ws, x, 3)) << x;
  EXPECT_FALSE(at<SeqMsgLine>(*kit.ws, 6, 3));
  EXPECT_EQ(msg->get_tip(), at<SeqMsgLine>(*kit.ws, 5, 3));
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // The same with "j": one row down makes it asynchronous; the message
  // stays on its row.
  kit.go(1, 3);
  kit.keys("Mllllj<Enter>");
  const auto async = at<SeqMessage>(*kit.ws, 1, 3);
  ASSERT_TRUE(async);
  EXPECT_EQ(async->get_msg_type(), SeqMsgTypeTypes::ASYNCHRONOUS);
  EXPECT_TRUE(at<SeqMsgLine>(*kit.ws, 5, 3));
  EXPECT_FALSE(at<SeqMsgLine>(*kit.ws, 5, 4));
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // A message reaching the life line at column 6, then "c" on it: the
  // range mode changes it from its tip.
  kit.go(1, 3);
  kit.keys("Mlllll<Enter>");
  const std::string with_message = kit.doc();
  const auto changed = at<SeqMessage>(*kit.ws, 1, 3);
  ASSERT_TRUE(changed);
  kit.go(1, 3);
  kit.keys("c");
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_EQ(kit.mode<SeqRangeMode>().mode, CtrlRangeModeModes::change);
  EXPECT_EQ(kit.ctx->edit_elm, changed->get_tip());
  EXPECT_EQ(kit.cursor(), (CellPos{6, 3}));
  // Shortened by two, then cancelled: the preview goes.
  kit.keys("hh");
  EXPECT_FALSE(at<SeqMsgLine>(*kit.ws, 5, 3));
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.doc(), with_message);
  kit.go(1, 3);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // "v", the cursor two right and two down, "I": a fragment over the
  // selection.
  kit.go(1, 8);
  kit.keys("vlljjI");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(at<SeqFragment>(*kit.ws, 1, 8));
  EXPECT_TRUE(at<SeqFragLine>(*kit.ws, 3, 10));
  EXPECT_TRUE(at<SeqFragLine>(*kit.ws, 1, 10));
  EXPECT_FALSE(at<SeqFragLine>(*kit.ws, 4, 10));
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);
}

TEST(SeqModeScripts, ADoubleClickOnAnEmptyCellMakesALifeLineToStretch)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  const std::string start = kit.doc();

  // Double click and release: the life line keeps its length and the
  // cursor goes back to the clicked cell.
  kit.double_press({2, 1});
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_EQ(kit.mode<SeqRangeMode>().mode, CtrlRangeModeModes::mouse);
  EXPECT_EQ(kit.mode<SeqRangeMode>().return_pos, (CellPos{2, 1}));
  EXPECT_EQ(kit.cursor(), (CellPos{2, 6}));
  EXPECT_EQ(kit.ctx->edit_elm, at<SeqLifeLine>(*kit.ws, 2, 6));
  EXPECT_TRUE(at<SeqLifeHead>(*kit.ws, 2, 1));
  kit.release({2, 1});
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{2, 1}));
  EXPECT_TRUE(at<SeqLifeLine>(*kit.ws, 2, 6));
  EXPECT_FALSE(at<SeqLifeLine>(*kit.ws, 2, 7));
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // Held long, dragged three rows further down and released: stretched.
  kit.main_view->long_press_time = 1;
  kit.double_press({2, 1});
  run_main_loop_for(30);
  kit.drag_to({2, 9});
  EXPECT_TRUE(at<SeqLifeLine>(*kit.ws, 2, 9));
  kit.release({2, 9});
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(at<SeqLifeLine>(*kit.ws, 2, 9));
  EXPECT_FALSE(at<SeqLifeLine>(*kit.ws, 2, 10));
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.keys("uu");
  EXPECT_EQ(kit.doc(), start);
}

TEST(SeqModeScripts, ADoubleClickOnATextTypesIntoIt)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 2, 1, 4);
  const std::string start = kit.doc();
  kit.double_press({2, 1});
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (CELL)");
  kit.keys("abc<Esc>");
  EXPECT_EQ(at<SeqLifeHead>(*kit.ws, 2, 1)->get_text(), "abc");
  kit.keys("u");
  EXPECT_EQ(kit.doc(), start);

  // On a life-line cell: what insert does there, a nested execution specification.
  kit.double_press({2, 3});
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 3, 0));
  kit.keys("<Esc>");
  EXPECT_EQ(kit.doc(), start);
}

} // namespace
} // namespace velkaro::test
