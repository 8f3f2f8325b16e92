// The standard drawers on a canvas rendered into an image: the grid and its
// active axis, the segments left out inside a text over several cells, the
// cursor frame, the selected range and the move-view mode's viewport.

#include <memory>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/test_kind.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "support/test_env.h"
#include "view/canvas_harness_for_test.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/grid_drawer.h"
#include "view/pixels_for_test.h"

namespace velkaro {
namespace {

using test::CanvasHarness;
using test::Pixel;
using test::rgb;
using test::StandardCanvas;

const Pixel background = rgb(17, 17, 17);
const Pixel grid_colour = rgb(34, 34, 34);
const Pixel active_grid = rgb(85, 102, 85);
const Pixel cursor_frame = rgb(136, 136, 0);

// A canvas at zoom 1 with the standard drawers, the cursor kept away from
// what is probed unless a test moves it.
struct DrawKit {
  explicit DrawKit(const test::KindContext::MakeModes& modes = {})
    : kit(modes), canvas(std::make_shared<StandardCanvas>(*kit.ctx)), harness(*kit.ctx, canvas)
  {
    kit.ctx->set_pos({15, 12});
  }
  Rectangle rect(int32_t x, int32_t y) const { return kit.ws->grid->get_rect(x, y); }
  // The pixel at canvas point (x, y) of a fresh rendering (zoom 1, page at 0).
  Pixel at(double x, double y) { return test::pixel_at(harness.render(), int(x), int(y)); }

  test::KindKit kit;
  std::shared_ptr<StandardCanvas> canvas;
  CanvasHarness harness;
};

// At zoom 1 the canvas draws half a pixel across, so the line on edge e
// covers pixel e; the pixels beside it are background.
TEST(StandardDrawersTest, TheGridDrawsTheActiveAxisOverTheOther)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  const Rectangle cell = k.rect(2, 3);
  // Horizontal direction: horizontal lines are the active ones.
  const auto image = k.harness.render();
  EXPECT_EQ(test::pixel_at(image, int(cell.get_xmid()), int(cell.get_bottom())), active_grid);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_right()), int(cell.get_ymid())), grid_colour);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_right()), int(cell.get_bottom())), active_grid);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_xmid()), int(cell.get_ymid())), background);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_right()) + 1, int(cell.get_ymid())), background);

  k.kit.ctx->set_now_dir(CellDir::v);
  const auto turned = k.harness.render();
  EXPECT_EQ(test::pixel_at(turned, int(cell.get_xmid()), int(cell.get_bottom())), grid_colour);
  EXPECT_EQ(test::pixel_at(turned, int(cell.get_right()), int(cell.get_ymid())), active_grid);
  EXPECT_EQ(test::pixel_at(turned, int(cell.get_right()), int(cell.get_bottom())), active_grid);
}

TEST(StandardDrawersTest, GridLinesAreOneWindowPixelAtAnyZoom)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  const Rectangle cell = k.rect(2, 3);
  for (const double zoom : {2.0, 0.5, 1.4}) {
    k.canvas->get_dc()->zoom = zoom;
    const auto image = k.harness.render();
    // Across the active horizontal line: the ink adds up to one pixel of
    // the line's colour, however the line falls on the pixels.
    const int x = int(cell.get_xmid() * zoom);
    const int y = int(cell.get_bottom() * zoom);
    double ink = 0;
    for (int j = y - 3; j <= y + 3; ++j)
      ink += (test::pixel_at(image, x, j).g - background.g) / double(active_grid.g - background.g);
    EXPECT_NEAR(ink, 1.0, 0.1) << "zoom " << zoom;
  }
}

TEST(StandardDrawersTest, NoGridSegmentRunsInsideATextOverSeveralCells)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  // A text over columns 1 to 3 of row 4, beside an empty cell.
  ASSERT_TRUE(test::place(*k.kit.ws, test::make_text("abc", 2), 1, 4));
  k.kit.ws->clear_in_process();
  const auto image = k.harness.render();
  const Rectangle row = k.kit.ws->grid->get_range_rect(CellRange{{1, 4}, {3, 4}});
  const auto& columns = *k.kit.ws->grid->h;
  const int mid = int(row.get_ymid());
  EXPECT_EQ(test::pixel_at(image, int(columns.get(1)), mid), background);
  EXPECT_EQ(test::pixel_at(image, int(columns.get(2)), mid), background);
  // Its own edges and those beside it are drawn.
  EXPECT_EQ(test::pixel_at(image, int(columns.get(0)), mid), grid_colour);
  EXPECT_EQ(test::pixel_at(image, int(columns.get(3)), mid), grid_colour);
  // The horizontal lines above and below run along all three columns.
  for (int32_t col = 1; col <= 3; ++col) {
    const int x = int(k.rect(col, 4).get_xmid());
    EXPECT_EQ(test::pixel_at(image, x, int(row.y)), active_grid);
    EXPECT_EQ(test::pixel_at(image, x, int(row.get_bottom())), active_grid);
  }
}

TEST(StandardDrawersTest, AreMultiNeedsTheSameMonoElementAtTheSamePlace)
{
  const auto text = test::make_text("t");
  const auto other = test::make_text("u");
  const auto mark = test::KindMark::create("m");
  const auto stack = [](std::initializer_list<std::shared_ptr<ModelElement>> elms) {
    auto s = ModelExpStack::create();
    for (const auto& e : elms)
      s->add(e);
    return s;
  };
  EXPECT_TRUE(ViewGridDrawer::are_multi(stack({text}).get(), stack({text}).get()));
  EXPECT_TRUE(ViewGridDrawer::are_multi(stack({mark, text}).get(), stack({other, text}).get()));
  EXPECT_FALSE(ViewGridDrawer::are_multi(stack({text}).get(), nullptr));
  EXPECT_FALSE(ViewGridDrawer::are_multi(stack({text}).get(), stack({other}).get()));
  EXPECT_FALSE(ViewGridDrawer::are_multi(stack({text, mark}).get(), stack({mark, text}).get()));
  EXPECT_FALSE(ViewGridDrawer::are_multi(stack({text}).get(), stack({text, other}).get()));
  // Not mono: the edge is drawn.
  EXPECT_FALSE(ViewGridDrawer::are_multi(stack({mark}).get(), stack({mark}).get()));
}

TEST(StandardDrawersTest, TheCursorFrameIsInsetByHalfAUnitAndTwoUnitsWide)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  k.kit.ctx->set_pos({3, 2});
  const Rectangle cell = k.rect(3, 2);
  const auto image = k.harness.render();
  // The stroked rectangle (x + 0.5, y + 0.5, w - 1, h - 1), 2 wide, falls
  // on the pixels x and x + 1 on the left (the canvas adds half a pixel).
  const int mid_y = int(cell.get_ymid());
  const int mid_x = int(cell.get_xmid());
  EXPECT_EQ(test::pixel_at(image, int(cell.x), mid_y), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, int(cell.x) + 1, mid_y), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, int(cell.x) + 2, mid_y), background);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_right()) - 1, mid_y), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, int(cell.get_right()), mid_y), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, mid_x, int(cell.y)), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, mid_x, int(cell.get_bottom())), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, mid_x, mid_y), background);
}

TEST(StandardDrawersTest, OnATextOverSeveralCellsTheFrameSurroundsTheText)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  ASSERT_TRUE(test::place(*k.kit.ws, test::make_text("abc", 2), 1, 4));
  k.kit.ws->clear_in_process();
  k.kit.ctx->set_pos({2, 4});
  const Rectangle text = k.kit.ws->grid->get_range_rect(CellRange{{1, 4}, {3, 4}});
  const auto image = k.harness.render();
  const int mid_y = int(text.get_ymid());
  EXPECT_EQ(test::pixel_at(image, int(text.x) + 1, mid_y), cursor_frame);
  EXPECT_EQ(test::pixel_at(image, int(text.get_right()) - 1, mid_y), cursor_frame);
  // Not around the cursor cell alone.
  EXPECT_EQ(test::pixel_at(image, int(k.rect(2, 4).x) + 1, mid_y), background);
}

TEST(StandardDrawersTest, TheSelectionFillsTheSameCellsWhicheverCornerComesFirst)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k;
  const GdkRGBA fill = ViewColorMap::create_dark()->get(ViewColor::selected_cell_fill);
  const Rectangle inside = k.rect(3, 4);
  const Rectangle outside_right = k.rect(6, 4);
  const Rectangle outside_above = k.rect(3, 2);
  for (const CellRange& range : {CellRange{{5, 5}, {2, 3}}, CellRange{{2, 3}, {5, 5}}}) {
    k.kit.ctx->selected_range = CellRange::create(range.start, range.end);
    const auto image = k.harness.render();
    EXPECT_TRUE(test::near(test::pixel_at(image, int(inside.get_xmid()), int(inside.get_ymid())),
                           test::blend(fill, background)))
      << test::pixel_at(image, int(inside.get_xmid()), int(inside.get_ymid()));
    const Rectangle corner = k.rect(5, 5);
    EXPECT_TRUE(test::near(test::pixel_at(image, int(corner.get_xmid()), int(corner.get_ymid())),
                           test::blend(fill, background)));
    EXPECT_EQ(test::pixel_at(image, int(outside_right.get_xmid()), int(outside_right.get_ymid())), background);
    EXPECT_EQ(test::pixel_at(image, int(outside_above.get_xmid()), int(outside_above.get_ymid())), background);
  }
  k.kit.ctx->selected_range.reset();
  EXPECT_EQ(k.at(inside.get_xmid(), inside.get_ymid()), background);
}

TEST(StandardDrawersTest, TheViewportIsDrawnOnlyInTheMoveViewMode)
{
  VELKARO_REQUIRE_GTK();
  DrawKit k([](test::KindContext& ctx) {
    return std::vector<CtrlContext::ModePtr>{std::make_shared<test::KindCellMode>(ctx),
                                             std::make_shared<CtrlMoveViewMode>(ctx)};
  });
  const auto mode = std::dynamic_pointer_cast<CtrlMoveViewMode>(k.kit.ctx->get_mode(typeid(CtrlMoveViewMode)));
  ASSERT_TRUE(mode);
  const Rectangle cell = k.rect(2, 2);
  EXPECT_EQ(k.at(cell.get_xmid(), cell.get_ymid()), background);
  k.kit.ctx->set_now_mode(mode);
  // The fit of the mode zoomed out: probe at window pixels.
  mode->view_x = 10;
  mode->view_y = 10;
  const double zoom = k.canvas->get_zoom();
  const auto image = k.harness.render();
  const GdkRGBA fill = ViewColorMap::create_dark()->get(ViewColor::viewport_fill);
  // The middle of cell (2, 1), inside the rectangle and away from lines.
  const Rectangle probe = k.rect(2, 1);
  ASSERT_LT(probe.get_right(), 10 + mode->get_width());
  const Pixel inside = test::pixel_at(image, int(probe.get_xmid() * zoom), int(probe.get_ymid() * zoom));
  EXPECT_TRUE(test::near(inside, test::blend(fill, background), 3)) << inside;
  // The frame, 3 units wide in the working colour, on the left edge.
  EXPECT_EQ(test::pixel_at(image, int(10 * zoom), int(40 * zoom)), rgb(170, 255, 153));
}

} // namespace
} // namespace velkaro
