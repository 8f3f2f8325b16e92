// Point states drawn on real image surfaces: each figure in a cell of the
// smallest size (as the canvas and exporter draw it, and as an icon of the
// insert popup), the centre in a larger cell, the colours of the element
// at the cursor, and the antialiasing given back.

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stm/points_drawer.h"
#include "stm/stm_draw_for_test.h"
#include "support/log_capture.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

// A point of a figure, as its offset from the figure's centre.
struct StmOff {
  double dx;
  double dy;
};

// What one figure must show about its centre: ink at some points (the
// pixel itself inside a disc; the most ink near them for lines) and none at
// others (the pixel itself).
struct FigureCase {
  const char* name;
  std::vector<StmOff> disc;
  std::vector<StmOff> lines;
  std::vector<StmOff> blank;
};

// Eight points at distance d, a quarter of a right angle apart.
std::vector<StmOff> stm_ring(double d)
{
  std::vector<StmOff> ring;
  for (int k = 0; k < 8; ++k) {
    const double a = k * std::numbers::pi / 4;
    ring.push_back({d * std::cos(a), d * std::sin(a)});
  }
  return ring;
}

std::vector<StmOff> stm_join(std::vector<StmOff> a, const std::vector<StmOff>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<FigureCase>& stm_figure_cases()
{
  static const std::vector<FigureCase> cases{
      // A disc of radius 10.
      {"beginstate", stm_join({{0, 0}}, stm_ring(8.5)), {}, stm_ring(11.8)},
      // A disc of radius 5.
      {"junction", stm_join({{0, 0}}, stm_ring(3.5)), {}, stm_ring(6.8)},
      // A disc of radius 20/3 in a circle of radius 10.
      {"sinkstate", stm_join({{0, 0}}, stm_ring(5.2)), stm_ring(10), stm_join(stm_ring(8.3), stm_ring(12))},
      // A circle only.
      {"entry", {}, stm_ring(10), stm_join({{0, 0}}, stm_join(stm_ring(5), stm_ring(12)))},
      // A circle with four spokes on the diagonals.
      {"exit",
       {},
       stm_join({{0, 0}, {3.5, 3.5}, {-3.5, 3.5}, {-3.5, -3.5}, {3.5, -3.5}}, stm_ring(10)),
       {{5, 0}, {0, 5}, {-5, 0}, {0, -5}, {12, 0}}},
      // A circle with an H: two bars 10 apart, 10 high, and the bar
      // between them.
      {"history",
       {},
       stm_join({{5, 0}, {-5, 0}, {0, 0}, {2.5, 0}, {5, -4}, {5, 4}, {-5, -4}, {-5, 4}}, stm_ring(10)),
       {{0, -3.5}, {0, 3.5}, {7.5, 0}, {-7.5, 0}}},
      // A diamond with corners 10 up, right, down and left, and nothing
      // where a circle would be.
      {"conditional",
       {},
       {{10, 0}, {0, 10}, {-10, 0}, {0, -10}, {5, 5}, {-5, 5}, {-5, -5}, {5, -5}},
       {{0, 0}, {4, 0}, {0, 4}, {7.07, 7.07}, {-7.07, -7.07}, {12.5, 0}, {0, -12.5}}},
      // An X of 20 by 20, without a circle.
      {"terminate",
       {},
       {{0, 0}, {5, 5}, {-5, 5}, {-5, -5}, {5, -5}, {9.5, 9.5}, {-9.5, -9.5}, {9.5, -9.5}},
       {{6, 0}, {0, 6}, {-6, 0}, {0, -6}, {10, 0}, {0, 10}}},
  };
  return cases;
}

std::string stm_off_text(const StmOff& o) { return "(" + std::to_string(o.dx) + ", " + std::to_string(o.dy) + ")"; }

// Checks the figure of c about (cx, cy).
void expect_figure(const StmProbe& probe, const FigureCase& c, double cx, double cy, const std::string& how)
{
  for (const StmOff& o : c.disc)
    EXPECT_GE(probe.ink(cx + o.dx, cy + o.dy), 0.9) << how << c.name << " disc at " << stm_off_text(o);
  for (const StmOff& o : c.lines)
    EXPECT_GE(probe.spot(cx + o.dx, cy + o.dy), 0.45) << how << c.name << " line at " << stm_off_text(o);
  for (const StmOff& o : c.blank)
    EXPECT_LE(probe.ink(cx + o.dx, cy + o.dy), 0.1) << how << c.name << " blank at " << stm_off_text(o);
}

TEST(StmPointsDrawer, EachKindDrawsItsFigureAboutTheCellCentre)
{
  VELKARO_REQUIRE_GTK();
  for (const auto& c : stm_figure_cases()) {
    StmDrawKit k;
    k.add(c.name, 0, 0);
    // A neighbour in the next cell must not reach into this one.
    k.add(c.name, 1, 0);
    k.finish();
    const auto image = k.draw({std::make_shared<StmPointsDrawer>()}, {0, 0, 30, 30});
    const StmProbe probe{image};
    expect_figure(probe, c, 15, 15, "drawn: ");
    // Nothing comes near the cell's edges.
    EXPECT_EQ(probe.inked({0, 0, 30, 3}) + probe.inked({0, 27, 30, 3}) + probe.inked({0, 0, 3, 30}) +
                  probe.inked({27, 0, 3, 30}),
              0)
        << c.name;
  }
}

TEST(StmPointsDrawer, IconsOfThePointKindsAreTheSameFigures)
{
  VELKARO_REQUIRE_GTK();
  for (const auto& c : stm_figure_cases()) {
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, 30, 30});
    dc->color_map = ViewColorMap::create_light();
    ViewFillingDrawer(dc, dc->color_map->get(ViewColor::background)).draw();
    StmPointsDrawer drawer;
    drawer.draw_to_pixbuf(dc, c.name, {0, 0, 30, 30});
    EXPECT_EQ(drawer.get_dc(), dc);
    expect_figure(StmProbe{dc->surface}, c, 15, 15, "icon: ");
  }
  // Only a known name draws.
  LogCapture log;
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 30, 30});
  dc->color_map = ViewColorMap::create_light();
  StmPointsDrawer drawer;
  drawer.draw_to_pixbuf(dc, "state", {0, 0, 30, 30});
  EXPECT_EQ(log.criticals.size(), 1u);
  EXPECT_EQ(count_unlike(dc->surface, 0, 0, 30, 30, Pixel{0, 0, 0, 0}), 0);
}

TEST(StmPointsDrawer, TheCentreStays15FromTheLeftAndBottomOfALargerCell)
{
  VELKARO_REQUIRE_GTK();
  EXPECT_EQ(StmPointsDrawer::center({0, 0, 60, 45}), Point(15, 30));
  EXPECT_EQ(StmPointsDrawer::center({30, 60, 30, 30}), Point(45, 75));
  StmDrawKit k;
  k.add("beginstate", 0, 0);
  k.finish();
  k.ws->grid->h->set_size(0, 60);
  k.ws->grid->v->set_size(0, 45);
  const StmProbe probe{k.draw({std::make_shared<StmPointsDrawer>()}, {0, 0, 60, 45})};
  expect_figure(probe, stm_figure_cases().front(), 15, 30, "larger cell: ");
  EXPECT_LE(probe.ink(45, 30), 0.1);
}

TEST(StmPointsDrawer, TheStateAtTheCursorIsDrawnInTheActiveLineColour)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  k.add("beginstate", 0, 0);
  k.add("beginstate", 2, 0);
  k.finish();
  k.ctx->set_pos({2, 0});
  const auto palette = ViewColorMap::create_dark();
  const auto image = k.draw({std::make_shared<StmPointsDrawer>()}, {0, 0, 90, 30}, palette);
  EXPECT_EQ(pixel_at(image, 15, 15), to_pixel(palette->get(ViewColor::element_line)));
  EXPECT_EQ(pixel_at(image, 75, 15), to_pixel(palette->get(ViewColor::active_element_line)));
  EXPECT_NE(to_pixel(palette->get(ViewColor::element_line)), to_pixel(palette->get(ViewColor::active_element_line)));
  // A state being inserted: in process.
  StmDrawKit p;
  p.add("beginstate", 0, 0)->in_process = true;
  const auto busy = p.draw({std::make_shared<StmPointsDrawer>()}, {0, 0, 30, 30}, palette);
  EXPECT_EQ(pixel_at(busy, 15, 15), to_pixel(palette->get(ViewColor::in_process_line)));
}

TEST(StmPointsDrawer, TheAntialiasingInForceComesBackAfterEachFigure)
{
  VELKARO_REQUIRE_GTK();
  StmDrawKit k;
  k.add("exit", 0, 0);
  k.finish();
  for (const auto before : {Cairo::ANTIALIAS_NONE, Cairo::ANTIALIAS_GRAY, Cairo::ANTIALIAS_DEFAULT}) {
    const auto dc = ViewDrawerContext::create_make_surface({0, 0, 30, 30});
    dc->color_map = ViewColorMap::create_light();
    dc->cr->set_antialias(before);
    auto antialiased = std::make_shared<StmPointsDrawer>();
    antialiased->draw_for(dc, k.ctx);
    EXPECT_EQ(dc->cr->get_antialias(), before);
    // The figure itself was antialiased: the circle leaves grey pixels.
    int grey = 0;
    for (int x = 0; x < 30; ++x)
      for (int y = 0; y < 30; ++y)
        if (const Pixel px = pixel_at(dc->surface, x, y); px.a > 0 && px.a < 255)
          ++grey;
    EXPECT_GT(grey, 0) << before;
  }
}

} // namespace
} // namespace velkaro::test
