// The class canvas and exporter: their drawers in drawing order, the free
// texts again in the working pass, and on screen an empty document showing
// the grid and the cursor frame alone, then a focused connector.

#include <memory>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "cls/canvas.h"
#include "cls/class_drawer.h"
#include "cls/cls_draw_for_test.h"
#include "cls/connector_drawer_base.h"
#include "cls/doc/cls_ws_for_test.h"
#include "cls/exporting_cnavas.h"
#include "cls/single_text_drawer.h"
#include "support/test_env.h"
#include "view/canvas_harness_for_test.h"
#include "view/cell_cursor_drawer.h"
#include "view/filling_drawer.h"
#include "view/grid_drawer.h"
#include "view/pixels_for_test.h"
#include "view/selected_range_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro::test {
namespace {

TEST(ClsCanvas, TheCanvasDrawsItsEightDrawersInOrderAndTheFreeTextsAgainInTheWorkingPass)
{
  VELKARO_REQUIRE_GTK();
  ClsDrawKit kit;
  ClsCanvas canvas(*kit.ctx);
  const std::vector<std::type_index> want{
    typeid(ViewHVGridDrawer),          typeid(ViewCellCursorDrawer),    typeid(ClsClassDrawer),
    typeid(ClsFloatingConnectorDrawer), typeid(ClsFixedConnectorDrawer), typeid(ClsSingleTextDrawer),
    typeid(ViewSelectedRangeDrawer),   typeid(ViewViewportDrawer),
  };
  EXPECT_EQ(types_of(canvas.get_drawers()), want);
  std::vector<bool> working;
  for (const auto& d : canvas.get_drawers())
    working.push_back(d->get_for_working());
  EXPECT_EQ(working, (std::vector<bool>{false, false, false, false, false, true, false, false}));
}

class ClsListedExporter : public ClsExportingCnavas {
public:
  using ClsExportingCnavas::ClsExportingCnavas;
  using ClsExportingCnavas::new_drawers;
};

TEST(ClsCanvas, TheExporterDrawsTheBackgroundTheBoxesTheFixedConnectorsAndTheFreeTexts)
{
  ClsDrawKit kit;
  const auto exporter = ViewExportingCnavas::create<ClsListedExporter>(kit.ctx, {0, 0, 10, 10});
  const std::vector<std::type_index> want{typeid(ViewFillingBackgroundDrawer), typeid(ClsClassDrawer),
                                          typeid(ClsFixedConnectorDrawer), typeid(ClsSingleTextDrawer)};
  EXPECT_EQ(types_of(exporter->new_drawers()), want);
}

TEST(ClsCanvas, OnScreenAnEmptyDocumentShowsTheGridAndTheCursorFrameAndAFocusedConnectorItsColour)
{
  VELKARO_REQUIRE_GTK();
  ClsDrawKit kit;
  kit.ctx->set_pos({0, 0});
  auto canvas = std::make_shared<ClsCanvas>(*kit.ctx);
  CanvasHarness harness(*kit.ctx, canvas, 400, 300);
  const auto palette = ViewColorMap::create_dark();
  // Empty: only the background, the grid's colours and the cursor frame's.
  {
    const auto image = harness.render();
    const Pixel background = to_pixel(palette->get(ViewColor::background));
    const Pixel frame = to_pixel(palette->get(ViewColor::active_cell_frame));
    // Inside a cell away from the cursor: background.
    const Rectangle c = kit.cell(2, 2);
    EXPECT_TRUE(near(pixel_at(image, int(c.x + c.width / 2), int(c.y + c.height / 2)), background));
    // On the cursor cell's frame: its colour somewhere along the top edge.
    bool framed = false;
    const Rectangle cur = kit.cell(0, 0);
    for (int y = 0; y < 4 && !framed; ++y)
      framed = near(pixel_at(image, int(cur.x + cur.width / 2), int(cur.y) + y), frame, 40);
    EXPECT_TRUE(framed);
  }
  // A focused connector between two boxes, in its own colour.
  cls_put_class(*kit.ws, 1, 1, "A");
  cls_put_class(*kit.ws, 5, 1, "B");
  const auto con = cls_draw(*kit.ws, "dependency", {1, 1}, {5, 1});
  con->focus = true;
  harness.settle();
  const auto image = harness.render();
  const auto& seg = *con->get_segments().front();
  const Point start = kit.ws->grid->get_top_left_point(seg.start);
  const Point end = kit.ws->grid->get_top_left_point(seg.end);
  const double mx = (seg.start_point.get_x() + start.get_x() + seg.end_point.get_x() + end.get_x()) / 2;
  const double my = seg.start_point.get_y() + start.get_y();
  const Pixel want = to_pixel(palette->get(ViewColor::active_connector_line));
  bool drawn = false;
  for (int j = -1; j <= 1 && !drawn; ++j)
    drawn = near(pixel_at(image, int(mx), int(my) + j), want, 10);
  EXPECT_TRUE(drawn);
}

} // namespace
} // namespace velkaro::test
