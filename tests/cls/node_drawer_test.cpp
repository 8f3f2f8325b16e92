// The diagnostic picture of the route graph: a translucent dot at the
// centre of each node's cell, yellow for a terminal's node and red for the
// others, with the node's reference count beside it; only the nodes whose
// cells meet the update rectangle.

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "cls/cls_draw_for_test.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/node_drawer.h"
#include "cls/route/router.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

// The most coloured pixel left of and above the cell's centre: inside the
// dot and clear of the count drawn from the centre on.
Pixel dot_of(ClsDrawKit& kit, const ClsImage& image, int32_t x, int32_t y)
{
  const Point c = Point::create_median(kit.cell(x, y));
  Pixel most = rgb(255, 255, 255);
  for (int j = -2; j <= -1; ++j)
    for (int i = -2; i <= -1; ++i) {
      const Pixel p = pixel_at(image, int(std::floor(c.get_x())) + i, int(std::floor(c.get_y())) + j);
      if (p.g + p.b < most.g + most.b)
        most = p;
    }
  return most;
}

TEST(ClsNodeDrawer, TerminalsAreYellowOtherNodesRedEachWithItsCount)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 2, 2, "A");
  ASSERT_TRUE(kit.ws->get_router()->get(2, 2));
  ASSERT_TRUE(kit.ws->get_router()->get(2, 2)->is_terminal);
  ASSERT_TRUE(kit.ws->get_router()->get(3, 2));
  ASSERT_FALSE(kit.ws->get_router()->get(3, 2)->is_terminal);
  const Rectangle all{0, 0, kit.cell(5, 5).get_right(), kit.cell(5, 5).get_bottom()};
  const auto image = kit.draw({std::make_shared<ClsNodeDrawer>()}, all);
  const Pixel terminal = dot_of(kit, image, 2, 2);
  const Pixel other = dot_of(kit, image, 3, 2);
  EXPECT_GT(terminal.r - terminal.b, 20) << terminal;
  EXPECT_LT(std::abs(terminal.r - terminal.g), 4) << terminal;
  EXPECT_GT(other.r - other.g, 20) << other;
  EXPECT_LT(std::abs(other.g - other.b), 4) << other;
  // The count, right of and below the centre.
  const Point c = Point::create_median(kit.cell(3, 2));
  const ClsProbe p{image};
  EXPECT_GT(p.inked({c.get_x() + 1, c.get_y() + 1, 8, 10}), 3);
  // A cell without a node stays white.
  ASSERT_FALSE(kit.ws->get_router()->get(5, 5));
  EXPECT_EQ(p.inked(kit.cell(5, 5)), 0);
}

TEST(ClsNodeDrawer, OnlyNodesWhoseCellsMeetTheUpdateRectangleAreDrawn)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 2, 2, "A");
  const Rectangle all{0, 0, kit.cell(5, 5).get_right(), kit.cell(5, 5).get_bottom()};
  const Rectangle cell = kit.cell(2, 2);
  const auto image = kit.draw({std::make_shared<ClsNodeDrawer>()}, all, ViewColorMap::create_light(),
                              Rectangle{std::floor(cell.x) + 2, std::floor(cell.y) + 2, 2, 2});
  const ClsProbe p{image};
  EXPECT_GT(p.inked(cell), 0);
  EXPECT_EQ(p.inked(kit.cell(3, 2)), 0);
  EXPECT_EQ(p.inked(kit.cell(2, 3)), 0);
}

} // namespace
} // namespace velkaro::test
