// The canvas in a window: zoom rules, the fit toggle, offsets, scrolling by
// cell and page, pulling the cursor, sizing, the two drawing passes, and a
// canvas without its scrolled window.

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "common/point.h"
#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "support/test_env.h"
#include "view/canvas_harness_for_test.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"

namespace velkaro {
namespace {

using test::CanvasHarness;
using test::StandardCanvas;

struct CanvasKit {
  CanvasKit(int width = 400, int height = 300)
    : canvas(std::make_shared<StandardCanvas>(*kit.ctx)), harness(*kit.ctx, canvas, width, height)
  {
  }
  // A mark at (x, y).
  void mark(int32_t x, int32_t y)
  {
    ASSERT_TRUE(test::place(*kit.ws, test::KindMark::create("m"), x, y));
    kit.ws->clear_in_process();
  }
  // A mark at (x, y), with the canvas updated and settled around it.
  void mark_and_settle(int32_t x, int32_t y)
  {
    mark(x, y);
    canvas->update();
    harness.settle();
  }
  Rectangle rect(int32_t x, int32_t y) const { return kit.ws->grid->get_rect(x, y); }

  test::KindKit kit;
  std::shared_ptr<StandardCanvas> canvas;
  CanvasHarness harness;
};

TEST(CanvasTest, ZoomStepsAreRefusedOnlyBeyondTheLimitsOfTheCurrentZoom)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  struct Case {
    double from;
    double to;
    bool accepted;
  };
  const Case cases[] = {
    {20.0, 28.0, true},  {28.0, 39.2, false}, {28.0, 20.0, true}, {19.0, 26.6, true},
    {0.1, 0.07, true},   {0.07, 0.05, false}, {0.07, 0.1, true},  {1.0, 1.4, true},
  };
  for (const Case& c : cases) {
    k.canvas->get_dc()->zoom = c.from;
    cv.set_zoom(c.to);
    EXPECT_EQ(cv.get_zoom(), c.accepted ? c.to : c.from) << c.from << " -> " << c.to;
  }
}

TEST(CanvasTest, KeyZoomStepsAndResetAboutTheCursor)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  k.canvas->get_dc()->zoom = 20.0;
  const auto centre = k.kit.ctx->get_now_cell_center_pt();
  cv.zoom_by_keys(1, centre);
  EXPECT_DOUBLE_EQ(cv.get_zoom(), 28.0);
  // Refused: nothing changes, not even the offsets.
  cv.set_offset(CellDir::h, 50);
  const double x = cv.get_page_x();
  cv.zoom_by_keys(1, centre);
  EXPECT_DOUBLE_EQ(cv.get_zoom(), 28.0);
  EXPECT_DOUBLE_EQ(cv.get_page_x(), x);
  cv.zoom_by_keys(-1, centre);
  EXPECT_DOUBLE_EQ(cv.get_zoom(), 28.0 * (1 / 1.4));
  cv.zoom_by_keys(0, centre);
  EXPECT_EQ(cv.get_zoom(), 1.0);
  // The next draw reveals the cursor cell.
  EXPECT_TRUE(cv.get_show_cell_pos_pending());
  k.harness.render();
  EXPECT_FALSE(cv.get_show_cell_pos_pending());
}

TEST(CanvasTest, AKeyZoomKeepsTheCursorCentreWhereItIsOnScreen)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  k.mark(60, 60);
  k.kit.ctx->set_pos({30, 20});
  cv.update();
  k.harness.settle();
  cv.set_offset(CellDir::h, 450);
  cv.set_offset(CellDir::v, 250);
  const auto centre = k.kit.ctx->get_now_cell_center_pt();
  const double before_x = centre.get_x() * cv.get_zoom() - cv.get_page_x() * cv.get_zoom();
  const double before_y = centre.get_y() * cv.get_zoom() - cv.get_page_y() * cv.get_zoom();
  cv.zoom_by_keys(1, centre);
  k.harness.settle();
  EXPECT_NEAR(centre.get_x() * cv.get_zoom() - cv.get_page_x() * cv.get_zoom(), before_x, 0.5);
  EXPECT_NEAR(centre.get_y() * cv.get_zoom() - cv.get_page_y() * cv.get_zoom(), before_y, 0.5);
}

TEST(CanvasTest, TheFitToggleZoomsOutAndBackAndAZoomInBetweenStartsItOver)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  // Everything fits already: the fit still shrinks by one key step.
  cv.zoom_fit();
  EXPECT_DOUBLE_EQ(cv.get_zoom(), 1 / 1.4);
  EXPECT_EQ(cv.get_zoom_before_fit(), 1.0);
  EXPECT_EQ(cv.get_page_x(), 0);
  cv.zoom_fit();
  EXPECT_EQ(cv.get_zoom(), 1.0);
  EXPECT_EQ(cv.get_zoom_before_fit(), 0);
  EXPECT_TRUE(cv.get_show_cell_pos_pending());

  // A document larger than the page fits by its own factor.
  k.mark_and_settle(99, 49);
  const Rectangle e = cv.get_exists_rect();
  const double factor = std::min(cv.get_page_width() / e.width, cv.get_page_height() / e.height);
  cv.zoom_fit();
  EXPECT_DOUBLE_EQ(cv.get_zoom(), factor);
  // A key zoom in between: the next fit fits again.
  cv.zoom_by_keys(1, k.kit.ctx->get_now_cell_center_pt());
  EXPECT_EQ(cv.get_zoom_before_fit(), 0);
  const double zoomed = cv.get_zoom();
  cv.zoom_fit();
  EXPECT_LT(cv.get_zoom(), zoomed);
  EXPECT_EQ(cv.get_zoom_before_fit(), zoomed);
}

TEST(CanvasTest, AWheelZoomWithoutDeltaZoomsOut)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  k.canvas->zoom_by_mouse(0, 10, 10);
  EXPECT_DOUBLE_EQ(k.canvas->get_zoom(), 1 / 1.1);
  k.canvas->zoom_by_mouse(-1, 10, 10);
  EXPECT_DOUBLE_EQ(k.canvas->get_zoom(), 1 / 1.1 * 1.1);
}

TEST(CanvasTest, ACellEdgeScrollLandsTheCutColumnAtThePagesEdge)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  k.mark_and_settle(80, 80);
  cv.set_offset(CellDir::h, 5);
  const Rectangle before = cv.get_viewport();
  // The column that the page's right edge cuts.
  const int32_t cut = k.kit.ws->grid->h->get_index(before.get_right());
  ASSERT_GT(k.kit.ws->grid->h->get(cut), before.get_right());
  cv.scroll(CellDir::h, 1);
  EXPECT_DOUBLE_EQ(cv.get_viewport().get_right(), k.kit.ws->grid->h->get(cut));
  // Back: the first column cut by the page's left edge starts the page.
  const int32_t first = k.kit.ws->grid->h->get_index(cv.get_page_x() + 1);
  cv.scroll(CellDir::h, -1);
  EXPECT_DOUBLE_EQ(cv.get_page_x(), k.kit.ws->grid->h->get(first - 1));
  // From column 0 it stays at 0.
  cv.set_offset(CellDir::h, 0);
  cv.scroll(CellDir::h, -1);
  EXPECT_EQ(cv.get_page_x(), 0);
}

TEST(CanvasTest, ScrollingPullsTheCursorIntoThePage)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  ViewCanvas& cv = *k.canvas;
  k.mark_and_settle(80, 80);
  cv.scroll_page(CellDir::v, 1);
  const CellPos c = k.kit.ctx->get_now_cell();
  const Rectangle r = k.rect(c.x, c.y);
  EXPECT_GE(r.y, cv.get_page_y());
  EXPECT_LE(r.get_bottom(), cv.get_page_y() + cv.get_page_height());
  // The first row that lies wholly in the page.
  int32_t first = k.kit.ws->grid->v->get_index(cv.get_page_y());
  if (k.kit.ws->grid->v->get(first - 1) < cv.get_page_y())
    ++first;
  EXPECT_EQ(c.y, first);
  EXPECT_EQ(c.x, 0);
}

TEST(CanvasTest, TheUsedAreaCoversTheUsedCellsAndTheCursor)
{
  VELKARO_REQUIRE_GTK();
  CanvasKit k;
  EXPECT_EQ(k.canvas->get_exists_rect(), k.rect(0, 0));
  k.mark(3, 2);
  k.kit.ctx->set_pos({1, 5});
  EXPECT_EQ(k.canvas->get_exists_rect(), k.kit.ws->grid->get_range_rect(CellRange{{0, 0}, {3, 5}}));
  // The canvas grows to hold it, and the cursor is revealed.
  k.kit.ctx->set_pos({70, 60});
  k.harness.render();
  const Rectangle cell = k.rect(70, 60);
  EXPECT_GE(k.canvas->get_upper(CellDir::h), cell.get_right());
  EXPECT_LE(k.canvas->get_page_x(), cell.x);
  EXPECT_GE(k.canvas->get_page_x() + k.canvas->get_page_width(), cell.get_right());
  EXPECT_LE(k.canvas->get_page_y(), cell.y);
  EXPECT_GE(k.canvas->get_page_y() + k.canvas->get_page_height(), cell.get_bottom());
}

// Records each call with the state the canvas put it in.
class PassDrawer : public ViewDrawer {
public:
  explicit PassDrawer(bool working) : m_working(working) {}
  bool get_for_working() const override { return m_working; }
  void draw() override
  {
    Cairo::Matrix m;
    get_cr()->get_matrix(m);
    const auto ctrl = get_ctrl();
    calls.push_back({ctrl && ctrl->get_ws()->is_tmp, get_override_color().has_value(), m.xx, m.x0,
                     get_dc()->update_rect});
    // Left for the canvas to undo.
    get_cr()->set_line_width(42);
  }
  struct Call {
    bool tmp;
    bool override_color;
    double scale;
    double x0;
    cairo_rectangle_int_t update;
  };
  std::vector<Call> calls;

private:
  bool m_working;
};

TEST(CanvasTest, ADrawRunsEveryDrawerThenTheWorkingOnesOverTheScratchCells)
{
  VELKARO_REQUIRE_GTK();
  test::KindKit kit;
  auto canvas = std::make_shared<StandardCanvas>(*kit.ctx);
  const auto plain = std::make_shared<PassDrawer>(false);
  const auto working = std::make_shared<PassDrawer>(true);
  canvas->list() = {plain, working};
  CanvasHarness harness(*kit.ctx, canvas);
  plain->calls.clear();
  working->calls.clear();
  harness.render();
  ASSERT_EQ(plain->calls.size(), 1u);
  ASSERT_EQ(working->calls.size(), 2u);
  EXPECT_FALSE(working->calls[0].tmp);
  EXPECT_FALSE(working->calls[0].override_color);
  EXPECT_TRUE(working->calls[1].tmp);
  EXPECT_TRUE(working->calls[1].override_color);
  EXPECT_FALSE(working->get_override_color().has_value());
  EXPECT_FALSE(kit.ws->is_tmp);
  // Zoom 1: half a pixel across, no scaling.
  EXPECT_EQ(plain->calls[0].scale, 1.0);
  EXPECT_DOUBLE_EQ(std::fmod(plain->calls[0].x0, 1.0), 0.5);
}

TEST(CanvasTest, TheUpdateRectangleIsThePageGrownByAMarginOf99WindowPixels)
{
  VELKARO_REQUIRE_GTK();
  test::KindKit kit;
  auto canvas = std::make_shared<StandardCanvas>(*kit.ctx);
  const auto drawer = std::make_shared<PassDrawer>(false);
  canvas->list() = {drawer};
  CanvasHarness harness(*kit.ctx, canvas);
  struct Case {
    double zoom;
    int margin;
  };
  for (const Case c : {Case{1.0, 99}, {0.5, 198}, {2.0, 49}, {28.0, 3}}) {
    canvas->get_dc()->zoom = c.zoom;
    drawer->calls.clear();
    harness.render();
    ASSERT_FALSE(drawer->calls.empty());
    const auto& call = drawer->calls.back();
    const cairo_rectangle_int_t page = canvas->get_viewport().to_cairo_int();
    EXPECT_EQ(call.update.x, page.x - c.margin) << c.zoom;
    EXPECT_EQ(call.update.width, page.width + 2 * c.margin) << c.zoom;
    EXPECT_EQ(call.update.height, page.height + 2 * c.margin) << c.zoom;
    if (c.zoom != 1.0) {
      EXPECT_DOUBLE_EQ(call.scale, c.zoom);
      EXPECT_DOUBLE_EQ(std::fmod(call.x0, 1.0), 0.0);
    }
  }
}

TEST(CanvasTest, WithoutItsScrolledWindowTheCanvasDoesNothing)
{
  VELKARO_REQUIRE_GTK();
  test::KindKit kit;
  const auto canvas = std::make_shared<StandardCanvas>(*kit.ctx);
  kit.ctx->set_canvas(canvas);
  const auto exercise = [&](ViewCanvas& cv) {
    cv.set_offset(CellDir::h, 10);
    cv.add_offset(CellDir::v, 10);
    cv.scroll(CellDir::h, 1);
    cv.scroll(CellDir::v, -1);
    cv.scroll_page(CellDir::v, 3);
    cv.scroll_by_mouse(1, 1);
    cv.pull_cursor(CellDir::h);
    cv.clamp_h(0, 10);
    cv.zoom_fit();
    cv.zoom_by_mouse(1, 5, 5);
    cv.zoom_by_keys(1, Point(5, 5));
    cv.show_cell_pos();
    cv.update();
    cv.release_scrolled_window();
    EXPECT_EQ(cv.get_page_width(), 0);
    EXPECT_GT(cv.get_zoom(), 0);
  };
  // Before it was set.
  exercise(*canvas);
  EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{0, 0}));
  {
    // After ":q" released it, and after the window went.
    CanvasHarness harness(*kit.ctx, canvas);
    canvas->release_scrolled_window();
    exercise(*canvas);
  }
  exercise(*canvas);
  {
    auto window = std::make_unique<Gtk::Window>();
    auto sw = std::make_unique<Gtk::ScrolledWindow>();
    sw->add(*canvas);
    window->add(*sw);
    canvas->set_scrolled_window(*sw);
    sw->remove();
    sw.reset();
    EXPECT_EQ(canvas->get_scrolled_window(), nullptr);
    exercise(*canvas);
  }
}

} // namespace
} // namespace velkaro
