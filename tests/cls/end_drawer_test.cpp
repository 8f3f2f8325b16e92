// The end shapes of connectors, each drawn alone on a real image: where the
// unit points land for every direction, the figures' own examples, which
// lines each kind strokes and which it fills, in the colour and width the
// caller set.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/arrow_connector_end_drawer.h"
#include "cls/cls_draw_for_test.h"
#include "cls/diamond_connector_end_drawer.h"
#include "common/text_join.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

// One shape drawn in black, line width 1, tip at tip, 8 wide and 16 long,
// on a white image of 120 by 80 from (0, 0).
ClsProbe draw_end(ClsAbstractConnectorEndDrawer& end, const Point& tip, MovingDir dir, double line_width = 1.0)
{
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 120, 80});
  dc->cr->set_source_rgb(1, 1, 1);
  dc->cr->paint();
  dc->cr->set_source_rgb(0, 0, 0);
  dc->cr->set_line_width(line_width);
  end.draw(*dc, 8, 16, tip, dir);
  EXPECT_EQ(cairo_status(dc->cr->cobj()), CAIRO_STATUS_SUCCESS);
  return {dc->surface};
}

Point lerp(const Point& a, const Point& b, double t)
{
  return Point(a.get_x() + (b.get_x() - a.get_x()) * t, a.get_y() + (b.get_y() - a.get_y()) * t);
}

std::string at(const Point& p)
{
  return text_join({"(", std::to_string(p.get_x()), ", ", std::to_string(p.get_y()), ")"});
}

// The ink along the line a to b, at a few points strictly inside it.
void expect_line(const ClsProbe& probe, const Point& a, const Point& b, const std::string& what)
{
  for (const double t : {0.25, 0.5, 0.75}) {
    const Point p = lerp(a, b, t);
    EXPECT_GE(probe.spot(p.get_x(), p.get_y()), 0.4) << what << " at " << at(p);
  }
}

void expect_no_line(const ClsProbe& probe, const Point& a, const Point& b, const std::string& what)
{
  const Point p = lerp(a, b, 0.5);
  EXPECT_LE(probe.ink(p.get_x(), p.get_y()), 0.05) << what << " at " << at(p);
}

const std::vector<MovingDir> ALL_DIRS = {MovingDir::up, MovingDir::down, MovingDir::left, MovingDir::right};

TEST(ClsEndDrawerPlacement, UnitPointsLandAsEachDirectionTurnsThem)
{
  // (u, v) scaled by w = 8, h = 16 and turned about the tip (100, 50).
  struct Case {
    MovingDir dir;
    Point wing; // where (-0.5, 1) lands
    Point far;  // where (0, 1) lands
  };
  const Case cases[] = {
    {MovingDir::up, {96, 66}, {100, 66}},
    {MovingDir::down, {104, 34}, {100, 34}},
    {MovingDir::left, {116, 54}, {116, 50}},
    {MovingDir::right, {84, 46}, {84, 50}},
    // Any other value is placed as up.
    {static_cast<MovingDir>(7), {96, 66}, {100, 66}},
  };
  for (const Case& c : cases) {
    const auto p = ClsAbstractConnectorEndDrawer::place({{0, 0}, {-0.5, 1}, {0, 1}}, 8, 16, {100, 50}, c.dir);
    EXPECT_EQ(p[0], Point(100, 50)) << moving_dir_to_string(c.dir);
    EXPECT_EQ(p[1], c.wing) << moving_dir_to_string(c.dir);
    EXPECT_EQ(p[2], c.far) << moving_dir_to_string(c.dir);
  }
}

TEST(ClsEndDrawerPlacement, TheUnitShapesAreThoseOfTheArrowAndTheDiamond)
{
  EXPECT_EQ(ClsAbstractArrowConnectorEndDrawer::unit_points(), (std::vector<Point>{{0, 0}, {-0.5, 1}, {0.5, 1}}));
  EXPECT_EQ(ClsAbstractDiamondConnectorEndDrawer::unit_points(),
            (std::vector<Point>{{0, 0}, {-0.5, 0.5}, {0, 1}, {0.5, 0.5}}));
}

TEST(ClsEndDrawer, AnOpenArrowRightIsTwoWingsAndATriangleAddsItsBase)
{
  ClsOpenArrowConnectorEndDrawer open;
  ClsWhiteArrowConnectorEndDrawer white;
  EXPECT_TRUE(open.is_open);
  EXPECT_FALSE(white.is_open);
  const Point tip(100, 50), left(84, 46), right(84, 54);
  const ClsProbe o = draw_end(open, tip, MovingDir::right);
  expect_line(o, tip, left, "open wing");
  expect_line(o, tip, right, "open wing");
  expect_no_line(o, lerp(left, right, 0.25), lerp(left, right, 0.25), "open base");
  // Nothing beyond the wings' ends.
  EXPECT_LE(o.spot(80, 50), 0.05);
  const ClsProbe w = draw_end(white, tip, MovingDir::right);
  expect_line(w, tip, left, "triangle wing");
  expect_line(w, tip, right, "triangle wing");
  expect_line(w, left, right, "triangle base");
  // The inside stays as it was.
  EXPECT_LE(w.ink(90.5, 50.5), 0.05);
}

TEST(ClsEndDrawer, AHollowDiamondUpIsItsOutlineAndAFilledOneIsFilledInside)
{
  ClsWhiteDiamondConnectorEndDrawer white;
  ClsBlackDiamondConnectorEndDrawer black;
  EXPECT_FALSE(white.is_black);
  EXPECT_TRUE(black.is_black);
  const std::vector<Point> outline = {{10, 20}, {6, 28}, {10, 36}, {14, 28}};
  for (ClsAbstractDiamondConnectorEndDrawer* d : std::vector<ClsAbstractDiamondConnectorEndDrawer*>{&white, &black}) {
    const ClsProbe p = draw_end(*d, {10, 20}, MovingDir::up);
    for (size_t i = 0; i < outline.size(); ++i)
      expect_line(p, outline[i], outline[(i + 1) % outline.size()], d->is_black ? "filled" : "hollow");
    // The inside: a few pixels from the centre (10, 28).
    EXPECT_NEAR(p.ink(10.5, 27.5), d->is_black ? 1.0 : 0.0, 0.05);
    EXPECT_NEAR(p.ink(8.5, 28.5), d->is_black ? 1.0 : 0.0, 0.05);
    // Nothing beyond the far corner.
    EXPECT_LE(p.spot(10, 39), 0.05);
  }
}

TEST(ClsEndDrawer, ADiamondDownAndLeftReachesItsFarCornerThere)
{
  ClsBlackDiamondConnectorEndDrawer black;
  const ClsProbe down = draw_end(black, {10, 20}, MovingDir::down);
  expect_line(down, {10, 20}, {14, 12}, "down");
  expect_line(down, {14, 12}, {10, 4}, "down");
  EXPECT_GE(down.spot(10, 4.5), 0.4);
  EXPECT_LE(down.spot(10, 1), 0.05);
  EXPECT_LE(down.spot(10, 24), 0.05);
  const ClsProbe left = draw_end(black, {10, 20}, MovingDir::left);
  expect_line(left, {10, 20}, {18, 24}, "left");
  expect_line(left, {18, 24}, {26, 20}, "left");
  EXPECT_GE(left.spot(25.5, 20), 0.4);
  EXPECT_LE(left.spot(29, 20), 0.05);
  EXPECT_LE(left.spot(6, 20), 0.05);
}

// Every kind in every direction: the strokes run between the placed points
// and nowhere else; a triangle's base and a diamond's fill are there only
// for their kinds.
TEST(ClsEndDrawer, EveryKindInEveryDirectionStrokesBetweenItsPlacedPoints)
{
  const Point tip(60, 40);
  std::vector<std::shared_ptr<ClsAbstractArrowConnectorEndDrawer>> arrows = {
    std::make_shared<ClsOpenArrowConnectorEndDrawer>(), std::make_shared<ClsWhiteArrowConnectorEndDrawer>()};
  std::vector<std::shared_ptr<ClsAbstractDiamondConnectorEndDrawer>> diamonds = {
    std::make_shared<ClsWhiteDiamondConnectorEndDrawer>(), std::make_shared<ClsBlackDiamondConnectorEndDrawer>()};
  for (const MovingDir dir : ALL_DIRS) {
    const std::string where = moving_dir_to_string(dir);
    for (const auto& arrow : arrows) {
      SCOPED_TRACE(where + (arrow->is_open ? " open arrow" : " triangle"));
      const auto p = ClsAbstractConnectorEndDrawer::place(
        {{0, 0}, {-0.5, 1}, {0.5, 1}, {-0.25, 1}, {0, 1.5}, {0, -0.25}}, 8, 16, tip, dir);
      const ClsProbe probe = draw_end(*arrow, tip, dir);
      expect_line(probe, p[0], p[1], "left wing");
      expect_line(probe, p[0], p[2], "right wing");
      const double base = probe.ink(p[3].get_x(), p[3].get_y());
      if (arrow->is_open)
        EXPECT_LE(base, 0.05);
      else
        EXPECT_GE(probe.spot(p[3].get_x(), p[3].get_y()), 0.4);
      EXPECT_LE(probe.spot(p[4].get_x(), p[4].get_y()), 0.05) << "behind the shape";
      EXPECT_LE(probe.spot(p[5].get_x(), p[5].get_y()), 0.05) << "ahead of the tip";
    }
    for (const auto& diamond : diamonds) {
      SCOPED_TRACE(where + (diamond->is_black ? " filled diamond" : " hollow diamond"));
      const auto p = ClsAbstractConnectorEndDrawer::place(
        {{0, 0}, {-0.5, 0.5}, {0, 1}, {0.5, 0.5}, {0.15, 0.5}, {0, 1.25}, {0, -0.25}}, 8, 16, tip, dir);
      const ClsProbe probe = draw_end(*diamond, tip, dir);
      for (size_t i = 0; i < 4; ++i)
        expect_line(probe, p[i], p[(i + 1) % 4], "side " + std::to_string(i));
      EXPECT_NEAR(probe.ink(p[4].get_x(), p[4].get_y()), diamond->is_black ? 1.0 : 0.0, 0.1) << "inside";
      EXPECT_LE(probe.spot(p[5].get_x(), p[5].get_y()), 0.05) << "behind the shape";
      EXPECT_LE(probe.spot(p[6].get_x(), p[6].get_y()), 0.05) << "ahead of the tip";
    }
  }
}

TEST(ClsEndDrawer, ShapesTakeTheCallersColourAndWidth)
{
  ClsOpenArrowConnectorEndDrawer open;
  const ClsProbe thin = draw_end(open, {60, 20}, MovingDir::up, 1.0);
  const ClsProbe wide = draw_end(open, {60, 20}, MovingDir::up, 2.0);
  // Across the left wing halfway down, at (58, 28): the ink across a row.
  EXPECT_NEAR(thin.width_v(58, 28.5), 1.1, 0.35);
  EXPECT_NEAR(wide.width_v(58, 28.5), 2.2, 0.45);
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 40, 40});
  dc->cr->set_source_rgb(1, 1, 1);
  dc->cr->paint();
  dc->cr->set_source_rgb(136 / 255.0, 136 / 255.0, 0);
  dc->cr->set_line_width(1.0);
  ClsBlackDiamondConnectorEndDrawer black;
  black.draw(*dc, 8, 16, {20, 4}, MovingDir::up);
  EXPECT_TRUE(near(pixel_at(dc->surface, 20, 12), rgb(136, 136, 0)));
}

} // namespace
} // namespace velkaro::test
