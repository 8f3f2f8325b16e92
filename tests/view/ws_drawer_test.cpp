// The drawer bases: binding, the element walk over the covering map (its
// order, the region test, the type filter, and that walking the cells
// around a region gives exactly what walking the whole map and testing each
// element gives), the element style and the filling drawers.

#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "common/text_join.h"
#include "ctrl/test_kind.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/pixels_for_test.h"
#include "view/ws_drawer.h"

namespace velkaro {
namespace {

using test::KindMark;
using test::Pixel;

std::string name_of(const ModelElement& elm)
{
  if (const auto* mark = dynamic_cast<const KindMark*>(&elm))
    return mark->name;
  if (const auto* text = dynamic_cast<const ModelTextElement*>(&elm))
    return "T:" + const_cast<ModelTextElement*>(text)->get_text();
  return elm.get_type_name();
}

// Records each visit as "<name>@<now_cell> from <start_cell>".
class RecordingDrawer : public ViewWsDrawer {
public:
  void draw() override
  {
    each_target(filter, with_region ? get_clip_region() : Cairo::RefPtr<Cairo::Region>(), [this] {
      visits.push_back(name_of(*now_elm) + "@" + now_cell.to_string() + " from " + start_cell.to_string());
      if (on_visit)
        on_visit(*this);
    });
  }

  ElementFilter filter = nullptr;
  bool with_region = true;
  std::vector<std::string> visits;
  std::function<void(RecordingDrawer&)> on_visit;
};

struct WalkKit {
  WalkKit() { kit.ws->clear_in_process(); }

  // A mark over the cells (x, y) .. (x + dh, y + dv).
  void mark(const std::string& name, int32_t x, int32_t y, int32_t dh = 0, int32_t dv = 0)
  {
    const auto m = KindMark::create(name);
    m->dh = dh;
    m->dv = dv;
    ASSERT_TRUE(test::place(*kit.ws, m, x, y)) << name;
    m->in_process = false;
  }
  Rectangle rect(int32_t x, int32_t y) const { return kit.ws->grid->get_rect(x, y); }
  Rectangle range_rect(CellPos a, CellPos b) const { return kit.ws->grid->get_range_rect(CellRange{a, b}); }

  // The visits of drawer over the update rectangle area.
  std::vector<std::string> walk(RecordingDrawer& drawer, const Rectangle& area)
  {
    const auto dc = ViewDrawerContext::create_make_surface(area);
    dc->color_map = ViewColorMap::create_dark();
    drawer.visits.clear();
    drawer.draw_for(dc, kit.ctx);
    return drawer.visits;
  }

  test::KindKit kit;
};

TEST(WsDrawerTest, TheWalkGoesRowByRowAndVisitsAnElementOverSeveralCellsOnce)
{
  WalkKit k;
  k.mark("b", 0, 0);
  k.mark("b2", 0, 0);
  k.mark("a", 2, 3, 2, 2);
  k.mark("d", 3, 4);
  k.mark("c", 5, 4);
  // On the stack of (3, 4), a comes before d.
  RecordingDrawer drawer;
  const std::vector<std::string> expected{"b@(0, 0) from (0, 0)", "b2@(0, 0) from (0, 0)", "a@(2, 3) from (2, 3)",
                                          "d@(3, 4) from (3, 4)", "c@(5, 4) from (5, 4)"};
  EXPECT_EQ(k.walk(drawer, k.range_rect({0, 0}, {9, 9})), expected);
  drawer.with_region = false;
  EXPECT_EQ(k.walk(drawer, {0, 0, 1, 1}), expected);
}

TEST(WsDrawerTest, TheVisitOfAnElementOverSeveralCellsDescribesItsWholeRange)
{
  WalkKit k;
  k.mark("a", 2, 3, 2, 2);
  RecordingDrawer drawer;
  bool left = true, right = false, top = true, bottom = false;
  Rectangle now{};
  drawer.on_visit = [&](RecordingDrawer& d) {
    left = d.get_has_left();
    right = d.get_has_right();
    top = d.get_has_top();
    bottom = d.get_has_bottom();
    now = d.now_rect;
  };
  k.walk(drawer, k.range_rect({0, 0}, {9, 9}));
  EXPECT_EQ(now, k.range_rect({2, 3}, {4, 5}));
  EXPECT_FALSE(left);
  EXPECT_TRUE(right);
  EXPECT_FALSE(top);
  EXPECT_TRUE(bottom);
}

TEST(WsDrawerTest, TheCursorMarksAnElementOverSeveralCellsOnlyAtItsFirstCell)
{
  WalkKit k;
  k.mark("a", 2, 3, 2, 2);
  RecordingDrawer drawer;
  bool is_cursor = false;
  drawer.on_visit = [&](RecordingDrawer& d) { is_cursor = d.get_is_cursor(); };
  k.kit.ctx->set_pos({3, 4});
  k.walk(drawer, k.range_rect({0, 0}, {9, 9}));
  EXPECT_FALSE(is_cursor);
  k.kit.ctx->set_pos({2, 3});
  k.walk(drawer, k.range_rect({0, 0}, {9, 9}));
  EXPECT_TRUE(is_cursor);
}

TEST(WsDrawerTest, AnElementTouchingTheRegionsEdgeIsVisited)
{
  WalkKit k;
  k.mark("left", 1, 1);
  k.mark("right", 3, 1);
  const Rectangle left = k.rect(1, 1);
  const Rectangle right = k.rect(3, 1);
  RecordingDrawer drawer;
  // From the right edge of (1, 1) to the left edge of (3, 1): both touch.
  const Rectangle between{left.get_right(), left.y, right.x - left.get_right(), left.height};
  EXPECT_EQ(k.walk(drawer, between), (std::vector<std::string>{"left@(1, 1) from (1, 1)", "right@(3, 1) from (3, 1)"}));
  // One unit away on both sides: neither.
  const Rectangle inside{between.x + 1, between.y, between.width - 2, between.height};
  EXPECT_TRUE(k.walk(drawer, inside).empty());
}

TEST(WsDrawerTest, TheTypeFilterSkipsOtherClasses)
{
  WalkKit k;
  k.mark("m", 0, 0);
  ASSERT_TRUE(test::place(*k.kit.ws, test::make_text("t"), 1, 0));
  k.kit.ws->clear_in_process();
  RecordingDrawer drawer;
  const Rectangle all = k.range_rect({0, 0}, {3, 3});
  EXPECT_EQ(k.walk(drawer, all).size(), 2u);
  drawer.filter = &ViewWsDrawer::is_a<KindMark>;
  EXPECT_EQ(k.walk(drawer, all), (std::vector<std::string>{"m@(0, 0) from (0, 0)"}));
  drawer.filter = &ViewWsDrawer::is_a<ModelTextElement>;
  EXPECT_EQ(k.walk(drawer, all), (std::vector<std::string>{"T:t@(1, 0) from (1, 0)"}));
}

TEST(WsDrawerTest, WithoutAControllerTheWalkVisitsNothing)
{
  WalkKit k;
  k.mark("m", 0, 0);
  RecordingDrawer drawer;
  const auto dc = ViewDrawerContext::create_make_surface(k.rect(0, 0));
  dc->color_map = ViewColorMap::create_dark();
  drawer.draw_for(dc, nullptr);
  EXPECT_TRUE(drawer.visits.empty());
}

// The walk over the cells around a region visits exactly the elements, in
// the same order and at the same cells, as the walk over the whole map
// followed by the region test, for documents of elements of every extent
// (also extending left and up) and regions anywhere.
TEST(WsDrawerTest, TheWalkOfARegionEqualsTheWholeWalkTestedAgainstIt)
{
  std::mt19937 random(20240611);
  for (int document = 0; document < 25; ++document) {
    WalkKit k;
    std::uniform_int_distribution<int> cell(0, 14), extent(-2, 2), chance(0, 3);
    for (int i = 0; i < 40; ++i) {
      const int x = cell(random), y = cell(random);
      const int dh = chance(random) == 0 ? extent(random) : 0;
      const int dv = chance(random) == 0 ? extent(random) : 0;
      if (x + dh < 0 || y + dv < 0)
        continue;
      k.mark(text_join({"e", std::to_string(i)}), x, y, dh, dv);
    }
    std::uniform_int_distribution<int> pos(-30, 330), size(0, 160);
    for (int area = 0; area < 20; ++area) {
      const Rectangle region{double(pos(random)), double(pos(random)), double(size(random)), double(size(random))};
      RecordingDrawer part;
      const auto got = k.walk(part, region);

      RecordingDrawer whole;
      whole.with_region = false;
      const auto dc_region = Cairo::Region::create(region.to_cairo_int());
      std::vector<std::string> expected;
      whole.on_visit = [&](RecordingDrawer& d) {
        // The cells the element covers, whichever way it extends.
        CellRange cells{d.now_elm->pos, d.now_elm->get_endpos()};
        cells.ensure_consistency();
        if (k.range_rect(cells.start, cells.end).is_intersect_region(dc_region->cobj()))
          expected.push_back(d.visits.back());
      };
      k.walk(whole, region);
      ASSERT_EQ(got, expected) << "document " << document << " region (" << region.x << ", " << region.y << ", "
                               << region.width << ", " << region.height << ")";
    }
  }
}

// --- Style

struct Style {
  Pixel line;
  double width;
};

Style style_of(const Cairo::RefPtr<Cairo::Context>& cr)
{
  double r = 0, g = 0, b = 0, a = 0;
  cairo_pattern_get_rgba(cairo_get_source(cr->cobj()), &r, &g, &b, &a);
  return {test::to_pixel(GdkRGBA{r, g, b, a}), cr->get_line_width()};
}

// Records each visited element's style, then fills its cell rectangle the
// way a drawer that outlines an element does (path, then init()).
class StyleDrawer : public ViewWsDrawer {
public:
  void draw() override
  {
    each_target(nullptr, get_clip_region(), [this] {
      styles.push_back(style_of(get_cr()));
      get_cr()->rectangle(now_rect.x, now_rect.y, now_rect.width, now_rect.height);
      init();
      get_cr()->begin_new_path();
    });
  }
  std::vector<Style> styles;
};

TEST(WsDrawerTest, TheElementAtTheCursorIsDrawnInTheActiveColours)
{
  WalkKit k;
  k.mark("cursor", 1, 1);
  k.mark("other", 3, 1);
  k.mark("busy", 5, 1);
  k.kit.ws->elm_at({5, 1})->in_process = true;
  k.kit.ctx->set_pos({1, 1});
  const Rectangle area = k.range_rect({0, 0}, {6, 2});
  const auto dc = ViewDrawerContext::create_make_surface(area);
  dc->color_map = ViewColorMap::create_dark();
  StyleDrawer drawer;
  drawer.draw_for(dc, k.kit.ctx);
  ASSERT_EQ(drawer.styles.size(), 3u);
  EXPECT_EQ(drawer.styles[0].line, test::rgb(255, 255, 255));
  EXPECT_EQ(drawer.styles[0].width, 1.0);
  EXPECT_EQ(drawer.styles[1].line, test::rgb(238, 238, 238));
  EXPECT_EQ(drawer.styles[1].width, 1.0);
  EXPECT_EQ(drawer.styles[2].line, test::rgb(255, 255, 255));
  EXPECT_EQ(drawer.styles[2].width, 2.0);
  const auto centre = [&](int x, int y) {
    const Rectangle r = k.rect(x, y);
    return test::pixel_at(dc->surface, int(r.get_xmid()), int(r.get_ymid()));
  };
  EXPECT_EQ(centre(1, 1), test::rgb(51, 17, 0));
  EXPECT_EQ(centre(3, 1), test::rgb(0, 0, 0));
  // Nothing is drawn where no element is.
  EXPECT_EQ(centre(2, 1), (Pixel{0, 0, 0, 0}));
}

TEST(WsDrawerTest, InTempModeNothingIsFilledAndLinesAreTheWorkingColour)
{
  WalkKit k;
  k.kit.ws->is_tmp = true;
  k.mark("trial", 1, 1);
  k.mark("busy", 2, 1);
  k.kit.ws->tmp_cells->get(2, 1)->in_process = true;
  k.kit.ctx->set_pos({1, 1});
  const Rectangle area = k.range_rect({0, 0}, {3, 2});
  const auto dc = ViewDrawerContext::create_make_surface(area);
  dc->color_map = ViewColorMap::create_dark();
  StyleDrawer drawer;
  drawer.draw_for(dc, k.kit.ctx);
  k.kit.ws->is_tmp = false;
  ASSERT_EQ(drawer.styles.size(), 2u);
  EXPECT_EQ(drawer.styles[0].line, test::rgb(170, 255, 153));
  EXPECT_EQ(drawer.styles[0].width, 1.0);
  EXPECT_EQ(drawer.styles[1].line, test::rgb(255, 255, 255));
  EXPECT_EQ(drawer.styles[1].width, 2.0);
  const Rectangle r = k.rect(1, 1);
  EXPECT_EQ(test::pixel_at(dc->surface, int(r.get_xmid()), int(r.get_ymid())), (Pixel{0, 0, 0, 0}));
}

// Binds itself to a context without a controller and styles a path.
class PlainDrawer : public ViewWsDrawer {
public:
  explicit PlainDrawer(const std::shared_ptr<ViewDrawerContext>& dc) : ViewWsDrawer(dc) {}
  void draw() override
  {
    get_cr()->rectangle(0, 0, 4, 4);
    init();
    style = style_of(get_cr());
  }
  Style style{};
};

TEST(WsDrawerTest, WithoutAControllerNothingIsFilledAndLinesAreTheElementLine)
{
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 4, 4});
  dc->color_map = ViewColorMap::create_dark();
  PlainDrawer drawer(dc);
  drawer.draw();
  EXPECT_EQ(drawer.style.line, test::rgb(238, 238, 238));
  EXPECT_EQ(test::pixel_at(dc->surface, 1, 1), (Pixel{0, 0, 0, 0}));
}

// --- Binding and the filling drawers

TEST(DrawerTest, BindingSharesOneRegionAndTheDirtyRegionStaysTheFirst)
{
  const auto first = ViewDrawerContext::create_make_surface({0, 0, 10, 10});
  const auto second = ViewDrawerContext::create_make_surface({5, 5, 10, 10});
  ViewFillingBackgroundDrawer drawer;
  for (const auto& dc : {first, second})
    dc->color_map = ViewColorMap::create_light();
  drawer.draw_for(first, nullptr);
  EXPECT_EQ(drawer.get_dc(), first);
  EXPECT_EQ(drawer.get_clip_region()->cobj(), drawer.get_update_region()->cobj());
  const auto dirty = drawer.get_dirty();
  EXPECT_EQ(dirty->cobj(), drawer.get_clip_region()->cobj());
  drawer.draw_for(second, nullptr);
  EXPECT_EQ(drawer.get_dc(), second);
  EXPECT_EQ(drawer.get_dirty()->cobj(), dirty->cobj());
  EXPECT_EQ(drawer.get_clip_region()->get_rectangle(0).x, 5);
}

TEST(DrawerTest, TheBackgroundDrawerPaintsTheWholeTargetInThePalettesBackground)
{
  const auto dc = ViewDrawerContext::create_make_surface({3, 4, 20, 10});
  dc->color_map = ViewColorMap::create_light();
  ViewFillingBackgroundDrawer drawer;
  EXPECT_EQ(test::to_pixel(drawer.color), test::rgb(0, 0, 0));
  drawer.draw_for(dc, nullptr);
  for (const auto& [x, y] : {std::pair{0, 0}, {19, 9}, {10, 5}})
    EXPECT_EQ(test::pixel_at(dc->surface, x, y), test::rgb(255, 255, 255));
  // The drawer leaves the cairo state as it found it.
  EXPECT_EQ(style_of(dc->cr).line, (Pixel{0, 0, 0, 255}));
}

TEST(DrawerTest, AFillingDrawerBoundAtCreationPaintsItsColour)
{
  const auto dc = ViewDrawerContext::create_make_surface({0, 0, 8, 8});
  ViewFillingDrawer drawer(dc, GdkRGBA{0, 0, 1, 1});
  drawer.draw();
  EXPECT_EQ(test::pixel_at(dc->surface, 7, 7), test::rgb(0, 0, 255));
}

} // namespace
} // namespace velkaro
