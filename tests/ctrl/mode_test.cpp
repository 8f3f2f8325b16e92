// The mode base: key presses through the mode's own and included key maps,
// the pointer defaults, and the short paths to the context.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "ctrl/test_kind.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

// A mode with nothing but the base behaviour.
class PlainMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "PLAIN MODE"; }
};

TEST(ModeKeys, KeyResolvesThroughOwnAndIncludedMapsAndRunsOnTheOuterMode)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  struct Case {
    const char* keys;
    bool handled;
    Log log;
  };
  const Case cases[] = {
    {"x", true, {"KIND CELL MODE:own-x"}},
    {"b", true, {"KIND BASE MODE:base-b"}},
    // Bound by the included mode, replaced by the cell mode: the key stays
    // bound to the name and reaches the replacement.
    {"s", true, {"KIND CELL MODE:shared (replaced)"}},
    {"dd", true, {"KIND BASE MODE:delete-line"}},
    {"d", false, {}},
    {"Q", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    EXPECT_EQ(press_keys(ctx, c.keys), c.handled);
    EXPECT_EQ(kit.take_log(), c.log);
    ctx.get_now_mode()->clear_leading_keys();
  }
  const auto& base = ctx.get_now_mode()->get_included_modes().front();
  EXPECT_EQ(base->get_key_action_map().get("s"), "shared");
}

TEST(ModeKeys, MapThatDidNotDecideKeepsNoPendingKeys)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(ctx.change_to<KindOtherMode>());
  kit.take_log();

  // Own "dd" decides; the included map's pending "d" must go with it, or the
  // next single "d" would delete a whole line.
  EXPECT_TRUE(press_keys(ctx, "dd"));
  EXPECT_FALSE(press_keys(ctx, "d"));
  EXPECT_EQ(kit.take_log(), (Log{"KIND OTHER MODE:cut-range"}));
  ctx.get_now_mode()->clear_leading_keys();

  // A "d" pending when the mode is left must not complete "dd" when it is
  // current again.
  EXPECT_FALSE(press_keys(ctx, "d"));
  ctx.change_to_cell_mode();
  ASSERT_TRUE(ctx.change_to<KindOtherMode>());
  kit.take_log();
  EXPECT_FALSE(press_keys(ctx, "d"));
  EXPECT_TRUE(kit.take_log().empty());
  EXPECT_TRUE(press_keys(ctx, "d"));
  EXPECT_EQ(kit.take_log(), (Log{"KIND OTHER MODE:cut-range"}));
}

TEST(ModePointer, RightPressShowsTheContextMenuAndLeftPressIsNotHandled)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  const auto plain = std::make_shared<PlainMode>(ctx);
  const auto pt = Point(5, 5);

  EXPECT_TRUE(ctx.get_now_mode()->on_press_right_button(pt));
  EXPECT_EQ(kit.take_log(), (Log{"menu:show KIND CELL MODE"}));

  EXPECT_FALSE(plain->on_press_left_button(pt));
  EXPECT_FALSE(plain->on_double_press_left_button(pt));
  EXPECT_FALSE(plain->on_release_left_button(pt));
  EXPECT_FALSE(plain->on_drag_with_left_button(pt, pt));
  EXPECT_FALSE(plain->on_pointer_move(pt, pt));
  EXPECT_TRUE(plain->on_press_right_button(pt));
  EXPECT_EQ(kit.take_log(), (Log{"menu:show KIND CELL MODE"}));

  // Without a context menu the press is still taken.
  ctx.set_context_menu(nullptr);
  EXPECT_TRUE(plain->on_press_right_button(pt));
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(ModePointer, ZoomIsTheCanvasZoom)
{
  KindKit kit;
  const auto plain = std::make_shared<PlainMode>(*kit.ctx);
  kit.canvas->zoom = 2.5;
  EXPECT_EQ(plain->get_zoom(), 2.5);
  kit.ctx->set_canvas(nullptr);
  EXPECT_EQ(plain->get_zoom(), 1.0);
  EXPECT_TRUE(plain->get_is_enterable());
  EXPECT_EQ(plain->get_ws(), kit.ctx->get_ws());
}

TEST(ModePointer, ClickOutsideTheCursorCellFallsBackToTheCellModeThere)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(ctx.change_to<KindOtherMode>());
  ctx.set_pos({1, 1});
  const auto& other = ctx.get_now_mode();

  const auto inside = ctx.get_now_cell_center_pt();
  EXPECT_FALSE(other->change_to_cell_mode_if_need(inside));
  EXPECT_EQ(ctx.get_now_mode(), other);

  const auto elsewhere = Point(inside.get_x() + 200, inside.get_y() + 100);
  const CellPos target = ctx.point_to_cell_pos(elsewhere);
  ASSERT_NE(target, (CellPos{1, 1}));
  EXPECT_TRUE(other->change_to_cell_mode_if_need(elsewhere));
  EXPECT_EQ(ctx.get_now_mode(), ctx.get_default_mode());
  EXPECT_EQ(ctx.get_now_cell(), target);
}

TEST(ModeUndo, UndoPutsTheCursorBackOnTheActionsCellAndRedoReplays)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  ctx.set_pos({2, 3});
  ASSERT_TRUE(press_keys(ctx, "i"));
  ASSERT_EQ(names_at(ws, 2, 3), (std::vector<std::string>{"T:new"}));
  ctx.set_pos({7, 7});

  const auto& mode = ctx.get_now_mode();
  mode->undo();
  EXPECT_TRUE(names_at(ws, 2, 3).empty());
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{2, 3}));
  mode->redo();
  EXPECT_EQ(names_at(ws, 2, 3), (std::vector<std::string>{"T:new"}));

  // The wrappers of the mode: with_diff always records, with_diff_if only
  // when the function did something.
  const auto depth = ctx.get_action_proc()->get_undo_stack().size();
  EXPECT_TRUE(mode->with_diff([&] { place(ws, make_text("w"), 5, 5); }));
  EXPECT_FALSE(mode->with_diff_if([] { return false; }));
  EXPECT_EQ(ctx.get_action_proc()->get_undo_stack().size(), depth + 1);
  mode->undo();
  EXPECT_TRUE(names_at(ws, 5, 5).empty());
}

} // namespace
} // namespace velkaro::test
