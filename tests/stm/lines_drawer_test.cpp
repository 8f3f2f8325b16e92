// Transitions and concurrency lines drawn on real image surfaces: the
// pull-back from point states, the arrow head in each direction, the plain
// end of a transition that goes on, the thick concurrency line, and a
// transition whose ends coincide.

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "stm/doc/transaction.h"
#include "stm/lines_drawer.h"
#include "stm/points_drawer.h"
#include "stm/stm_draw_for_test.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

std::shared_ptr<ViewDrawer> stm_lines() { return std::make_shared<StmLinesDrawer>(); }

TEST(StmLinesDrawer, ATransitionFromAStatePullsBackFromBothCentresWithItsHead)
{
  VELKARO_REQUIRE_GTK();
  // A begin state in cell (0, 0), a transition from it to cell (2, 0) of
  // 30-pixel cells: the line runs from (25, 15) to (65, 15), the head's
  // wings from (65, 15) to (57.5, 18.75) and (57.5, 11.25).
  StmDrawKit k;
  k.add("beginstate", 0, 0);
  const auto t = std::dynamic_pointer_cast<StmTransaction>(k.add("transaction", 0, 0, 2, 0));
  k.finish();
  ASSERT_TRUE(t->get_is_start());
  ASSERT_TRUE(t->get_is_end());
  // The lines alone, so that the pull-back at the start shows.
  const StmProbe probe{k.draw({stm_lines()}, {0, 0, 90, 30})};
  for (double x = 26.5; x < 64; x += 1)
    EXPECT_GE(probe.hline(x, 15), 0.75) << x;
  for (double x = 0.5; x < 24; x += 1)
    EXPECT_LE(probe.hline(x, 15), 0.1) << x;
  for (double x = 66.5; x < 90; x += 1)
    EXPECT_LE(probe.hline(x, 15), 0.1) << x;
  // The wings: along them, at their ends, and nothing beyond.
  for (const double side : {1.0, -1.0}) {
    // Three pixel rows or more away from the line itself.
    EXPECT_GE(probe.spot(59, 15 + side * 3), 0.45) << side;
    EXPECT_GE(probe.spot(58, 15 + side * 3.5), 0.45) << side;
    EXPECT_LE(probe.ink(57.5, 15 + side * 5.5), 0.1) << side;
    EXPECT_LE(probe.ink(55, 15 + side * 5), 0.1) << side;
  }
  // With the state drawn, the line meets the disc's edge.
  const StmProbe both{k.draw({std::make_shared<StmPointsDrawer>(), stm_lines()}, {0, 0, 90, 30})};
  for (double x = 5.5; x < 64; x += 1)
    EXPECT_GE(both.hline(x, 15), 0.75) << x;
}

TEST(StmLinesDrawer, TheHeadPointsTheWayTheTransitionRuns)
{
  VELKARO_REQUIRE_GTK();
  // From the centre of cell (2, 2) two cells each way: the tip 10 short of
  // the end cell's centre, the wings 7.5 back and 3.75 aside.
  struct Case {
    int32_t dh;
    int32_t dv;
    Point tip;
    Point wing1;
    Point wing2;
  };
  const std::vector<Case> cases{
      {2, 0, {125, 75}, {117.5, 78.75}, {117.5, 71.25}},
      {-2, 0, {25, 75}, {32.5, 71.25}, {32.5, 78.75}},
      {0, 2, {75, 125}, {71.25, 117.5}, {78.75, 117.5}},
      {0, -2, {75, 25}, {78.75, 32.5}, {71.25, 32.5}},
  };
  for (const auto& c : cases) {
    StmDrawKit k;
    const auto t = std::dynamic_pointer_cast<StmTransaction>(k.add("transaction", 2, 2, c.dh, c.dv));
    k.finish();
    const StmProbe probe{k.draw({stm_lines()}, {0, 0, 150, 150})};
    const std::string what = std::to_string(c.dh) + "," + std::to_string(c.dv);
    // Not on a state: the line starts at the centre itself.
    EXPECT_GE(probe.spot(75 + c.dh * 0.5, 75 + c.dv * 0.5), 0.45) << what;
    for (const Point& wing : {c.wing1, c.wing2}) {
      const Point mid((c.tip.get_x() + wing.get_x()) / 2, (c.tip.get_y() + wing.get_y()) / 2);
      EXPECT_GE(probe.spot(mid.get_x(), mid.get_y()), 0.45) << what << " wing " << wing.to_string();
      // Mirrored across the line, beyond the tip: nothing.
      const Point ahead(2 * c.tip.get_x() - mid.get_x(), 2 * c.tip.get_y() - mid.get_y());
      EXPECT_LE(probe.ink(ahead.get_x(), ahead.get_y()), 0.1) << what << " ahead of " << wing.to_string();
    }
    // Nothing between the tip and the end cell's centre.
    const Point centre(75 + c.dh * 30, 75 + c.dv * 30);
    const Point gap((c.tip.get_x() + 2 * centre.get_x()) / 3, (c.tip.get_y() + 2 * centre.get_y()) / 3);
    EXPECT_LE(probe.spot(gap.get_x(), gap.get_y()), 0.1) << what;
    EXPECT_EQ(t->get_mdir(), c.dh > 0 ? MovingDir::right
                             : c.dh < 0 ? MovingDir::left
                             : c.dv > 0 ? MovingDir::down
                                        : MovingDir::up);
  }
}

TEST(StmLinesDrawer, ATransitionThatGoesOnEndsAtTheCentreWithoutAHead)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  // (0, 0) right to (2, 0), then down to (2, 2).
  const auto first = k.add("transaction", 0, 0, 2, 0);
  const auto second = StmTransaction::create();
  second->dv = 2;
  second->set_parent(first);
  k.ws->move_hv(2, 0);
  ASSERT_TRUE(k.ws->store(second));
  k.finish();
  ASSERT_FALSE(std::dynamic_pointer_cast<StmTransaction>(first)->get_is_end());
  const StmProbe probe{k.draw({stm_lines()}, {0, 0, 90, 90})};
  // From the very centre of (0, 0) to the very centre of (2, 0).
  for (double x = 15.5; x < 75; x += 1)
    EXPECT_GE(probe.hline(x, 15), 0.75) << x;
  EXPECT_LE(probe.hline(13.5, 15), 0.1);
  // No head at (75, 15): nothing back from it beside the line.
  for (const double side : {1.0, -1.0})
    EXPECT_LE(probe.spot(69.5, 15 + side * 4.5), 0.1) << side;
  // The second runs down from that centre to its head 10 above (75, 75).
  for (double y = 15.5; y < 64; y += 1)
    EXPECT_GE(probe.vline(75, y), 0.75) << y;
  EXPECT_GE(probe.spot(73.125, 61.25), 0.45);
  EXPECT_LE(probe.vline(75, 70.5), 0.1);
}

TEST(StmLinesDrawer, AConcurrencyLineIsThickWithoutHeadOrPullBack)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  k.add("beginstate", 0, 0);
  k.add("concurrent", 0, 0, 0, 2);
  k.add("beginstate", 0, 2);
  k.finish();
  const StmProbe probe{k.draw({stm_lines()}, {0, 0, 30, 90})};
  for (double y = 15.5; y < 75; y += 1)
    EXPECT_NEAR(probe.width_v(15, y), 3.0, 0.3) << y;
  EXPECT_LE(probe.vline(15, 13), 0.1);
  EXPECT_LE(probe.vline(15, 77), 0.1);
  EXPECT_EQ(probe.inked({0, 0, 12, 90}) + probe.inked({19, 0, 11, 90}), 0);
}

TEST(StmLinesDrawer, ATransitionWhoseEndsCoincideDrawsNothing)
{
  VELKARO_REQUIRE_GTK();
  // A new transition before its first stretch: in an empty cell, on a
  // state, and in process as the range mode has it.
  StmDrawKit k;
  k.add("transaction", 1, 1);
  k.add("sinkstate", 3, 1);
  k.add("transaction", 3, 1);
  k.ws->insert_elm_4_edit({5, 1}, "transaction");
  for (const auto& palette : {ViewColorMap::create_light(), ViewColorMap::create_dark()}) {
    const auto image = k.draw({stm_lines()}, {0, 0, 210, 90}, palette);
    EXPECT_EQ(count_unlike(image, 0, 0, 210, 90, to_pixel(palette->get(ViewColor::background))), 0);
  }
}

} // namespace
} // namespace velkaro::test
