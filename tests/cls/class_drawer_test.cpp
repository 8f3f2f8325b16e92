// The class boxes on real images: frame, fill and separators, the box at
// the cursor, and a box drawn whole exactly when its cell meets the update
// rectangle.

#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "cls/class_drawer.h"
#include "cls/cls_draw_for_test.h"
#include "cls/doc/class_element.h"
#include "cls/doc/cls_ws_for_test.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {
namespace {

// The box of klass at (x, y) in canvas units.
Rectangle box_of(ClsDrawKit& kit, ClsClassElement& klass, int32_t x, int32_t y)
{
  Rectangle r = klass.get_rect();
  const Rectangle g = kit.cell(x, y);
  r.x += g.x;
  r.y += g.y;
  return r;
}

// The runs of ink down the pixel column of x from y0 to y1.
int ink_runs_down(const ClsProbe& p, double x, double y0, double y1)
{
  int runs = 0;
  bool in = false;
  for (double y = std::floor(y0) + 0.5; y < y1; y += 1) {
    const bool inked = p.ink(x, y) > 0.2;
    runs += inked && !in;
    in = inked;
  }
  return runs;
}

Rectangle whole(ClsDrawKit& kit) { return {0, 0, kit.cell(6, 6).get_right(), kit.cell(6, 6).get_bottom()}; }

TEST(ClsClassDrawer, ABoxWithHiddenCompartmentsIsFramedWithTheNameAndNoSeparator)
{
  ClsDrawKit kit;
  auto k = cls_put_class(*kit.ws, 1, 1, "Name");
  const Rectangle b = box_of(kit, *k, 1, 1);
  const ClsProbe p{kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit))};
  const double mx = b.x + b.width / 2, my = b.y + b.height / 2;
  EXPECT_GE(p.spot(b.x, my), 0.4) << "left";
  EXPECT_GE(p.spot(b.get_right(), my), 0.4) << "right";
  EXPECT_GE(p.spot(mx, b.y), 0.4) << "top";
  EXPECT_GE(p.spot(mx, b.get_bottom()), 0.4) << "bottom";
  // Down the box's left margin only the top and bottom edges.
  EXPECT_EQ(ink_runs_down(p, b.x + 2.5, b.y - 3, b.get_bottom() + 3), 2);
  // The name's ink inside the box, nothing outside it.
  EXPECT_GT(p.inked({b.x + 3, b.y + 3, b.width - 6, b.height - 6}), 10);
  EXPECT_EQ(p.inked({0, 0, b.x - 2, 200}), 0);
  EXPECT_EQ(p.inked({b.get_right() + 2, 0, 200, 200}), 0);
}

TEST(ClsClassDrawer, ShownCompartmentsHaveSeparatorsExactlyAsWideAsTheBox)
{
  ClsDrawKit kit;
  auto k = cls_put_class(*kit.ws, 1, 1, "Name");
  ASSERT_TRUE(k->insert_block(1));
  ASSERT_TRUE(k->insert_block(2));
  k->block1_elem->set_text("field");
  k->block2_elem->set_text("method()");
  kit.ws->update_layout_all();
  const Rectangle b = box_of(kit, *k, 1, 1);
  const Rectangle g = kit.cell(1, 1);
  const ClsProbe p{kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit))};
  EXPECT_EQ(ink_runs_down(p, b.x + 2.5, b.y - 3, b.get_bottom() + 3), 4) << "top, two separators, bottom";
  EXPECT_EQ(ink_runs_down(p, b.get_right() - 2.5, b.y - 3, b.get_bottom() + 3), 4);
  for (const Rectangle& div : {k->get_block1_div_rect(), k->get_block2_div_rect()}) {
    const double y = div.y + g.y;
    EXPECT_GT(y, b.y + 5);
    EXPECT_LT(y, b.get_bottom() - 5);
    for (const double x : {b.x + 1.5, b.x + b.width / 2, b.get_right() - 1.5})
      EXPECT_GE(p.spot(x, y), 0.4) << "separator at " << x << ", " << y;
    EXPECT_LE(p.spot(b.x - 3, y), 0.05) << "left of the box";
    EXPECT_LE(p.spot(b.get_right() + 3, y), 0.05) << "right of the box";
  }
}

TEST(ClsClassDrawer, TheBoxAtTheCursorTakesTheActiveColoursAndOnlyWhereTheEditorsMarksShow)
{
  ClsDrawKit kit;
  auto k = cls_put_class(*kit.ws, 1, 1, "Name");
  const Rectangle b = box_of(kit, *k, 1, 1);
  const auto palette = ViewColorMap::create_dark();
  // Inside the fill, clear of the name: the top-left corner's margin.
  const int fx = int(b.x + 2), fy = int(b.y + 2);
  // On the left edge, halfway down.
  const int lx = int(std::floor(b.x)), ly = int(b.y + b.height / 2);
  kit.ctx->set_pos({1, 1});
  const auto active = kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit), palette);
  const auto exported = kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit), palette, std::nullopt, false);
  kit.ctx->set_pos({3, 3});
  const auto other = kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit), palette);
  EXPECT_TRUE(near(pixel_at(active, fx, fy), to_pixel(palette->get(ViewColor::active_element_fill))));
  EXPECT_TRUE(near(pixel_at(other, fx, fy), to_pixel(palette->get(ViewColor::element_fill))));
  EXPECT_TRUE(near(pixel_at(exported, fx, fy), to_pixel(palette->get(ViewColor::element_fill))));
  // The frames: the active line colour is brighter than the plain one, at
  // the same coverage.
  EXPECT_GT(pixel_at(active, lx, ly).b, pixel_at(other, lx, ly).b);
  EXPECT_EQ(pixel_at(exported, lx, ly), pixel_at(other, lx, ly));
}

TEST(ClsClassDrawer, ABoxIsDrawnWholeExactlyWhenItsCellMeetsTheUpdateRectangle)
{
  ClsDrawKit kit;
  auto k = cls_put_class(*kit.ws, 1, 1, "Name");
  const Rectangle b = box_of(kit, *k, 1, 1);
  const Rectangle g = kit.cell(1, 1);
  // Touching the cell's far corner: the box drawn whole, its frame far
  // from the rectangle too (texts are drawn where they meet it).
  const ClsProbe touching{kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit), ViewColorMap::create_light(),
                                   Rectangle{std::floor(g.get_right()), std::floor(g.get_bottom()), 4, 4})};
  EXPECT_GE(touching.spot(b.x, b.y + b.height / 2), 0.4);
  EXPECT_GE(touching.spot(b.x + b.width / 2, b.y), 0.4);
  EXPECT_EQ(ink_runs_down(touching, b.x + 2.5, b.y - 3, b.get_bottom() + 3), 2);
  // Just beyond it: nothing at all.
  const ClsProbe beyond{kit.draw({std::make_shared<ClsClassDrawer>()}, whole(kit), ViewColorMap::create_light(),
                                 Rectangle{std::ceil(g.get_right()) + 1, std::ceil(g.get_bottom()) + 1, 4, 4})};
  EXPECT_EQ(beyond.inked(whole(kit)), 0);
}

TEST(ClsClassDrawer, AWorkspaceOfAnotherKindDrawsNothing)
{
  ClsDrawKit kit;
  cls_put_class(*kit.ws, 1, 1, "Name");
  auto other = ModelWorkspace::create<ModelWorkspace>();
  auto ctx = cls_draw_context(other);
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 100, 100});
  dc->color_map = ViewColorMap::create_light();
  ClsClassDrawer drawer;
  drawer.draw_for(dc, ctx);
  EXPECT_EQ(count_unlike(dc->surface, 0, 0, 100, 100, Pixel{0, 0, 0, 0}), 0);
}

} // namespace
} // namespace velkaro::test
