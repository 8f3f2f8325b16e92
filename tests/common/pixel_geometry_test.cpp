#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {
namespace {

TEST(Point, ArithmeticWorksInPlaceAndChains)
{
  Point p(1, 2);
  Point& r = p.add(Point(3, 4));
  EXPECT_EQ(&r, &p);
  EXPECT_EQ(p.get_x(), 4);
  EXPECT_EQ(p.get_y(), 6);
  p.sub(Point(1, 1)).multiply(2).divide(4);
  EXPECT_DOUBLE_EQ(p.get_x(), 1.5);
  EXPECT_DOUBLE_EQ(p.get_y(), 2.5);
  // Adding a point to itself doubles it.
  p.add(p);
  EXPECT_DOUBLE_EQ(p.get_x(), 3);
  EXPECT_DOUBLE_EQ(p.get_y(), 5);
  // Dividing by zero leaves the point.
  p.divide(0);
  EXPECT_EQ(p, Point(3, 5));
}

TEST(Point, CopiesAreIndependentValues)
{
  Point p(1, 1);
  Point copy = p;
  copy.set_x(100);
  EXPECT_DOUBLE_EQ(p.get_x(), 1);
  p.copy_from(Point(2, 3));
  EXPECT_EQ(p, Point(2, 3));
  EXPECT_EQ(copy, Point(100, 1));
  p.set(CellDir::v, 7);
  EXPECT_DOUBLE_EQ(p.get(CellDir::v), 7);
  EXPECT_DOUBLE_EQ(p.get(CellDir::h), 2);
  EXPECT_NE(p, copy);
}

TEST(Point, MoveForTravelsTheDistanceAlongTheLine)
{
  struct Case {
    double d;
    double x, y;
  };
  for (auto c : std::vector<Case>{{10, 6, 8}, {-5, 3, 4}, {2.5, 1.5, 2}}) {
    Point p(0, 0);
    p.move_for(Point(3, 4), c.d);
    EXPECT_DOUBLE_EQ(p.get_x(), c.x) << c.d;
    EXPECT_DOUBLE_EQ(p.get_y(), c.y) << c.d;
  }
  Point same(2, 2);
  same.move_for(Point(2, 2), 5);
  EXPECT_DOUBLE_EQ(same.get_x(), 2);
  EXPECT_FALSE(std::isnan(same.get_y()));
}

TEST(Point, MediansAndText)
{
  auto m = Point::create_median(Point(0, 0), Point(4, -2));
  EXPECT_EQ(m.to_string(), "(2.0, -1.0)");
  auto c = Point::create_median(Rectangle{2, 2, 4, 6});
  EXPECT_DOUBLE_EQ(c.get_x(), 4);
  EXPECT_DOUBLE_EQ(c.get_y(), 5);
  EXPECT_DOUBLE_EQ(Point::norm_sq2(Point(1, 1), Point(4, 5)), 25);
}

TEST(Rectangle, CombineIsTheBoundingBoxInEitherOrder)
{
  struct Case {
    Rectangle a, b, expected;
  };
  const std::vector<Case> cases = {
      {{10, 10, 5, 5}, {0, 0, 2, 2}, {0, 0, 15, 15}},
      {{0, 0, 2, 2}, {10, 10, 5, 5}, {0, 0, 15, 15}},
      // A zero rectangle is a point at the origin and pulls the corner there.
      {{10, 10, 5, 5}, {0, 0, 0, 0}, {0, 0, 15, 15}},
      {{1, 1, 2, 2}, {2, 2, 2, 2}, {1, 1, 3, 3}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.a.combine(c.b), c.expected);
}

TEST(Rectangle, TruncatesEachFieldTowardZero)
{
  struct Case {
    Rectangle r;
    cairo_rectangle_int_t expected;
  };
  const std::vector<Case> cases = {
      {{1.9, -1.9, 10.5, 0.99}, {1, -1, 10, 0}},
      {{-0.5, 0.5, -2.7, 3.0}, {0, 0, -2, 3}},
      {{0.9, 0, 0.9, 0}, {0, 0, 0, 0}}, // not trunc of the right edge
  };
  for (const auto& c : cases) {
    auto i = c.r.to_cairo_int();
    EXPECT_EQ(i.x, c.expected.x);
    EXPECT_EQ(i.y, c.expected.y);
    EXPECT_EQ(i.width, c.expected.width);
    EXPECT_EQ(i.height, c.expected.height);
  }
  EXPECT_EQ(Rectangle::init_from_cairo_int({1, -2, 3, 4}), (Rectangle{1, -2, 3, 4}));
}

TEST(Rectangle, EdgesCountForContainmentAndIntersection)
{
  Rectangle r{0, 0, 10, 10};
  EXPECT_TRUE(r.contains_xy(Point(10, 10)));
  EXPECT_TRUE(r.contains_xy(Point(0, 5)));
  EXPECT_FALSE(r.contains_xy(Point(10.01, 5)));

  cairo_rectangle_int_t touching{10, 0, 5, 5};
  cairo_region_t* region = cairo_region_create_rectangle(&touching);
  EXPECT_TRUE(r.is_intersect_region(region));
  EXPECT_FALSE((Rectangle{0, 0, 9.5, 10}).is_intersect_region(region));
  cairo_region_destroy(region);
  cairo_region_t* empty = cairo_region_create();
  EXPECT_FALSE(r.is_intersect_region(empty));
  cairo_region_destroy(empty);
  EXPECT_TRUE(r.is_intersect({10, 10, 1, 1}));
  EXPECT_FALSE(r.is_intersect({10.5, 10, 1, 1}));
}

TEST(Rectangle, ExpandAndAxisAccess)
{
  Rectangle r{10, 10, 4, 4};
  EXPECT_EQ(r.expand(2), (Rectangle{9, 9, 6, 6}));
  EXPECT_EQ(r, (Rectangle{9, 9, 6, 6}));
  Rectangle s{1, 2, 3, 4};
  EXPECT_EQ(s.get_start(CellDir::hv), s.get_start(CellDir::v));
  EXPECT_EQ(s.get_end(CellDir::hv), 6);
  EXPECT_EQ(s.get_size(CellDir::hv), 4);
  EXPECT_EQ(s.get_end(CellDir::h), 4);
  EXPECT_TRUE(Rectangle{}.get_is_zero());
  auto c = s.get_center();
  EXPECT_DOUBLE_EQ(c.get_x(), 2.5);
  EXPECT_DOUBLE_EQ(c.get_y(), 4);
}

} // namespace
} // namespace velkaro
