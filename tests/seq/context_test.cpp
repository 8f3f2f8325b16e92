// The sequence context: its modes in order with the cell mode current, its
// theme colour, "w" and "b" jumping between life heads only, and the paste
// that puts a copied separator across the fragment at the cursor.

#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/modes/move_view_mode.h"
#include "seq/cell_vh_mode.h"
#include "seq/range_mode.h"
#include "seq/select_cell_mode.h"
#include "seq/select_mode.h"
#include "seq/seq_modes_for_test.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

TEST(SeqContext, RegistersTheNineModesInOrderWithTheCellModeCurrent)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  const std::vector<std::pair<std::type_index, std::string>> expected = {
    {typeid(SeqCellVHMode), "CELL MODE"},
    {typeid(SeqRangeMode), "RANGE MODE"},
    {typeid(SeqSelectMode), "SELECT MODE"},
    {typeid(SeqSelectCellMode), "SELECT CELL MODE"},
    {typeid(CtrlNormalModeInCell), "NORMAL MODE (TEXT)"},
    {typeid(CtrlVisualModeInCell), "VISUAL MODE (TEXT)"},
    {typeid(CtrlInsertModeNormal), "INSERT MODE (NORMAL)"},
    {typeid(CtrlInsertModeDirect), "INSERT MODE (CELL)"},
    {typeid(CtrlMoveViewMode), "MOVE VIEW MODE"},
  };
  const auto& modes = kit.ctx->get_mode_list();
  ASSERT_EQ(modes.size(), expected.size());
  for (std::size_t i = 0; i < modes.size(); ++i) {
    EXPECT_EQ(std::type_index(typeid(*modes[i])), expected[i].first) << i;
    EXPECT_EQ(modes[i]->get_name(), expected[i].second) << i;
  }
  EXPECT_EQ(kit.ctx->get_now_mode(), modes.front());
  EXPECT_EQ(kit.ctx->get_default_mode(), modes.front());
  EXPECT_EQ(kit.ctx->get_name(), "SeqContext");
  EXPECT_EQ(kit.ctx->theme_color, Gdk::RGBA("#9ade00"));
  EXPECT_EQ(kit.ctx->get_ws(), kit.ws);
}

TEST(SeqContext, NextAndPreviousElementJumpBetweenLifeHeadsOnly)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 1, 4);
  life_line(*kit.ws, 4, 1, 4);
  life_line(*kit.ws, 7, 1, 4);
  // Between the heads: a message, a free text and a fragment.
  add_message(*kit.ws, 1, 3, range(1, 3, 4, 3));
  put(*kit.ws, SeqTextElement::create(), 2, 1);
  add_fragment(*kit.ws, 2, 5, 5, 8);
  kit.ws->clear_in_process();

  kit.go(1, 1);
  kit.keys("w");
  EXPECT_EQ(kit.cursor(), (CellPos{4, 1}));
  kit.keys("w");
  EXPECT_EQ(kit.cursor(), (CellPos{7, 1}));
  // No head beyond the last: the cursor stays.
  kit.keys("w");
  EXPECT_EQ(kit.cursor(), (CellPos{7, 1}));
  kit.keys("b");
  EXPECT_EQ(kit.cursor(), (CellPos{4, 1}));
  kit.keys("bb");
  EXPECT_EQ(kit.cursor(), (CellPos{1, 1}));
  EXPECT_EQ(kit.undo_steps(), 0u);
}

// The chain at (x, y) as dump tokens.
std::string chain(SeqWorkspace& ws, int32_t x, int32_t y)
{
  std::string s;
  if (const auto head = ws.elm_at({x, y}))
    head->foreach([&s](const ElementPtr& e) { s += (s.empty() ? "" : " ") + token(*e); });
  return s;
}

TEST(SeqContext, APastedSeparatorGoesAcrossTheFragmentAtTheCursor)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  add_fragment(*kit.ws, 0, 0, 3, 4);
  add_fragment(*kit.ws, 5, 0, 9, 4);
  ASSERT_TRUE(kit.ws->insert_separator({0, 2}));
  // The copy carries a text, which the pasted separator takes.
  ASSERT_TRUE(kit.ws->add_text({1, 2}));
  auto text = at<SeqTextElement>(*kit.ws, 1, 2);
  ASSERT_TRUE(text);
  text->set_text("[x > 0]");
  kit.ws->clear_in_process();

  // A cell of the separator without a text (on one with a text, the text
  // is what a copy takes).
  kit.go(2, 2);
  kit.keys("y");
  ASSERT_TRUE(kit.ctx->get_has_yanked());
  EXPECT_EQ(std::string(kit.ctx->get_yank_elms()->front()->get_type_name()), "SeqSeparator");

  // On the other fragment's left edge, wherever the copy's origin lies.
  const std::string before = kit.doc();
  kit.go(5, 3);
  kit.keys("p");
  EXPECT_EQ(chain(*kit.ws, 5, 3), "fvt sp");
  EXPECT_EQ(chain(*kit.ws, 6, 3), "spl text^");
  EXPECT_EQ(chain(*kit.ws, 9, 3), "fv spl");
  const auto pasted = at<SeqTextElement>(*kit.ws, 6, 3);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->get_text(), "[x > 0]");
  // Nothing of the copy lands where its offset from the origin points.
  EXPECT_EQ(chain(*kit.ws, 4, 3), "");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);

  // Anywhere else the separator is consumed and nothing is pasted.
  kit.go(7, 7);
  kit.keys("p");
  EXPECT_EQ(kit.doc(), before);
  kit.go(6, 0);
  kit.keys("p");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqContext, OtherCopiesArePastedAsTheyWere)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 1, 3);
  kit.go(1, 1);
  kit.keys("y");
  kit.go(4, 1);
  kit.keys("p");
  EXPECT_EQ(chain(*kit.ws, 4, 1), "head text^");
  EXPECT_EQ(chain(*kit.ws, 4, 4), "ll");
}

} // namespace
} // namespace velkaro::test
