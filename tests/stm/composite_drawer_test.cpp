// Composite states drawn on real image surfaces: the rounded box over its
// cells, the separator under the first row, a composite selected upwards
// or leftwards drawn over the very same cells, drawn in part for a region,
// and the drawers that take part in the canvas's working pass.

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "stm/composite_drawer.h"
#include "stm/insert_elm_drawer.h"
#include "stm/lines_drawer.h"
#include "stm/points_drawer.h"
#include "stm/stm_draw_for_test.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

std::shared_ptr<ViewDrawer> stm_composites() { return std::make_shared<StmCompositeDrawer>(); }

// The box of cells (1, 1) to (4, 3) of 30-pixel cells: x 30..150, y 30..120.
void expect_box_1_1_to_4_3(const StmProbe& probe, bool separator, const std::string& what)
{
  for (double x = 40.5; x < 140; x += 5) {
    EXPECT_GE(probe.hline(x, 30), 0.75) << what << " top " << x;
    EXPECT_GE(probe.hline(x, 120), 0.75) << what << " bottom " << x;
  }
  for (double y = 40.5; y < 110; y += 5) {
    EXPECT_GE(probe.vline(30, y), 0.75) << what << " left " << y;
    EXPECT_GE(probe.vline(150, y), 0.75) << what << " right " << y;
  }
  // Rounded: the corner pixels themselves stay blank, the curve passes
  // inside them.
  for (const Point& corner : {Point(30, 30), Point(149, 30), Point(30, 119), Point(149, 119)})
    EXPECT_LE(probe.ink(corner.get_x(), corner.get_y()), 0.1) << what << " corner " << corner.to_string();
  EXPECT_GE(probe.spot(31.6, 32.6), 0.45) << what;
  EXPECT_GE(probe.spot(148.4, 117.4), 0.45) << what;
  // The separator 15/11 below the top of the second row, across the whole
  // width; nothing else inside.
  for (double x = 30.5; x < 150; x += 5) {
    if (separator)
      EXPECT_GE(probe.hline(x, 60 + 15.0 / 11.0), 0.75) << what << " separator " << x;
    else
      EXPECT_LE(probe.hline(x, 60 + 15.0 / 11.0), 0.1) << what << " no separator " << x;
  }
  EXPECT_EQ(probe.inked({33, 33, 114, 26}) + probe.inked({33, 64, 114, 53}), 0) << what;
}

TEST(StmCompositeDrawer, ARoundedBoxOverItsCellsWithASeparatorUnderTheFirstRow)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  k.add("composite", 1, 1, 3, 2);
  k.finish();
  const StmProbe probe{k.draw({stm_composites()}, {0, 0, 180, 150})};
  expect_box_1_1_to_4_3(probe, true, "down-right");
  // Nothing outside.
  EXPECT_EQ(probe.inked({0, 0, 180, 28}) + probe.inked({0, 122, 180, 28}) + probe.inked({0, 0, 28, 150}) +
                probe.inked({152, 0, 28, 150}),
            0);
}

TEST(StmCompositeDrawer, ACompositeOfOneRowHasNoSeparator)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  k.add("composite", 1, 1, 3, 0);
  k.finish();
  const StmProbe probe{k.draw({stm_composites()}, {0, 0, 180, 90})};
  for (double x = 40.5; x < 140; x += 5) {
    EXPECT_GE(probe.hline(x, 30), 0.75) << x;
    EXPECT_GE(probe.hline(x, 60), 0.75) << x;
  }
  EXPECT_EQ(probe.inked({33, 33, 114, 24}), 0);
}

TEST(StmCompositeDrawer, ACompositeSelectedUpwardsOrLeftwardsLiesOverItsCells)
{
  VELKARO_REQUIRE_GTK();
  // The cells (1, 1) to (4, 3), anchored at each corner.
  struct Case {
    CellPos anchor;
    int32_t dh;
    int32_t dv;
  };
  const std::vector<Case> cases{{{1, 1}, 3, 2}, {{4, 3}, -3, -2}, {{4, 1}, -3, 2}, {{1, 3}, 3, -2}};
  StmDrawKit reference;
  reference.add("composite", 1, 1, 3, 2);
  reference.finish();
  const auto expected = reference.draw({stm_composites()}, {0, 0, 180, 150});
  for (const auto& c : cases) {
    StmDrawKit k;
    k.add("composite", c.anchor.x, c.anchor.y, c.dh, c.dv);
    k.finish();
    const std::string what = c.anchor.to_string() + " by " + std::to_string(c.dh) + "," + std::to_string(c.dv);
    const auto image = k.draw({stm_composites()}, {0, 0, 180, 150});
    expect_box_1_1_to_4_3(StmProbe{image}, true, what);
    int differ = 0;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 180; ++x)
        differ += pixel_at(image, x, y) != pixel_at(expected, x, y);
    EXPECT_EQ(differ, 0) << what;
    // Drawn for a region holding only its bottom-right cell (as an export
    // band or a page showing part of it draws it): its edges there.
    const StmProbe part{k.draw({stm_composites()}, {120, 90, 60, 60}), 120, 90};
    EXPECT_GE(part.vline(150, 105), 0.75) << what;
    EXPECT_GE(part.hline(135, 120), 0.75) << what;
    EXPECT_EQ(part.inked({120, 90, 24, 24}), 0) << what;
  }
}

TEST(StmCompositeDrawer, OnlyCompositesTakePartInTheWorkingPass)
{
  VELKARO_REQUIRE_GTK();
  EXPECT_TRUE(StmCompositeDrawer().get_for_working());
  EXPECT_FALSE(StmPointsDrawer().get_for_working());
  EXPECT_FALSE(StmLinesDrawer().get_for_working());
  EXPECT_FALSE(StmInsertElmDrawer().get_for_working());
  // The insertion drawer draws nothing, whatever the document holds.
  StmDrawKit k;
  k.add("beginstate", 0, 0);
  k.add("transaction", 0, 0, 2, 0);
  k.add("composite", 0, 1, 2, 2);
  k.finish();
  const auto image = k.draw({std::make_shared<StmInsertElmDrawer>()}, {0, 0, 120, 120});
  EXPECT_EQ(count_unlike(image, 0, 0, 120, 120, rgb(255, 255, 255)), 0);
}

} // namespace
} // namespace velkaro::test
