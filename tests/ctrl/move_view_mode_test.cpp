// The move-view mode, against a canvas double that zooms and scrolls like
// the canvas: its key table, the rectangle's size and steps, moving and
// keeping it inside the page, settling and cancelling with the zoom and
// scroll position they leave, and the pointer.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/context.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/modes/move_view_mode.h"

namespace velkaro::test {
namespace {

// A canvas whose visible page is a fixed widget size divided by the zoom,
// and whose fit zooms to fit_zoom with the scroll position at the origin.
class ZoomingCanvas : public TestCanvas {
public:
  using TestCanvas::TestCanvas;

  double get_page_width() const override { return widget_width / zoom; }
  double get_page_height() const override { return widget_height / zoom; }
  void zoom_fit() override
  {
    TestCanvas::zoom_fit();
    zoom = fit_zoom;
    page_x = 0;
    page_y = 0;
  }

  double widget_width = 400;
  double widget_height = 300;
  double fit_zoom = 0.25;
};

struct MoveViewKit {
  // cell_kit() with a ZoomingCanvas scrolled to (x, y) at zoom.
  MoveViewKit(double x, double y, double zoom, double fit_zoom = 0.25)
  {
    canvas = std::make_shared<ZoomingCanvas>(kit.log);
    canvas->page_x = x;
    canvas->page_y = y;
    canvas->zoom = zoom;
    canvas->fit_zoom = fit_zoom;
    kit.ctx->set_canvas(canvas);
    kit.ctx->set_pos({2, 2});
    kit.take_log();
  }

  CtrlMoveViewMode& mode() { return dynamic_cast<CtrlMoveViewMode&>(*kit.ctx->get_mode(typeid(CtrlMoveViewMode))); }
  std::string mode_name() { return kit.ctx->get_now_mode()->get_name(); }
  // What the canvas was asked, without its updates.
  Log canvas_calls()
  {
    Log calls;
    for (auto& line : kit.take_log())
      if (line.rfind("canvas:", 0) == 0 && line != "canvas:update" && line != "canvas:show_cell_pos")
        calls.push_back(std::move(line));
    return calls;
  }

  KindKit kit = cell_kit();
  std::shared_ptr<ZoomingCanvas> canvas;
};

TEST(MoveViewMode, KeyTableAndReplacements)
{
  KindKit kit = cell_kit();
  auto& mode = dynamic_cast<CtrlMoveViewMode&>(*kit.ctx->get_mode(typeid(CtrlMoveViewMode)));
  EXPECT_EQ(mode.get_name(), "MOVE VIEW MODE");
  expect_key_table(mode, {{"settle", {"<Enter>", "<Tab>"}, "Settle", false, false}});
  std::vector<std::string> replaced, never;
  for (const auto& [name, wrapper] : mode.get_replacement()) {
    replaced.push_back(name);
    EXPECT_TRUE(wrapper->get_app_keys().empty()) << name;
    if (wrapper->has_is_actionable_func())
      never.push_back(name);
  }
  EXPECT_EQ(replaced,
            (std::vector<std::string>{"cancel", "down", "left", "right", "up", "zoom-in", "zoom-out", "zoom-reset"}));
  EXPECT_EQ(never, (std::vector<std::string>{"zoom-in", "zoom-out", "zoom-reset"}));
  const auto& included = mode.get_included_modes();
  ASSERT_EQ(included.size(), 1u) << "no 2D keys here";
  EXPECT_EQ(included[0]->get_name(), "BASE MODE");
}

TEST(MoveViewMode, EnteringRemembersTheViewAndFitsTheDiagram)
{
  MoveViewKit k(100, 50, 1.0);
  press_keys(*k.kit.ctx, "<Tab>");
  ASSERT_EQ(k.mode_name(), "MOVE VIEW MODE");
  auto& mode = k.mode();
  EXPECT_EQ(k.canvas_calls(), (Log{"canvas:zoom_fit"}));
  EXPECT_EQ(mode.get_saved_x(), 100);
  EXPECT_EQ(mode.get_saved_y(), 50);
  EXPECT_EQ(mode.get_saved_zoom(), 1.0);
  EXPECT_EQ(mode.view_x, 100);
  EXPECT_EQ(mode.view_y, 50);
  // The page at the fitted zoom is 1600 x 1200; the rectangle is what was
  // visible before.
  EXPECT_EQ(mode.get_width(), 400);
  EXPECT_EQ(mode.get_height(), 300);
  EXPECT_EQ(mode.get_xstep(), 100);
  EXPECT_EQ(mode.get_ystep(), 75);
}

TEST(MoveViewMode, SettlingScrollsToTheRectangleAtTheRestoredZoom)
{
  struct Case {
    const char* keys;
    double x, y;
  };
  const Case cases[] = {
    {"<Tab><Enter>", 100, 50},
    {"<Tab><Tab>", 100, 50},
    {"<Tab>l<Enter>", 200, 50},
    {"<Tab>j<Tab>", 100, 125},
    {"<Tab>lkj<Enter>", 200, 75},
    {"<Tab>hh<Enter>", 0, 50},
    {"<Tab>kkk<Enter>", 100, 0},
    {"<Tab>llllllllllllllll<Enter>", 1200, 50},
    {"<Tab>jjjjjjjjjjjjjjjjj<Enter>", 100, 900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    MoveViewKit k(100, 50, 1.0);
    press_keys(*k.kit.ctx, c.keys);
    EXPECT_EQ(k.mode_name(), "CELL MODE");
    EXPECT_EQ(k.canvas->zoom, 1.0);
    EXPECT_EQ(k.canvas->page_x, c.x);
    EXPECT_EQ(k.canvas->page_y, c.y);
    const Log calls = k.canvas_calls();
    ASSERT_GE(calls.size(), 5u);
    // Zoom first, then the offsets, then the cursor is pulled in.
    EXPECT_EQ(Log(calls.end() - 5, calls.end()),
              (Log{"canvas:set_zoom 1.000000", "canvas:set_offset h " + std::to_string(c.x),
                   "canvas:set_offset v " + std::to_string(c.y), "canvas:pull_cursor h", "canvas:pull_cursor v"}));
  }
}

TEST(MoveViewMode, EscapeRestoresZoomAndScrollPositionExactly)
{
  MoveViewKit k(123.25, 77.5, 1.3);
  press_keys(*k.kit.ctx, "<Tab>llj");
  ASSERT_EQ(k.mode_name(), "MOVE VIEW MODE");
  k.canvas_calls();
  press_keys(*k.kit.ctx, "<Esc>");
  EXPECT_EQ(k.mode_name(), "CELL MODE");
  EXPECT_EQ(k.canvas->zoom, 1.3);
  EXPECT_EQ(k.canvas->page_x, 123.25);
  EXPECT_EQ(k.canvas->page_y, 77.5);
  EXPECT_EQ(k.canvas_calls(),
            (Log{"canvas:set_zoom 1.300000", "canvas:set_offset h 123.250000", "canvas:set_offset v 77.500000"}))
    << "the cursor is not pulled";
  EXPECT_EQ(k.kit.ctx->get_now_cell(), (CellPos{2, 2}));
}

TEST(MoveViewMode, TheRectangleIsKeptInsideThePageLowerBoundFirst)
{
  struct Case {
    const char* what;
    double fit_zoom;
    const char* keys;
    double view_x, view_y;
  };
  const Case cases[] = {
    {"inside: as moved", 0.25, "l", 200, 50},
    {"past the left edge", 0.25, "hh", 0, 50},
    {"past the right edge", 0.25, "llllllllllllllll", 1200, 50},
    // A fit that zoomed in leaves a 200 x 150 page for a 400 x 300
    // rectangle: the far edge wins, the near one goes negative.
    {"larger than the page", 2.0, "l", -200, -150},
    {"larger than the page, moved back", 2.0, "hk", -200, -150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MoveViewKit k(100, 50, 1.0, c.fit_zoom);
    press_keys(*k.kit.ctx, std::string("<Tab>") + c.keys);
    EXPECT_EQ(k.mode().view_x, c.view_x);
    EXPECT_EQ(k.mode().view_y, c.view_y);
  }
}

TEST(MoveViewMode, AClickCentresTheRectangleAndTheReleaseSettles)
{
  struct Case {
    double x, y;
    double view_x, view_y;
  };
  const Case cases[] = {
    {800, 600, 600, 450},
    {1590, 5, 1200, 0},
    {10, 1190, 0, 900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    MoveViewKit k(100, 50, 1.0);
    press_keys(*k.kit.ctx, "<Tab>");
    auto& mode = k.mode();
    EXPECT_TRUE(mode.on_press_left_button(Point(c.x, c.y)));
    EXPECT_EQ(mode.view_x, c.view_x);
    EXPECT_EQ(mode.view_y, c.view_y);
    EXPECT_EQ(k.mode_name(), "MOVE VIEW MODE");

    EXPECT_TRUE(mode.on_release_left_button(Point(c.x, c.y)));
    EXPECT_EQ(k.mode_name(), "CELL MODE");
    EXPECT_EQ(k.canvas->page_x, c.view_x);
    EXPECT_EQ(k.canvas->page_y, c.view_y);
  }
}

TEST(MoveViewMode, TheRectangleFollowsADragAndADoubleClickSettles)
{
  MoveViewKit k(100, 50, 1.0);
  press_keys(*k.kit.ctx, "<Tab>");
  auto& mode = k.mode();
  EXPECT_TRUE(mode.on_drag_with_left_button(Point(0, 0), Point(500, 400)));
  EXPECT_EQ(mode.view_x, 300);
  EXPECT_EQ(mode.view_y, 250);
  EXPECT_TRUE(mode.on_double_press_left_button(Point(500, 400)));
  EXPECT_EQ(k.mode_name(), "CELL MODE");
  EXPECT_EQ(k.canvas->page_x, 300);
  EXPECT_EQ(k.canvas->page_y, 250);
}

TEST(MoveViewMode, ZoomKeysDoNothingWhileUndoStillWorks)
{
  MoveViewKit k(100, 50, 1.0);
  auto& ctx = *k.kit.ctx;
  ctx.set_pos({3, 3});
  press_keys(ctx, "i");
  ASSERT_EQ(marks_of(*k.kit.ws), (Layout{"i@3,3+0,0"}));

  press_keys(ctx, "<Tab>");
  const auto names = ctx.enum_actionable_name();
  for (const char* name : {"zoom-in", "zoom-out", "zoom-reset"})
    EXPECT_EQ(names.count(name), 0u) << name;
  EXPECT_EQ(names.count("undo"), 1u);
  k.canvas_calls();
  press_keys(ctx, "<plus><minus><equal>");
  EXPECT_EQ(k.canvas->zoom, 0.25);
  EXPECT_TRUE(k.canvas_calls().empty());

  press_keys(ctx, "u");
  EXPECT_TRUE(marks_of(*k.kit.ws).empty());
  EXPECT_EQ(k.mode_name(), "MOVE VIEW MODE");
}

} // namespace
} // namespace velkaro::test
