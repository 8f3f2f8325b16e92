// The sequence canvas and exporter: their drawers in drawing order, an
// export without the canvas's grid, cursor frame or selection, an export
// that cannot be written, and on screen the range mode's fill under the
// elements and the selection of the other modes over them.

#include <filesystem>
#include <fstream>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "seq/canvas.h"
#include "seq/change_range_drawer.h"
#include "seq/exporting_cnavas.h"
#include "seq/fragment_drawer.h"
#include "seq/life_head_drawer.h"
#include "seq/life_line_drawer.h"
#include "seq/message_drawer.h"
#include "seq/selected_range_drawer_s.h"
#include "seq/seq_draw_for_test.h"
#include "view/canvas_harness_for_test.h"
#include "view/cell_cursor_drawer.h"
#include "view/color_map.h"
#include "view/filling_drawer.h"
#include "view/grid_drawer.h"
#include "view/pixels_for_test.h"
#include "view/single_text_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro::test {
namespace {

template <class List>
std::vector<std::type_index> types_of(const List& drawers)
{
  std::vector<std::type_index> types;
  for (const auto& d : drawers)
    types.emplace_back(typeid(*d));
  return types;
}

TEST(SeqCanvasTest, TheCanvasDrawsItsTenDrawersInOrderAndTheElementsAgainInTheWorkingPass)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  SeqCanvas canvas(*k.ctx);
  const std::vector<std::type_index> want{
    typeid(ViewHVGridDrawer),      typeid(SeqChangeRangeDrawer), typeid(ViewCellCursorDrawer),
    typeid(SeqLifeHeadDrawer),     typeid(SeqLifeLineDrawer),    typeid(SeqMessageDrawer),
    typeid(SeqSingleTextDrawer),   typeid(SeqFragmentDrawer),    typeid(SeqSelectedRangeDrawerS),
    typeid(ViewViewportDrawer),
  };
  EXPECT_EQ(types_of(canvas.get_drawers()), want);
  std::vector<bool> working;
  for (const auto& d : canvas.get_drawers())
    working.push_back(d->get_for_working());
  EXPECT_EQ(working, (std::vector<bool>{false, false, false, true, true, true, true, true, false, false}));
}

// The exporter's drawer list, for the test.
class ListedExporter : public SeqExportingCnavas {
public:
  using SeqExportingCnavas::SeqExportingCnavas;
  using SeqExportingCnavas::new_drawers;
};

TEST(SeqCanvasTest, TheExporterDrawsTheBackgroundAndTheFiveElementDrawers)
{
  test::SeqDrawKit k;
  const auto exporter = ViewExportingCnavas::create<ListedExporter>(k.ctx, {0, 0, 10, 10});
  const std::vector<std::type_index> want{
    typeid(ViewFillingBackgroundDrawer), typeid(SeqLifeHeadDrawer),   typeid(SeqLifeLineDrawer),
    typeid(SeqMessageDrawer),            typeid(SeqSingleTextDrawer), typeid(SeqFragmentDrawer),
  };
  EXPECT_EQ(types_of(exporter->new_drawers()), want);
  // Each export makes its own.
  EXPECT_NE(exporter->new_drawers()[1], exporter->new_drawers()[1]);
}

TEST(SeqCanvasTest, AnExportShowsNoGridNoCursorFrameAndNoSelection)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  test::named_life_line(*k.ws, 1, 0, 3, "a");
  k.finish();
  k.ctx->set_pos({3, 2});
  k.ctx->selected_range = std::make_shared<CellRange>(CellRange{{0, 1}, {3, 3}});
  test::TempDir dir;
  const auto image = k.export_png(k.up_to(4, 4), dir, "no_chrome.png");
  const Pixel white = rgb(255, 255, 255);
  // The cursor's empty cell and the selected empty cells: background only,
  // grid lines and the cursor frame included.
  const Rectangle cursor = k.cell(3, 2);
  EXPECT_EQ(test::inked(image, {cursor.x - 1, cursor.y - 1, cursor.width + 2, cursor.height + 2}), 0);
  const Rectangle left = k.cell(0, 1);
  EXPECT_EQ(test::pixel_at(image, int(left.get_xmid()), int(left.get_ymid())), white);
  EXPECT_EQ(test::inked(image, {0, left.y, left.get_right(), k.cell(0, 3).get_bottom()}), 0);
  // The life line is there.
  EXPECT_GT(test::inked(image, k.cell(1, 2)), 0);
}

TEST(SeqCanvasTest, AnExportThatCannotBeWrittenIsReportedAndChangesNothing)
{
  test::SeqDrawKit k;
  test::TempDir dir;
  const auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(k.ctx, {0, 0, 50, 50});
  const std::string missing = dir.file("no-such-folder/out.png");
  EXPECT_FALSE(exporter->export_png(missing));
  EXPECT_NE(exporter->get_last_error().find(missing), std::string::npos) << exporter->get_last_error();
  EXPECT_FALSE(std::filesystem::exists(missing));
  // A folder in the way stays as it was, and nothing is left beside it.
  const std::string folder = dir.file("taken.png");
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(exporter->export_png(folder));
  EXPECT_FALSE(exporter->get_last_error().empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  // A good path afterwards works and clears the message.
  EXPECT_TRUE(exporter->export_png(dir.file("fine.png"))) << exporter->get_last_error();
  EXPECT_EQ(exporter->get_last_error(), "");
}

// On screen (dark palette, zoom 1): a life line under a head at (1, 0), the
// selection over the head's cell and the cells around it.
struct OnScreen : ::testing::Test {
  void SetUp() override
  {
    VELKARO_REQUIRE_GTK();
    test::named_life_line(*k.ws, 1, 0, 3, "a");
    k.finish();
    canvas = std::make_shared<SeqCanvas>(*k.ctx);
    harness = std::make_unique<test::CanvasHarness>(*k.ctx, canvas, 400, 300);
    k.ctx->set_pos({4, 4});
    k.ctx->selected_range = std::make_shared<CellRange>(CellRange{{2, 1}, {0, 0}});
    palette = ViewColorMap::create_dark();
  }

  // The pixel inside the head's box (filled in element_fill) and one of
  // an empty selected cell.
  Pixel in_head()
  {
    const Rectangle head = k.cell(1, 0);
    const Rectangle box = test::at<SeqLifeHead>(*k.ws, 1, 0)->get_rect();
    return test::pixel_at(image, int(head.x + box.x + 2), int(head.y + box.y + 2));
  }
  Pixel in_empty() { return test::pixel_at(image, int(k.cell(0, 1).x + 10), int(k.cell(0, 1).y + 10)); }
  Pixel colour(ViewColor c) { return test::to_pixel(palette->get(c)); }
  Pixel over(ViewColor fill, ViewColor under) { return test::blend(palette->get(fill), colour(under)); }

  test::SeqDrawKit k;
  std::shared_ptr<SeqCanvas> canvas;
  std::unique_ptr<test::CanvasHarness> harness;
  std::shared_ptr<ViewColorMap> palette;
  Cairo::RefPtr<Cairo::ImageSurface> image;
};

TEST_F(OnScreen, TheRangeModesFillLiesUnderTheElements)
{
  const auto range_mode = k.ctx->get_mode(typeid(test::StillRangeMode));
  ASSERT_TRUE(range_mode);
  k.ctx->set_now_mode(range_mode);
  image = harness->render();
  test::TempDir dir;
  image->write_to_png(dir.file("on_screen_range_mode.png"));
  test::keep_png(dir.file("on_screen_range_mode.png"), "on_screen_range_mode.png");
  EXPECT_TRUE(test::near(in_head(), colour(ViewColor::element_fill))) << in_head();
  EXPECT_TRUE(test::near(in_empty(), over(ViewColor::range_cell_fill, ViewColor::background))) << in_empty();
}

TEST_F(OnScreen, ASelectionOfAnyOtherModeLiesOverTheElements)
{
  image = harness->render();
  test::TempDir dir;
  image->write_to_png(dir.file("on_screen_selection.png"));
  test::keep_png(dir.file("on_screen_selection.png"), "on_screen_selection.png");
  EXPECT_TRUE(test::near(in_head(), over(ViewColor::selected_cell_fill, ViewColor::element_fill))) << in_head();
  EXPECT_TRUE(test::near(in_empty(), over(ViewColor::selected_cell_fill, ViewColor::background))) << in_empty();
  // Without a selection neither fill is drawn.
  k.ctx->selected_range.reset();
  image = harness->render();
  EXPECT_TRUE(test::near(in_head(), colour(ViewColor::element_fill))) << in_head();
  EXPECT_TRUE(test::near(in_empty(), colour(ViewColor::background))) << in_empty();
}

} // namespace
} // namespace velkaro::test
