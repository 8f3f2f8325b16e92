// Life heads, life lines and execution specifications in an exported image
// (light palette, zoom 1): the dashes carried across the head's cell and
// every life-line cell, the stop cross, boxes and nested boxes, and the
// styles of elements in process as the canvas shows them.

#include <memory>

#include <gtest/gtest.h>

#include "seq/life_line_drawer.h"
#include "seq/seq_draw_for_test.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

// Life lines with their heads in row 0, one per even column:
//   1: three plain cells;   3: three cells, stopped;
//   5: three cells, a one-cell box in the middle one;
//   7: five cells, a box over rows 1..4 with a level-1 box over rows 2..3
//      and a level -1 box in row 2;
//   9: three cells, a box over rows 1..2, which is in process;
//   11: three plain cells of a life line whose head is in process.
struct LifeLines : ::testing::Test {
  void SetUp() override
  {
    VELKARO_REQUIRE_GTK();
    auto& ws = *k.ws;
    test::named_life_line(ws, 1, 0, 3, "client");
    test::named_life_line(ws, 3, 0, 3, "worker", true);
    test::named_life_line(ws, 5, 0, 3, "store");
    test::box(ws, 5, 2, 2);
    test::named_life_line(ws, 7, 0, 5, "server");
    test::box(ws, 7, 1, 4);
    test::box(ws, 7, 2, 3, 1);
    test::box(ws, 7, 2, 2, -1);
    test::named_life_line(ws, 9, 0, 3, "cache");
    test::box(ws, 9, 1, 2);
    const auto head11 = test::named_life_line(ws, 11, 0, 3, "a participant with a long name");
    k.finish();
    test::at<SeqExecSpec>(ws, 9, 2, 0)->set_in_process(true);
    head11->set_in_process(true);
    image = k.export_png(k.up_to(12, 6), dir, "life_lines.png");
  }

  // The phase origin of column x's dashes: 4 above the top of the cell
  // under its head.
  double origin(int32_t x) const { return k.cell(x, 1).y - 4; }

  test::SeqDrawKit k;
  test::TempDir dir;
  Cairo::RefPtr<Cairo::ImageSurface> image;
};

TEST_F(LifeLines, TheDashesRunOnFromTheHeadThroughEveryCell)
{
  const auto head = test::at<SeqLifeHead>(*k.ws, 1, 0);
  const Rectangle cell0 = k.cell(1, 0);
  const double box_bottom = cell0.y + head->get_rect().get_bottom();
  const double xmid = cell0.get_xmid();
  // From under the head's box, across the head's cell edge and two cell
  // edges more, to the middle of the last cell.
  EXPECT_EQ(check_run(image, true, xmid, box_bottom + 0.5, k.cell(1, 3).get_ymid(), Stretch::dashes(origin(1), 6, 6)),
            "");
  // Phase 4 on both sides of the head's cell edge: one dash spans it.
  const double edge = k.cell(1, 1).y;
  EXPECT_TRUE(drawn(vline(image, xmid, edge - 3.5)));
  EXPECT_TRUE(drawn(vline(image, xmid, edge + 1.5)));
  EXPECT_TRUE(blank(vline(image, xmid, edge + 5)));
  // The last cell without stop ends at its middle.
  EXPECT_EQ(check_run(image, true, xmid, k.cell(1, 3).get_ymid() + 0.5, k.cell(1, 3).get_bottom() + 3, Stretch{Stretch::blank}),
            "");
}

TEST_F(LifeLines, TheHeadIsABoxWithItsNameInside)
{
  const auto head = test::at<SeqLifeHead>(*k.ws, 1, 0);
  const Rectangle cell0 = k.cell(1, 0);
  Rectangle box = head->get_rect();
  box.x += cell0.x;
  box.y += cell0.y;
  EXPECT_GE(box.width, 89.0);
  EXPECT_TRUE(drawn(vline(image, box.x, box.get_ymid())));
  EXPECT_TRUE(drawn(vline(image, box.get_right(), box.get_ymid())));
  EXPECT_TRUE(drawn(hline(image, box.x + 3, box.y)));
  EXPECT_TRUE(drawn(hline(image, box.get_right() - 3, box.get_bottom())));
  Rectangle text = head->get_text_elm()->get_rect();
  text.x += cell0.x;
  text.y += cell0.y;
  EXPECT_GT(test::inked(image, text), 0);
  // The name lies inside the box, clear of its edges.
  EXPECT_GE(text.x, box.x + 1);
  EXPECT_LE(text.get_right(), box.get_right() - 1);
}

TEST_F(LifeLines, AStopEndsTheLineAboveACrossOnTheLastCell)
{
  const Rectangle r = k.cell(3, 3);
  const double xmid = r.get_xmid();
  const double ymid = r.get_ymid();
  EXPECT_EQ(check_run(image, true, xmid, k.cell(3, 1).y, ymid - 5.25, Stretch::dashes(origin(3), 6, 6)), "");
  // Nothing on the centre line between the end of the dashes and the
  // cross's centre, nor below it.
  EXPECT_EQ(check_run(image, true, xmid, ymid - 4.75, ymid - 1.5, Stretch{Stretch::blank}), "");
  EXPECT_EQ(check_run(image, true, xmid, ymid + 1.5, r.get_bottom(), Stretch{Stretch::blank}), "");
  for (const double dx : {-6.0, 6.0})
    for (const double dy : {-6.0, 6.0})
      EXPECT_GE(spot(image, xmid + dx, ymid + dy), 0.5) << dx << "," << dy;
  EXPECT_LE(spot(image, xmid + 11, ymid + 11), 0.1);
  EXPECT_LE(spot(image, xmid - 11, ymid - 11), 0.1);
  // A life line without stop has no cross.
  EXPECT_LE(spot(image, k.cell(1, 3).get_xmid() + 6, k.cell(1, 3).get_ymid() + 6), 0.1);
}

TEST_F(LifeLines, AOneCellBoxHasDashesAboveAndBelow)
{
  const Rectangle r = k.cell(5, 2);
  const double xmid = r.get_xmid();
  const Stretch dashes = Stretch::dashes(origin(5), 6, 6);
  EXPECT_EQ(check_run(image, true, xmid, r.y, r.y + 3.5, dashes), "");
  EXPECT_EQ(check_run(image, true, xmid, r.get_bottom() - 3.5, r.get_bottom(), dashes), "");
  // No centre line inside the box.
  EXPECT_EQ(check_run(image, true, xmid, r.y + 5, r.get_bottom() - 5, Stretch{Stretch::blank}), "");
  for (const double side : {xmid - 6.4, xmid + 6.4}) {
    EXPECT_EQ(check_run(image, true, side, r.y + 4.5, r.get_bottom() - 4.5, Stretch{}), "") << side - xmid;
    EXPECT_TRUE(blank(vline(image, side, r.y + 2))) << side - xmid;
    EXPECT_TRUE(blank(vline(image, side, r.get_bottom() - 2))) << side - xmid;
  }
  for (const double y : {r.y + 4, r.get_bottom() - 4}) {
    EXPECT_EQ(check_run(image, false, y, xmid - 5.5, xmid + 5.5, Stretch{}), "") << y - r.y;
    EXPECT_TRUE(blank(hline(image, xmid - 8, y)));
    EXPECT_TRUE(blank(hline(image, xmid + 8, y)));
  }
}

TEST_F(LifeLines, ABoxOverSeveralCellsHasItsEdgesOnlyWhereItStartsAndEnds)
{
  const double xmid = k.cell(7, 1).get_xmid();
  // First cell: the top edge, sides on to the bottom, no bottom edge.
  const Rectangle r1 = k.cell(7, 1);
  EXPECT_TRUE(drawn(hline(image, xmid - 5, r1.y + 4)));
  EXPECT_TRUE(drawn(vline(image, xmid + 6.4, r1.get_bottom() - 1)));
  EXPECT_TRUE(drawn(vline(image, xmid - 6.4, r1.get_bottom() - 1)));
  EXPECT_TRUE(blank(hline(image, xmid - 5, r1.get_bottom() - 4)));
  // Last cell: sides from the top, the bottom edge, dashes below it.
  const Rectangle r4 = k.cell(7, 4);
  EXPECT_TRUE(blank(hline(image, xmid - 5, r4.y + 4)));
  EXPECT_TRUE(drawn(vline(image, xmid - 6.4, r4.y + 1)));
  EXPECT_TRUE(drawn(hline(image, xmid - 5, r4.get_bottom() - 4)));
  EXPECT_EQ(check_run(image, true, xmid, r4.get_bottom() - 3.5, k.cell(7, 5).get_ymid(), Stretch::dashes(origin(7), 6, 6)),
            "");
  // No centre line through the box.
  for (int32_t y = 1; y <= 4; ++y)
    EXPECT_TRUE(blank(vline(image, xmid, k.cell(7, y).get_ymid()))) << y;
}

TEST_F(LifeLines, NestedBoxesSitOnTheSidesOfTheBoxesTheyNestIn)
{
  const double xmid = k.cell(7, 2).get_xmid();
  // Row 2: the level-1 box starts and goes on below.
  const Rectangle r2 = k.cell(7, 2);
  EXPECT_TRUE(drawn(vline(image, xmid + 6.4, r2.y + 2)));
  EXPECT_TRUE(blank(vline(image, xmid + 6.4, r2.get_ymid())));
  EXPECT_EQ(check_run(image, false, r2.y + 4, xmid + 2.9, xmid + 9.9, Stretch{}), "");
  EXPECT_TRUE(blank(hline(image, xmid + 12.5, r2.y + 4)));
  EXPECT_EQ(check_run(image, true, xmid + 2.4, r2.y + 4.5, r2.get_bottom(), Stretch{}), "");
  EXPECT_EQ(check_run(image, true, xmid + 10.4, r2.y + 4.5, r2.get_bottom(), Stretch{}), "");
  EXPECT_TRUE(blank(vline(image, xmid + 10.4, r2.y + 2)));
  // Row 2: the level -1 box starts and ends there.
  EXPECT_TRUE(drawn(vline(image, xmid - 6.4, r2.y + 2)));
  EXPECT_TRUE(blank(vline(image, xmid - 6.4, r2.get_ymid())));
  EXPECT_TRUE(drawn(vline(image, xmid - 6.4, r2.get_bottom() - 2)));
  EXPECT_EQ(check_run(image, false, r2.y + 4, xmid - 9.9, xmid - 2.9, Stretch{}), "");
  EXPECT_EQ(check_run(image, false, r2.get_bottom() - 4, xmid - 9.9, xmid - 2.9, Stretch{}), "");
  EXPECT_EQ(check_run(image, true, xmid - 2.4, r2.y + 4.5, r2.get_bottom() - 4.5, Stretch{}), "");
  EXPECT_EQ(check_run(image, true, xmid - 10.4, r2.y + 4.5, r2.get_bottom() - 4.5, Stretch{}), "");
  EXPECT_TRUE(blank(vline(image, xmid - 2.4, r2.get_bottom() - 2)));
  EXPECT_TRUE(blank(vline(image, xmid - 10.4, r2.y + 2)));
  // Row 3: the level-1 box ends; the level-0 side takes over below it.
  const Rectangle r3 = k.cell(7, 3);
  EXPECT_TRUE(blank(vline(image, xmid + 6.4, r3.get_ymid())));
  EXPECT_TRUE(drawn(vline(image, xmid + 6.4, r3.get_bottom() - 2)));
  EXPECT_EQ(check_run(image, false, r3.get_bottom() - 4, xmid + 2.9, xmid + 9.9, Stretch{}), "");
  EXPECT_EQ(check_run(image, true, xmid + 2.4, r3.y, r3.get_bottom() - 4.5, Stretch{}), "");
  EXPECT_EQ(check_run(image, true, xmid + 10.4, r3.y, r3.get_bottom() - 4.5, Stretch{}), "");
  EXPECT_TRUE(blank(vline(image, xmid + 2.4, r3.get_bottom() - 2)));
  // Row 3 on the left: the level-0 side alone.
  EXPECT_EQ(check_run(image, true, xmid - 6.4, r3.y, r3.get_bottom(), Stretch{}), "");
  EXPECT_TRUE(blank(vline(image, xmid - 10.4, r3.get_ymid())));
}

TEST_F(LifeLines, ABoxInProcessIsDrawnWideAndALifeLineInProcessStaysThin)
{
  // As the canvas shows them: an export draws no element in process.
  const auto image = k.draw_with_editor(k.up_to(12, 6));
  const Rectangle r = k.cell(9, 1);
  EXPECT_NEAR(test::width_v(image, r.get_xmid() + 6.4, r.get_ymid()), 2.0, 0.3);
  EXPECT_NEAR(test::width_v(image, k.cell(5, 2).get_xmid() + 6.4, k.cell(5, 2).get_ymid()), 1.0, 0.3);
  // The life line of a head in process: its box at width 2, its dashes at 1.
  const auto head = test::at<SeqLifeHead>(*k.ws, 11, 0);
  const Rectangle cell0 = k.cell(11, 0);
  EXPECT_NEAR(test::width_v(image, cell0.x + head->get_rect().x, cell0.get_ymid()), 2.0, 0.3);
  const double xmid = k.cell(11, 1).get_xmid();
  const double dash_middle = test::dash_middle(origin(11), 6, 6, test::dash_index_after(origin(11), 6, 6, k.cell(11, 2).y));
  EXPECT_NEAR(test::width_v(image, xmid, dash_middle), 1.0, 0.3);
}

// On screen the cursor's cell is drawn in the active colour: the column's
// dashes are one line in one colour above it and below it, broken there,
// their phase running on through every cell.
TEST(LifeLineColumns, TheCursorsCellBreaksTheColumnsLineAndTheDashesRunOn)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  test::named_life_line(*k.ws, 1, 0, 6, "lane");
  k.finish();
  k.ctx->set_pos({1, 3});
  const auto dc = ViewDrawerContext::create_make_surface(k.up_to(2, 7));
  dc->color_map = ViewColorMap::create_dark();
  SeqLifeLineDrawer drawer;
  drawer.draw_for(dc, k.ctx);
  dc->surface->flush();
  const double xmid = k.cell(1, 1).get_xmid();
  const double origin = k.cell(1, 1).y - 4;
  // The red of the line's ink, undone from its coverage.
  const auto red_at = [&](double y) {
    const Pixel p = pixel_at(dc->surface, int(xmid), int(y));
    return p.a == 0 ? -1 : p.r * 255 / p.a;
  };
  for (int32_t row = 1; row <= 6; ++row) {
    SCOPED_TRACE(row);
    const Rectangle cell = k.cell(1, row);
    const int first = dash_index_after(origin, 6, 6, cell.y + 1);
    const double on = dash_middle(origin, 6, 6, first);
    if (on + 3 > (row == 6 ? cell.get_ymid() : cell.get_bottom()))
      continue;
    EXPECT_NEAR(red_at(on), row == 3 ? 255 : 238, 3);
    // And the gap after that dash is empty.
    if (on + 6 < cell.get_bottom() - 1) {
      EXPECT_EQ(red_at(on + 6), -1);
    }
  }
}

} // namespace
} // namespace velkaro::test
