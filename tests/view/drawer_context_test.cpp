// The drawer context (off-screen surfaces, antialiasing, layouts) and the
// direction matrices.

#include <gtest/gtest.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "view/drawer_context.h"
#include "view/transform_matrix.h"

namespace velkaro {
namespace {

TEST(DrawerContextTest, AnEmptyContextHasNothingBound)
{
  const auto dc = ViewDrawerContext::create();
  EXPECT_FALSE(dc->surface);
  EXPECT_FALSE(dc->cr);
  EXPECT_FALSE(dc->color_map);
  EXPECT_EQ(dc->zoom, 1.0);
  EXPECT_EQ(dc->update_rect.x, 0);
  EXPECT_EQ(dc->update_rect.width, 0);
}

TEST(DrawerContextTest, AnOffScreenContextMapsTheRectanglesCornerToPixelZero)
{
  const auto dc = ViewDrawerContext::create_make_surface({10.7, 20.2, 100.9, 50.5});
  EXPECT_EQ(dc->update_rect.x, 10);
  EXPECT_EQ(dc->update_rect.y, 20);
  EXPECT_EQ(dc->update_rect.width, 100);
  EXPECT_EQ(dc->update_rect.height, 50);
  ASSERT_TRUE(dc->surface);
  EXPECT_EQ(dc->surface->get_width(), 100);
  EXPECT_EQ(dc->surface->get_height(), 50);
  double x = 10.7, y = 20.2;
  dc->cr->user_to_device(x, y);
  EXPECT_NEAR(x, 0.0, 1e-9);
  EXPECT_NEAR(y, 0.0, 1e-9);
  EXPECT_EQ(dc->zoom, 1.0);
  EXPECT_FALSE(dc->color_map);
  EXPECT_EQ(dc->get_status(), CAIRO_STATUS_SUCCESS);

  const auto region = dc->get_region();
  ASSERT_EQ(region->get_num_rectangles(), 1);
  const auto r = region->get_rectangle(0);
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, 20);
  EXPECT_EQ(r.width, 100);
  EXPECT_EQ(r.height, 50);
}

TEST(DrawerContextTest, TruncationGoesTowardZero)
{
  const auto dc = ViewDrawerContext::create_make_surface({-3.7, 5, 8, 8});
  EXPECT_EQ(dc->update_rect.x, -3);
  EXPECT_EQ(dc->update_rect.y, 5);
}

TEST(DrawerContextTest, AnImageCairoCannotMakeIsReportedNotThrown)
{
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 40000, 10});
  EXPECT_NE(dc->get_status(), CAIRO_STATUS_SUCCESS);
}

TEST(DrawerContextTest, AntialiasingIsOffOnlyAtZoomOne)
{
  struct Case {
    double zoom;
    bool off;
    Cairo::Antialias expected;
  };
  const Case cases[] = {
    {1.0, true, Cairo::ANTIALIAS_NONE},      {1.4, true, Cairo::ANTIALIAS_SUBPIXEL},
    {0.999, true, Cairo::ANTIALIAS_SUBPIXEL}, {1.0, false, Cairo::ANTIALIAS_SUBPIXEL},
    {2.0, false, Cairo::ANTIALIAS_SUBPIXEL},
  };
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 4, 4});
  for (const Case& c : cases) {
    dc->zoom = c.zoom;
    dc->set_antialias_off(c.off);
    EXPECT_EQ(dc->cr->get_antialias(), c.expected) << "zoom " << c.zoom << " off " << c.off;
  }
}

TEST(DrawerContextTest, LayoutsUseSansAtTheGivenPixelSize)
{
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 4, 4});
  const auto layout = dc->new_layout("Hello", 12);
  EXPECT_EQ(layout->get_text(), "Hello");
  const Pango::FontDescription font = layout->get_font_description();
  EXPECT_EQ(font.get_family(), "Sans");
  EXPECT_TRUE(font.get_size_is_absolute());
  EXPECT_EQ(font.get_size(), 12 * Pango::SCALE);
}

TEST(TransformMatrixTest, DirectionMatricesTurnAndScaleAShapePointingUp)
{
  struct Case {
    int dir;
    double sx, sy, x0, y0;
    double px, py;
    double ex, ey;
  };
  const Case cases[] = {
    // right: a quarter turn; x scaled before the turn
    {3, 2, 1, 100, 50, 0, -10, 110, 50},
    {3, 2, 1, 100, 50, 1, 0, 100, 52},
    // up: as drawn
    {0, 1, 1, 5, 5, 0, -10, 5, -5},
    // down: a half turn
    {1, 1, 1, 0, 0, 2, -10, -2, 10},
    // left
    {2, 1, 1, 0, 0, 0, -10, -10, 0},
    // an unknown direction counts as up
    {7, 1, 1, 5, 5, 0, -10, 5, -5},
    {-1, 2, 3, 0, 0, 1, 1, 2, 3},
  };
  for (const Case& c : cases) {
    const auto m = ViewTransformMatrix::new_dir(c.dir, c.sx, c.sy, c.x0, c.y0);
    Point p(c.px, c.py);
    m.transform(p);
    EXPECT_DOUBLE_EQ(p.get_x(), c.ex) << "dir " << c.dir << " point (" << c.px << ", " << c.py << ")";
    EXPECT_DOUBLE_EQ(p.get_y(), c.ey) << "dir " << c.dir << " point (" << c.px << ", " << c.py << ")";
  }
  const auto seven = ViewTransformMatrix::new_dir(7, 2, 3, 4, 5);
  const auto zero = ViewTransformMatrix::new_dir(0, 2, 3, 4, 5);
  EXPECT_EQ(seven.xx, zero.xx);
  EXPECT_EQ(seven.xy, zero.xy);
  EXPECT_EQ(seven.yx, zero.yx);
  EXPECT_EQ(seven.yy, zero.yy);
}

TEST(TransformMatrixTest, BothCoordinatesComeFromTheOldPoint)
{
  const ViewTransformMatrix m(0, 1, -1, 0, 0, 0);
  Point p(1, 2);
  m.transform(p);
  EXPECT_EQ(p.get_x(), 2);
  EXPECT_EQ(p.get_y(), -1);
}

TEST(TransformMatrixTest, TransformOffTurnsAboutTheOrigin)
{
  const auto m = ViewTransformMatrix::new_dir(3, 2, 1, 100, 50);
  Point origin(100, 50);
  m.transform_off(origin);
  EXPECT_EQ(origin.get_x(), 100);
  EXPECT_EQ(origin.get_y(), 50);
  // (100, 40) is 10 above the origin: turned right and x-scaled it lies 10 to the right.
  Point above(100, 40);
  m.transform_off(above);
  EXPECT_EQ(above.get_x(), 110);
  EXPECT_EQ(above.get_y(), 50);
}

} // namespace
} // namespace velkaro
