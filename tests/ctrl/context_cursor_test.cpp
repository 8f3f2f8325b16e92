// The context's cursor cell: steps over multi-cell texts, jumps to the next
// element and to the ends of the used cells, and the point conversions.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

// Enters the cell mode through a switch, as the user does by leaving
// another mode.
void enter_cell_mode(CtrlContext& ctx)
{
  ASSERT_TRUE(ctx.change_to<KindOtherMode>());
  ctx.change_to_cell_mode();
  ASSERT_TRUE(ctx.in_cell_mode);
}

TEST(ContextCursor, SetPosStoresThePositionAndShowsIt)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{0, 0}));
  EXPECT_EQ(ctx.set_pos({4, 9}), (CellPos{4, 9}));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{4, 9}));
  EXPECT_EQ(kit.take_log(), (Log{"canvas:show_cell_pos"}));
  // Stored unchanged, even outside the grid.
  EXPECT_EQ(ctx.set_pos({-1, 70000}), (CellPos{-1, 70000}));
}

TEST(ContextCursor, StepCrossesAWideTextOnlyInACellMode)
{
  struct Case {
    const char* what;
    bool cell_mode;
    CellPos from;
    MovingDir dir;
    CellPos to;
  };
  // A text three cells wide over columns 2..4 of row 1.
  const Case cases[] = {
    {"first mode current, never entered", false, {2, 1}, MovingDir::right, {3, 1}},
    {"cell mode, right from the first cell", true, {2, 1}, MovingDir::right, {5, 1}},
    {"cell mode, left from the last cell", true, {4, 1}, MovingDir::left, {1, 1}},
    {"cell mode, down crosses one row", true, {3, 1}, MovingDir::down, {3, 2}},
    {"cell mode, beside the text", true, {1, 1}, MovingDir::right, {2, 1}},
    {"cell mode, at the grid's edge", true, {0, 0}, MovingDir::up, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit;
    auto& ctx = *kit.ctx;
    ASSERT_TRUE(place(*kit.ws, make_text("wide", 2), 2, 1));
    if (c.cell_mode)
      enter_cell_mode(ctx);
    ctx.set_pos(c.from);
    ctx.move_pos(c.dir);
    EXPECT_EQ(ctx.get_now_cell(), c.to);
  }
}

TEST(ContextCursor, StepOverATextReachingTheGridsEdgeEnds)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(place(*kit.ws, make_text("edge", 2), CellPos::MAX - 2, 0));
  enter_cell_mode(ctx);
  ctx.set_pos({CellPos::MAX - 2, 0});
  ctx.move_pos(MovingDir::right);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{CellPos::MAX, 0}));
  ctx.move_pos(MovingDir::right);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{CellPos::MAX, 0}));
}

TEST(ContextCursor, NextElementGoesInColumnMajorOrder)
{
  struct Case {
    CellPos from;
    bool forward;
    CellPos to;
  };
  const Case cases[] = {
    {{2, 5}, true, {2, 6}},
    {{3, 0}, false, {2, 7}},
    {{2, 6}, true, {2, 7}},
    {{2, 7}, true, {3, 0}},
    {{3, 0}, true, {3, 0}},  // nothing after it
    {{0, 0}, false, {0, 0}}, // nothing before it
    {{2, 7}, false, {2, 6}}, // the cursor's own cell is skipped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from.to_string() + (c.forward ? " forward" : " backward"));
    KindKit kit;
    auto& ctx = *kit.ctx;
    for (const CellPos& at : {CellPos{2, 7}, CellPos{3, 0}, CellPos{2, 6}})
      ASSERT_TRUE(place(*kit.ws, make_text("t"), at.x, at.y));
    ctx.set_pos(c.from);
    kit.take_log();
    c.forward ? ctx.next_elm() : ctx.prev_elm();
    EXPECT_EQ(ctx.get_now_cell(), c.to);
    if (c.to != c.from) {
      EXPECT_EQ(kit.take_log(), (Log{"canvas:show_cell_pos", "canvas:update"}));
    }
  }
}

TEST(ContextCursor, NextElementOfAKindSkipsChainsWithoutOne)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(place(*kit.ws, KindMark::create("m"), 0, 3));
  ASSERT_TRUE(place(*kit.ws, make_text("t"), 0, 5));
  ASSERT_TRUE(place(*kit.ws, make_text("u"), 1, 0));
  ASSERT_TRUE(place(*kit.ws, KindMark::create("n"), 1, 0));
  ctx.move_next<KindMark>(true);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{0, 3}));
  ctx.move_next<KindMark>(true);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{1, 0})) << "a chain holding one anywhere counts";
}

TEST(ContextCursor, CellToEndFollowsTheTurnedAxis)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(place(*kit.ws, make_text("a"), 6, 2));
  ASSERT_TRUE(place(*kit.ws, make_text("b"), 1, 9));

  // Axis h: rows.
  ctx.set_pos({3, 4});
  ctx.cell_to_end(false);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{3, 0}));
  ctx.cell_to_end(true);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{3, 9}));

  // Axis v: columns.
  ctx.set_now_dir(CellDir::v);
  EXPECT_EQ(ctx.get_turned_dir(), CellDir::h);
  EXPECT_TRUE(ctx.get_is_virtical());
  ctx.cell_to_end(true);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{6, 9}));
  ctx.cell_to_end(false);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{0, 9}));
}

TEST(ContextCursor, AxisChangeUpdatesTheViewAndNotifies)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();
  EXPECT_EQ(ctx.get_now_dir(), CellDir::h);
  EXPECT_EQ(ctx.get_turned_dir(), CellDir::v);
  ctx.set_now_dir(CellDir::hv);
  EXPECT_EQ(ctx.get_turned_dir(), CellDir::h);
  EXPECT_FALSE(ctx.get_is_virtical());
  EXPECT_EQ(kit.take_log(), (Log{"canvas:update", "notify:now-dir"}));
}

TEST(ContextCursor, WhatIsAtTheCursorAndTheElementUnderEdit)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  const auto mark = KindMark::create("m");
  const auto text = make_text("hello");
  ASSERT_TRUE(place(*kit.ws, mark, 3, 3));
  ASSERT_TRUE(place(*kit.ws, text, 3, 3));

  ctx.set_pos({3, 3});
  EXPECT_EQ(ctx.get_now_elm(), mark);
  EXPECT_EQ(ctx.get_now_text_elm(), text);
  EXPECT_EQ(ctx.get_now_text(), "hello");
  ASSERT_TRUE(ctx.get_now_exp());
  EXPECT_EQ(ctx.get_now_exp()->get_length(), 2);

  ctx.set_pos({4, 3});
  EXPECT_EQ(ctx.get_now_elm(), nullptr);
  EXPECT_EQ(ctx.get_now_text_elm(), nullptr);
  EXPECT_EQ(ctx.get_now_text(), "");

  EXPECT_EQ(ctx.get_epos(), (CellPos{-1, -1}));
  ctx.edit_elm = text;
  EXPECT_EQ(ctx.get_epos(), (CellPos{3, 3}));
  ctx.now_cell_to(mark);
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{3, 3}));
}

TEST(ContextCursor, PointsOfTheCursorCellAndConversions)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  const auto& grid = *kit.ws->grid;
  ctx.set_pos({2, 1});
  const auto tl = ctx.get_now_cell_top_left_pt();
  const auto br = ctx.get_now_cell_bottom_right_pt();
  const auto c = ctx.get_now_cell_center_pt();
  const Rectangle cell = grid.get_rect(2, 1);
  EXPECT_DOUBLE_EQ(tl.get_x(), cell.x);
  EXPECT_DOUBLE_EQ(tl.get_y(), cell.y);
  EXPECT_DOUBLE_EQ(br.get_x(), cell.x + cell.width);
  EXPECT_DOUBLE_EQ(br.get_y(), cell.y + cell.height);
  EXPECT_DOUBLE_EQ(c.get_x(), cell.x + cell.width / 2);
  EXPECT_EQ(ctx.point_to_cell_pos(c), (CellPos{2, 1}));

  Point p(cell.x + 3, cell.y + 4);
  EXPECT_EQ(&ctx.translate_pt_wnd_to_ws(p), &p);
  ctx.translate_pt_wnd_to_cell(p);
  EXPECT_DOUBLE_EQ(p.get_x(), 3);
  EXPECT_DOUBLE_EQ(p.get_y(), 4);
  kit.canvas->zoom = 2;
  ctx.translate_pt_ws_to_wnd(p);
  EXPECT_DOUBLE_EQ(p.get_x(), 6);
  EXPECT_DOUBLE_EQ(p.get_y(), 8);

  ctx.set_pos_by_pt(Point(cell.x + 1, cell.y + 1));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{2, 1}));
}

} // namespace
} // namespace velkaro::test
