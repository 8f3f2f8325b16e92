// The sequence canvas and exporter: their drawers in drawing order, an
// export without the canvas's grid, cursor frame, selection, text caret or
// elements in process, an export that cannot be written, and on screen the
// range mode's fill under the elements and the selection of the other modes
// over them.

#include <algorithm>
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
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/grid_drawer.h"
#include "view/pixels_for_test.h"
#include "view/single_text_drawer.h"
#include "view/png_reader_for_test.h"
#include "view/viewport_drawer.h"

namespace velkaro::test {
namespace {

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

// The pixels in which two images of one size differ.
int differing_pixels(const Cairo::RefPtr<Cairo::ImageSurface>& a, const Cairo::RefPtr<Cairo::ImageSurface>& b)
{
  EXPECT_EQ(a->get_width(), b->get_width());
  EXPECT_EQ(a->get_height(), b->get_height());
  int n = 0;
  for (int y = 0; y < std::min(a->get_height(), b->get_height()); ++y)
    for (int x = 0; x < std::min(a->get_width(), b->get_width()); ++x)
      n += test::pixel_at(a, x, y) != test::pixel_at(b, x, y);
  return n;
}

// An export is a picture of the diagram: wherever the cursor stands (on a
// life head's name, on a free text, on a message's text, on a box) and
// whatever is in process, it is the image of the same document with the
// cursor on an empty cell and nothing in process. On screen the text under
// the cursor keeps its (inactive) caret.
TEST(SeqCanvasTest, AnExportShowsNoCaretNoActiveElementAndNothingInProcess)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  test::named_life_line(*k.ws, 1, 0, 4, "a");
  test::named_life_line(*k.ws, 5, 0, 4, "b");
  test::box(*k.ws, 5, 2, 3);
  const auto msg = test::message(*k.ws, 1, 5, 2, SeqMsgTypeTypes::SYNCHRONOUS, {"", "call"});
  const auto note = SeqTextElement::create_with_text(nullptr, "note");
  test::put(*k.ws, note, 7, 3);
  k.finish();
  const Rectangle all = k.up_to(8, 5);
  test::TempDir dir;
  k.ctx->set_pos({8, 5});
  const auto plain = k.export_png(all, dir, "plain.png");

  struct Case {
    const char* what;
    CellPos cursor;
    std::shared_ptr<ModelElement> in_process;
  };
  const Case cases[] = {
    {"the cursor on a life head's name", {1, 0}, nullptr},
    {"the cursor on a free text", {7, 3}, nullptr},
    {"the cursor on a message's text", {3, 2}, nullptr},
    {"the cursor on a box", {5, 3}, nullptr},
    {"the cursor on a message", {1, 2}, nullptr},
    {"a message in process", {8, 5}, msg},
    {"a box in process", {8, 5}, test::at<SeqExecSpec>(*k.ws, 5, 2)},
    {"a life line in process", {8, 5}, test::at<SeqLifeLine>(*k.ws, 1, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    k.ctx->set_pos(c.cursor);
    if (c.in_process)
      c.in_process->set_in_process(true);
    const auto image = k.export_png(all, dir, "editing.png");
    EXPECT_EQ(differing_pixels(image, plain), 0);
    k.ws->clear_in_process();
  }

  // The same drawers on a context that shows the editor (as the canvas
  // does) draw the caret at the start of the text under the cursor.
  k.ctx->set_pos({7, 3});
  ASSERT_EQ(k.ctx->get_now_text_elm(), note);
  const auto exporter = ViewExportingCnavas::create<ListedExporter>(k.ctx, all);
  const auto shown = ViewDrawerContext::create_make_surface(all);
  shown->color_map = ViewColorMap::create_light();
  for (const auto& drawer : exporter->new_drawers())
    drawer->draw_for(shown, k.ctx);
  shown->surface->flush();
  Rectangle text = note->get_rect();
  text.x += k.cell(7, 3).x;
  text.y += k.cell(7, 3).y;
  const Rectangle caret{text.x - 1, text.y, 3, text.height};
  EXPECT_GT(test::inked(shown->surface, caret), test::inked(plain, caret));
}

// A diagram taller than the images cairo makes (32,767 pixels) is
// exported whole, band by band: its last rows are there as drawn.
TEST(SeqCanvasTest, ADiagramTallerThanCairosImagesIsExportedWhole)
{
  VELKARO_REQUIRE_GTK();
  test::SeqDrawKit k;
  constexpr int32_t LAST = 1000;
  test::named_life_line(*k.ws, 1, 0, LAST, "a");
  test::named_life_line(*k.ws, 3, 0, LAST, "b");
  test::message(*k.ws, 1, 3, 1, SeqMsgTypeTypes::SYNCHRONOUS, {"", "first"});
  test::message(*k.ws, 3, 1, LAST - 1, SeqMsgTypeTypes::REPLY, {"", "last"});
  k.finish();
  const Rectangle all = k.up_to(4, LAST);
  ASSERT_GT(all.height, 32767);
  test::TempDir dir;
  const auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(k.ctx, all);
  ASSERT_TRUE(exporter->export_png(dir.file("tall.png"))) << exporter->get_last_error();
  const test::PngImage image = test::read_png(dir.file("tall.png"));
  ASSERT_TRUE(image.ok()) << image.error;
  EXPECT_EQ(image.width(), int(all.width));
  EXPECT_EQ(image.height(), int(all.height));
  // The life lines run on to the bottom, and the last message's line and
  // text are drawn in its row.
  const auto ink_in = [&image](const Rectangle& r) {
    int n = 0;
    for (int y = int(r.y); y < int(r.get_bottom()); ++y)
      for (int x = int(r.x); x < int(r.get_right()); ++x)
        n += image.at(x, y) != test::rgb(255, 255, 255);
    return n;
  };
  EXPECT_GT(ink_in(k.cell(1, LAST)), 0);
  EXPECT_GT(ink_in(k.cell(3, LAST)), 0);
  EXPECT_GT(ink_in(k.cell(2, LAST - 1)), 0);
  EXPECT_EQ(ink_in(k.cell(2, LAST - 2)), 0);
  EXPECT_EQ(ink_in(k.cell(0, LAST)), 0);
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
