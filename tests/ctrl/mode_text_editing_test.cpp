// The text modes in the test diagram kind, around the editor's signals:
// crossing into a neighbouring text, the idle return from the visual role,
// changing a selection, the release of a selection, and what entering and
// editing tell the editor and the workspace. Driven through the modes' key
// entry without a widget; typing is the input method's commit.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "common/text_range.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/mode_text_kit.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/grid.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

using Chain = std::vector<std::string>;

// --- Crossing into a neighbouring text

struct TwoTexts {
  TwoTexts()
  {
    // The first text has a parent (role 0), the second none (role 1).
    owner = KindMark::create("owner");
    place(*kit.ws, owner, 5, 5);
    first = ModelTextElement::create_with_parent(owner);
    first->set_text("ab\ncd");
    place(*kit.ws, first, 1, 1);
    second = kit.put_text(1, 1, "xyz\nuvw");
    kit.go(1, 1);
  }
  std::shared_ptr<CtrlITextEditable> edited() { return kit.text_mode().get_text_editor()->get_ite(); }

  TextKit kit;
  std::shared_ptr<KindMark> owner;
  std::shared_ptr<ModelTextElement> first;
  std::shared_ptr<ModelTextElement> second;
};

TEST(TextModes, AMotionPastTheEndCrossesIntoTheTextOfTheNextRole)
{
  TwoTexts t;
  ASSERT_EQ(t.first->get_role(), 0);
  ASSERT_EQ(t.second->get_role(), 1);
  ASSERT_TRUE(press_keys(*t.kit.ctx, "c"));
  ASSERT_EQ(t.edited(), t.first);

  // Back from role 0: no role -1, the cursor stays at the limit.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "lk"));
  EXPECT_EQ(t.edited(), t.first);
  EXPECT_EQ(t.first->get_cursor_index(), 1);

  // Down past the last line: into the first line of role 1, same column.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "jj"));
  EXPECT_EQ(t.edited(), t.second);
  EXPECT_EQ(t.second->get_cursor_index(), 1);
  EXPECT_EQ(t.kit.mode_name(), NORMAL);
  EXPECT_EQ(t.kit.ctx->get_now_cell(), (CellPos{1, 1}));
  // Past the end of role 1 there is nothing further.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "jj"));
  EXPECT_EQ(t.edited(), t.second);
  EXPECT_EQ(t.second->get_cursor_index(), 5);

  // The crossed-into text stays the edited one in the other text modes.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "i"));
  EXPECT_EQ(t.edited(), t.second);
  t.kit.type("!");
  EXPECT_EQ(t.second->get_text(), "xyz\nu!vw");
  EXPECT_EQ(t.first->get_text(), "ab\ncd");
  ASSERT_TRUE(press_keys(*t.kit.ctx, "<Esc>"));
  EXPECT_EQ(t.edited(), t.second);

  // Up past the first line of role 1: back into role 0, on its last line.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "kk"));
  EXPECT_EQ(t.edited(), t.first);
  EXPECT_GE(t.first->get_cursor_index(), 3);

  // Leaving text editing forgets the crossing.
  ASSERT_TRUE(press_keys(*t.kit.ctx, "jj<Esc>c"));
  EXPECT_EQ(t.edited(), t.first);
}

TEST(TextModes, CrossingWithoutStepsOrIntoAnythingButATextDoesNothing)
{
  TwoTexts t;
  const auto mark = KindMark::create("role 2");
  mark->set_role(2);
  place(*t.kit.ws, mark, 1, 1);
  ASSERT_TRUE(press_keys(*t.kit.ctx, "c"));
  auto& mode = t.kit.text_mode();
  mode.on_overstep_cursor_limit_cb(0, 0, 0);
  EXPECT_EQ(t.edited(), t.first);
  mode.on_overstep_cursor_limit_cb(1, 0, 0);
  EXPECT_EQ(t.edited(), t.second);
  // Role 2 of this chain is no text.
  mode.on_overstep_cursor_limit_cb(0, 1, 0);
  EXPECT_EQ(t.edited(), t.second);
}

// --- The idle return from the visual role

TEST(TextModes, AnEditInTheVisualRoleReturnsToTheNormalOneWhenTheLoopIsIdle)
{
  TextKit kit;
  kit.watch();
  const auto text = kit.put_text(1, 1, "abcdef");
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "cvl"));
  kit.take_log();
  // Two edits before the loop runs: one return.
  ASSERT_TRUE(press_keys(*kit.ctx, "x"));
  ASSERT_TRUE(press_keys(*kit.ctx, "x"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:def"});
  EXPECT_EQ(kit.mode_name(), VISUAL);
  EXPECT_TRUE(kit.text_mode().get_is_exit_pending());

  run_main_loop();
  EXPECT_EQ(kit.mode_name(), NORMAL);
  Log modes;
  for (const auto& line : kit.take_log())
    if (line.rfind("update-mode:", 0) == 0)
      modes.push_back(line);
  EXPECT_EQ(modes, Log{std::string("update-mode:") + NORMAL});
  EXPECT_FALSE(kit.mode<CtrlVisualModeInCell>()->get_is_exit_pending());
  // No selection is left drawn.
  EXPECT_EQ(text->get_text_range()->get_size(), 0);
}

TEST(TextModes, EditsInTheOtherRolesAskForNoReturn)
{
  for (const char* keys : {"cx", "ci<Del>", "i<Del>"}) {
    SCOPED_TRACE(keys);
    TextKit kit;
    kit.put_text(1, 1, "abc");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, keys));
    const std::string mode = kit.mode_name();
    EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:bc"});
    EXPECT_FALSE(kit.text_mode().get_is_exit_pending());
    run_main_loop();
    EXPECT_EQ(kit.mode_name(), mode);
  }
}

TEST(TextModes, APendingReturnGoesWithTheVisualModeAndItsContext)
{
  {
    SCOPED_TRACE("the visual mode was left before the loop ran");
    TextKit kit;
    kit.put_text(1, 1, "abc");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "cvx<Esc><Esc>"));
    ASSERT_EQ(kit.mode_name(), CELL);
    run_main_loop();
    EXPECT_EQ(kit.mode_name(), CELL);
  }
  {
    SCOPED_TRACE("the context went before the loop ran");
    std::weak_ptr<CtrlMode> visual;
    {
      TextKit kit;
      kit.put_text(1, 1, "abc");
      kit.go(1, 1);
      ASSERT_TRUE(press_keys(*kit.ctx, "cvx"));
      ASSERT_TRUE(kit.text_mode().get_is_exit_pending());
      visual = kit.ctx->get_now_mode();
    }
    EXPECT_TRUE(visual.expired());
    run_main_loop();
  }
}

TEST(TextModes, ChangeTextCutsTheSelectionAndTypesInItsPlace)
{
  TextKit kit;
  kit.put_text(1, 1, "abcd");
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "clvlc"));
  EXPECT_EQ(kit.mode_name(), INSERT_NORMAL);
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:ad"});
  EXPECT_EQ(kit.clipboard->text, std::optional<std::string>("bc"));
  EXPECT_FALSE(kit.mode<CtrlVisualModeInCell>()->get_is_exit_pending());
  kit.type("X");
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:aXd"});
  run_main_loop();
  EXPECT_EQ(kit.mode_name(), INSERT_NORMAL);
}

// --- Pointer

TEST(TextModes, AReleaseWithAnEmptySelectionLeavesTheVisualRole)
{
  TextKit kit;
  const auto text = kit.put_text(1, 1, "abc");
  const auto other = kit.put_text(2, 2, "xyz");
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "cv"));
  auto& visual = *kit.mode<CtrlVisualModeInCell>();
  const auto pt = kit.ctx->get_now_cell_center_pt();
  ASSERT_GT(text->get_text_range()->get_size(), 0);
  EXPECT_FALSE(visual.on_release_left_button(pt));
  EXPECT_EQ(kit.mode_name(), VISUAL);

  // A selection that runs from another text: its release is that text's.
  visual.start_text_elm = other;
  text->get_text_range()->clear();
  EXPECT_FALSE(visual.on_release_left_button(pt));
  EXPECT_EQ(kit.mode_name(), VISUAL);
  visual.start_text_elm = text;
  EXPECT_FALSE(visual.on_release_left_button(pt));
  EXPECT_EQ(kit.mode_name(), NORMAL);
  visual.start_text_elm = nullptr;

  ASSERT_TRUE(press_keys(*kit.ctx, "v"));
  text->get_text_range()->clear();
  EXPECT_FALSE(visual.on_release_left_button(pt));
  EXPECT_EQ(kit.mode_name(), NORMAL);
  // Outside the visual role a release does nothing.
  EXPECT_FALSE(kit.text_mode().on_release_left_button(pt));
  EXPECT_EQ(kit.mode_name(), NORMAL);
}

// --- Entering: where the input method is placed

TEST(TextModes, ATextWithoutACursorLocationGetsTheCellsRectangleAtTheZoom)
{
  TextKit kit;
  kit.canvas->zoom = 2.0;
  const auto unplaced = kit.put_text(1, 1, "abc");
  const auto placed = kit.put_text(2, 1, "xyz");
  cairo_rectangle_int_t given{3, 4, 5, 6};
  placed->set_cursor_location(given, 1.0);

  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "i"));
  const Rectangle cell = kit.ws->grid->get_rect(1, 1);
  const cairo_rectangle_int_t got = unplaced->get_cursor_location();
  EXPECT_EQ(got.x, static_cast<int>(static_cast<int>(cell.x) * 2.0));
  EXPECT_EQ(got.y, static_cast<int>(static_cast<int>(cell.y) * 2.0));
  EXPECT_EQ(got.width, static_cast<int>(static_cast<int>(cell.width) * 2.0));
  EXPECT_EQ(got.height, static_cast<int>(static_cast<int>(cell.height) * 2.0));
  EXPECT_GT(got.width, 0);

  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));
  kit.go(2, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "i"));
  const cairo_rectangle_int_t kept = placed->get_cursor_location();
  EXPECT_EQ((std::vector<int>{kept.x, kept.y, kept.width, kept.height}), (std::vector<int>{3, 4, 5, 6}));
}

TEST(TextModes, PointerPointsReachTheEditorRelativeToTheEditedCell)
{
  TextKit kit;
  kit.put_text(0, 0, "first");
  kit.put_text(2, 3, "abc");
  kit.go(2, 3);
  ASSERT_TRUE(press_keys(*kit.ctx, "c"));
  const auto corner = kit.ctx->get_now_cell_top_left_pt();
  ASSERT_GT(corner.get_x(), 0);
  const auto& offset = kit.text_mode().get_text_editor()->get_mouse_offset_pt();
  EXPECT_DOUBLE_EQ(offset.get_x(), -corner.get_x());
  EXPECT_DOUBLE_EQ(offset.get_y(), -corner.get_y());
}

TEST(TextModes, ATextChangeLaysOutTheCellOfTheChangedText)
{
  TextKit kit;
  kit.put_text(1, 1, "a");
  kit.go(1, 1);
  const double narrow = kit.ws->grid->get_rect(1, 1).width;
  ASSERT_TRUE(press_keys(*kit.ctx, "A"));
  kit.type(" much longer text than before");
  EXPECT_GT(kit.ws->grid->get_rect(1, 1).width, narrow);
  EXPECT_TRUE(kit.ws->modified);
}

} // namespace
} // namespace velkaro::test
