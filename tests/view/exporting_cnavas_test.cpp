// The PNG exporter base: the image's size and origin, one pass without
// state resets between drawers, images beyond cairo's sizes drawn in bands
// and pieces, and writing that never reports success for an image it did
// not write nor costs an existing file.

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <cairomm/surface.h>
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ctrl/test_kind.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"
#include "view/exporting_cnavas.h"
#include "view/filling_drawer.h"
#include "view/pixels_for_test.h"
#include "view/png_reader_for_test.h"

namespace velkaro {
namespace {

using test::Pixel;

std::string contents_of(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> files_in(const std::filesystem::path& dir)
{
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Fills the rectangle (x, y, w, h) with the current source, or first sets
// the source to colour when it has one.
class BoxDrawer : public ViewDrawer {
public:
  BoxDrawer(Rectangle box, std::optional<GdkRGBA> colour) : m_box(box), m_colour(colour) {}
  void draw() override
  {
    if (m_colour)
      set_source(*m_colour);
    get_cr()->rectangle(m_box.x, m_box.y, m_box.width, m_box.height);
    get_cr()->fill();
  }

private:
  Rectangle m_box;
  std::optional<GdkRGBA> m_colour;
};

// An exporter whose drawers the test gives, and whose last step can fail.
class TestExporter : public ViewExportingCnavas {
public:
  TestExporter(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect, DrawerList drawers)
    : ViewExportingCnavas(ctrl, rect), m_drawers(std::move(drawers))
  {
  }
  bool fail_rename = false;

protected:
  DrawerList new_drawers() override { return m_drawers; }
  bool replace_file(const std::string& temp, const std::string& target, std::string& error) override
  {
    if (!fail_rename)
      return ViewExportingCnavas::replace_file(temp, target, error);
    error = "interrupted";
    return false;
  }

private:
  DrawerList m_drawers;
};

TEST(ExportingCnavasTest, TheBaseExporterWritesATransparentImageOfTheTruncatedSize)
{
  test::KindKit kit;
  test::TempDir dir;
  const auto exporter = ViewExportingCnavas::create(kit.ctx, {3.5, 7.9, 40.9, 20.2});
  ASSERT_TRUE(exporter);
  ASSERT_TRUE(exporter->export_png(dir.file("empty.png"))) << exporter->get_last_error();
  EXPECT_EQ(exporter->get_last_error(), "");
  const auto image = Cairo::ImageSurface::create_from_png(dir.file("empty.png"));
  EXPECT_EQ(image->get_width(), 40);
  EXPECT_EQ(image->get_height(), 20);
  EXPECT_EQ(test::count_unlike(image, 0, 0, 40, 20, Pixel{0, 0, 0, 0}), 0);
  EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"empty.png"});
}

TEST(ExportingCnavasTest, TheImageStartsAtTheRectanglesCornerAndUsesTheLightPalette)
{
  test::KindKit kit;
  test::TempDir dir;
  const auto exporter = ViewExportingCnavas::create<TestExporter>(
    kit.ctx, {100, 50, 30, 20},
    ViewExportingCnavas::DrawerList{std::make_shared<ViewFillingBackgroundDrawer>(),
                                    std::make_shared<BoxDrawer>(Rectangle{100, 50, 5, 5}, GdkRGBA{1, 0, 0, 1})});
  ASSERT_TRUE(exporter->export_png(dir.file("out.png"))) << exporter->get_last_error();
  const auto image = Cairo::ImageSurface::create_from_png(dir.file("out.png"));
  EXPECT_EQ(test::pixel_at(image, 0, 0), test::rgb(255, 0, 0));
  EXPECT_EQ(test::pixel_at(image, 4, 4), test::rgb(255, 0, 0));
  EXPECT_EQ(test::pixel_at(image, 5, 5), test::rgb(255, 255, 255));
  EXPECT_EQ(test::pixel_at(image, 29, 19), test::rgb(255, 255, 255));
}

TEST(ExportingCnavasTest, DrawersRunInOnePassWithoutResettingTheCairoState)
{
  test::KindKit kit;
  test::TempDir dir;
  // The second box sets no colour: it fills with the one the first left.
  const auto exporter = ViewExportingCnavas::create<TestExporter>(
    kit.ctx, {0, 0, 20, 10},
    ViewExportingCnavas::DrawerList{std::make_shared<BoxDrawer>(Rectangle{0, 0, 5, 5}, GdkRGBA{0, 0, 1, 1}),
                                    std::make_shared<BoxDrawer>(Rectangle{10, 0, 5, 5}, std::nullopt)});
  ASSERT_TRUE(exporter->export_png(dir.file("out.png")));
  const auto image = Cairo::ImageSurface::create_from_png(dir.file("out.png"));
  EXPECT_EQ(test::pixel_at(image, 12, 2), test::rgb(0, 0, 255));
}

// Strokes a circle or a slanting line (antialiased edges), or shows a text.
class SoftEdgesDrawer : public ViewDrawer {
public:
  enum Shape { circle, slant, text };
  explicit SoftEdgesDrawer(Shape shape) : m_shape(shape) {}
  void draw() override
  {
    const auto& cr = get_cr();
    set_source(ViewColor::element_line);
    cr->set_line_width(1.5);
    if (m_shape == circle) {
      cr->arc(31.3, 17.7, 12.2, 0, 6.283);
      cr->stroke();
    } else if (m_shape == slant) {
      cr->move_to(2.2, 3.1);
      cr->line_to(57.9, 30.4);
      cr->stroke();
    } else {
      const auto layout = get_dc()->new_layout("Wg", 14);
      cr->move_to(12.4, 6.6);
      layout->show_in_cairo_context(cr);
    }
  }

private:
  Shape m_shape;
};

// Cut into bands anywhere, an export is the image one drawing of the whole
// gives, pixel for pixel. Cut into pieces side by side (as an image wider
// than cairo makes is), it is that image but for the rounding of
// antialiased edges near a cut: cairo's rasterizer splits an edge where a
// piece ends, and the coverage of nearby pixels may come out a few levels
// apart.
TEST(ExportingCnavasTest, BandsGiveTheImageOfOneDrawingAndPiecesNearlySo)
{
  test::KindKit kit;
  test::TempDir dir;
  const Rectangle rect{-3.5, -2.25, 64, 40};
  for (const auto shape : {SoftEdgesDrawer::circle, SoftEdgesDrawer::slant, SoftEdgesDrawer::text}) {
    const auto exporter = ViewExportingCnavas::create<TestExporter>(
      kit.ctx, rect,
      ViewExportingCnavas::DrawerList{std::make_shared<ViewFillingBackgroundDrawer>(),
                                      std::make_shared<SoftEdgesDrawer>(shape)});
    ASSERT_TRUE(exporter->export_png(dir.file("whole.png"))) << exporter->get_last_error();
    const auto whole = Cairo::ImageSurface::create_from_png(dir.file("whole.png"));
    ASSERT_GT(test::count_unlike(whole, 0, 0, 64, 40, test::rgb(255, 255, 255)), 30);
    for (const int rows : {1, 7, 0}) {
      for (const int columns : {0, 1, 5, 13}) {
        SCOPED_TRACE(std::to_string(shape) + ": " + std::to_string(rows) + " rows, " + std::to_string(columns) +
                     " columns");
        exporter->set_band_rows(rows);
        exporter->set_piece_columns(columns);
        ASSERT_TRUE(exporter->export_png(dir.file("cut.png"))) << exporter->get_last_error();
        const auto cut = Cairo::ImageSurface::create_from_png(dir.file("cut.png"));
        int differing = 0;
        int farthest = 0;
        for (int y = 0; y < 40; ++y)
          for (int x = 0; x < 64; ++x) {
            const test::Pixel a = test::pixel_at(cut, x, y);
            const test::Pixel b = test::pixel_at(whole, x, y);
            differing += a != b;
            farthest = std::max({farthest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
          }
        if (columns == 0) {
          EXPECT_EQ(differing, 0);
        } else {
          EXPECT_LE(farthest, 16);
        }
      }
    }
  }
}

// Images beyond the 32,767 pixels a side that cairo makes: drawn in bands
// however tall, in pieces side by side however wide, and read back as
// drawn, also where a box crosses the first piece's edge.
TEST(ExportingCnavasTest, AnImageTallerOrWiderThanCairoMakesIsExported)
{
  test::KindKit kit;
  test::TempDir dir;
  struct Case {
    const char* what;
    Rectangle rect;
    std::vector<Rectangle> boxes;
  };
  const Case cases[] = {
    {"tall", {0, 0, 30, 40000}, {{10, 32760, 5, 15}, {20, 39990, 6, 6}, {0, 0, 3, 3}}},
    {"wide", {0, 0, 40000, 20}, {{32760, 2, 15, 5}, {39990, 10, 6, 6}, {0, 0, 3, 3}}},
    // The writer's bands of so narrow an image would be taller than cairo
    // makes an image.
    {"narrow and tall", {0, 0, 2, 70000}, {{0, 32760, 1, 15}, {1, 69990, 1, 6}}},
  };
  const GdkRGBA red{1, 0, 0, 1};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewExportingCnavas::DrawerList drawers{std::make_shared<ViewFillingBackgroundDrawer>()};
    for (const Rectangle& box : c.boxes)
      drawers.push_back(std::make_shared<BoxDrawer>(box, red));
    const auto exporter = ViewExportingCnavas::create<TestExporter>(kit.ctx, c.rect, drawers);
    ASSERT_TRUE(exporter->export_png(dir.file("big.png"))) << exporter->get_last_error();
    const test::PngImage image = test::read_png(dir.file("big.png"));
    ASSERT_TRUE(image.ok()) << image.error;
    EXPECT_EQ(image.width(), int(c.rect.width));
    EXPECT_EQ(image.height(), int(c.rect.height));
    for (const Rectangle& box : c.boxes) {
      const int x0 = int(box.x), y0 = int(box.y), x1 = int(box.get_right()) - 1, y1 = int(box.get_bottom()) - 1;
      for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}, {(x0 + x1) / 2, (y0 + y1) / 2}})
        EXPECT_EQ(image.at(x, y), test::rgb(255, 0, 0)) << x << ", " << y;
      for (const auto& [x, y] : {std::pair{x0 - 1, y0}, {x1 + 1, y1}, {x0, y0 - 1}, {x1, y1 + 1}}) {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
          EXPECT_EQ(image.at(x, y), test::rgb(255, 255, 255)) << x << ", " << y;
        }
      }
    }
    // Nothing else is red.
    int red_pixels = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        red_pixels += image.at(x, y) == test::rgb(255, 0, 0);
    int expected = 0;
    for (const Rectangle& box : c.boxes)
      expected += int(box.width) * int(box.height);
    EXPECT_EQ(red_pixels, expected);
  }
}

TEST(ExportingCnavasTest, AnImageTooWideToWriteIsRefusedWithAMessage)
{
  test::KindKit kit;
  test::TempDir dir;
  const auto exporter = ViewExportingCnavas::create(kit.ctx, {0, 0, 600000000, 1});
  EXPECT_FALSE(exporter->export_png(dir.file("wide.png")));
  EXPECT_NE(exporter->get_last_error().find("600000000 pixels wide"), std::string::npos) << exporter->get_last_error();
  EXPECT_NE(exporter->get_last_error().find("536870911"), std::string::npos) << exporter->get_last_error();
  EXPECT_TRUE(files_in(dir.path()).empty());
}

TEST(ExportingCnavasTest, AnExportWhereNothingCanBeWrittenFailsWithAMessage)
{
  test::KindKit kit;
  test::TempDir dir;
  std::ofstream(dir.file("plain")) << "x";
  const auto exporter = ViewExportingCnavas::create(kit.ctx, {0, 0, 10, 10});
  for (const std::string& path :
       {dir.file("missing/out.png"), dir.file("plain/out.png"), dir.path().string(), std::string()}) {
    EXPECT_FALSE(exporter->export_png(path)) << path;
    EXPECT_NE(exporter->get_last_error(), "") << path;
  }
  EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"plain"});
}

// Each way an export over an existing file can fail leaves the file as it
// was and no temporary file behind.
TEST(ExportingCnavasTest, AFailedExportLeavesTheExistingFileAsItWas)
{
  test::KindKit kit;
  test::TempDir dir;
  const std::string target = dir.file("old.png");
  const std::string old_bytes = "an image the user keeps";
  std::ofstream(target, std::ios::binary) << old_bytes;

  struct Case {
    const char* what;
    Rectangle rect;
    bool fail_rename;
  };
  const Case cases[] = {
    // cairo's PNG writer refuses an empty image, after opening its file.
    {"empty image", {0, 0, 0, 0}, false},
    {"image too wide to be written", {0, 0, 6e8, 10}, false},
    {"rename interrupted", {0, 0, 10, 10}, true},
  };
  for (const Case& c : cases) {
    const auto exporter = ViewExportingCnavas::create<TestExporter>(
      kit.ctx, c.rect, ViewExportingCnavas::DrawerList{std::make_shared<ViewFillingBackgroundDrawer>()});
    exporter->fail_rename = c.fail_rename;
    EXPECT_FALSE(exporter->export_png(target)) << c.what;
    EXPECT_NE(exporter->get_last_error().find("old.png"), std::string::npos) << exporter->get_last_error();
    EXPECT_EQ(contents_of(target), old_bytes) << c.what;
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"old.png"}) << c.what;
  }
  // And a working export replaces it.
  const auto exporter = ViewExportingCnavas::create(kit.ctx, {0, 0, 4, 4});
  ASSERT_TRUE(exporter->export_png(target));
  EXPECT_EQ(Cairo::ImageSurface::create_from_png(target)->get_width(), 4);
  EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"old.png"});
}

TEST(ExportingCnavasTest, ASymbolicLinkStaysALink)
{
  test::KindKit kit;
  test::TempDir dir;
  std::ofstream(dir.file("real.png")) << "old";
  std::filesystem::create_symlink(dir.file("real.png"), dir.file("link.png"));
  const auto exporter = ViewExportingCnavas::create(kit.ctx, {0, 0, 4, 4});
  ASSERT_TRUE(exporter->export_png(dir.file("link.png"))) << exporter->get_last_error();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
  EXPECT_EQ(Cairo::ImageSurface::create_from_png(dir.file("real.png"))->get_width(), 4);
}

// An exporter whose image goes to a full disk: the bytes meant for the
// temporary file go to /dev/full, where every write fails with "no space
// left".
class FullDiskExporter : public ViewExportingCnavas {
public:
  using ViewExportingCnavas::ViewExportingCnavas;

protected:
  bool write_stream(const ViewPngWriter& png, int fd, std::string& error) override
  {
    (void)fd;
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0) {
      error = "/dev/full cannot be opened";
      return false;
    }
    const bool written = ViewExportingCnavas::write_stream(png, full, error);
    ::close(full);
    return written;
  }
};

TEST(ExportingCnavasTest, AFullDiskIsReportedAsTheSystemNamesIt)
{
  if (access("/dev/full", W_OK) != 0)
    GTEST_SKIP() << "/dev/full cannot be written here";
  test::KindKit kit;
  test::TempDir dir;
  const std::string target = dir.file("kept.png");
  std::ofstream(target) << "old";
  const auto exporter = ViewExportingCnavas::create<FullDiskExporter>(kit.ctx, {0, 0, 64, 64});
  EXPECT_FALSE(exporter->export_png(target));
  // As a save says it, not cairo's "error while writing to output stream".
  EXPECT_NE(exporter->get_last_error().find(g_strerror(ENOSPC)), std::string::npos) << exporter->get_last_error();
  EXPECT_NE(exporter->get_last_error().find("kept.png"), std::string::npos) << exporter->get_last_error();
  EXPECT_EQ(contents_of(target), "old");
  EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"kept.png"});
}

TEST(ExportingCnavasTest, ALinkToAFileNotYetThereIsWrittenThroughAndStaysALink)
{
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    // The links made in the folder, name to where it points (relative to
    // the folder unless absolute), the first exported to.
    std::vector<std::pair<std::string, std::string>> links;
    // The file written, relative to the folder; "" when the export fails.
    std::string written;
  };
  const Case cases[] = {
    {"relative", {{"link.png", "real.png"}}, "real.png"},
    {"into a folder", {{"link.png", "sub/real.png"}}, "sub/real.png"},
    {"absolute", {{"link.png", "@/real.png"}}, "real.png"},
    {"a chain", {{"link.png", "middle.png"}, {"middle.png", "sub/real.png"}}, "sub/real.png"},
    // Nothing is made where the link leads into nothing, nor for a ring.
    {"into a missing folder", {{"link.png", "none/real.png"}}, ""},
    {"a ring", {{"link.png", "other.png"}, {"other.png", "link.png"}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::KindKit kit;
    test::TempDir dir;
    fs::create_directory(dir.path() / "sub");
    for (const auto& [name, to] : c.links) {
      const std::string target = to.rfind("@/", 0) == 0 ? (dir.path() / to.substr(2)).string() : to;
      fs::create_symlink(target, dir.path() / name);
    }
    const std::vector<std::string> before = files_in(dir.path());
    const auto exporter = ViewExportingCnavas::create(kit.ctx, {0, 0, 6, 4});
    EXPECT_EQ(exporter->export_png(dir.file(c.links.front().first)), !c.written.empty())
      << exporter->get_last_error();
    for (const auto& link : c.links)
      EXPECT_TRUE(fs::is_symlink(dir.path() / link.first)) << link.first;
    if (c.written.empty()) {
      EXPECT_NE(exporter->get_last_error(), "");
      EXPECT_EQ(files_in(dir.path()), before);
      EXPECT_TRUE(fs::is_empty(dir.path() / "sub"));
      continue;
    }
    EXPECT_EQ(Cairo::ImageSurface::create_from_png(dir.file(c.written))->get_width(), 6);
    // The file alone is new: no temporary file is left beside it.
    std::vector<std::string> after = before;
    if (fs::path(c.written).has_parent_path()) {
      EXPECT_EQ(files_in(dir.path() / "sub"), std::vector<std::string>{"real.png"});
    } else {
      after.push_back(c.written);
      std::sort(after.begin(), after.end());
    }
    EXPECT_EQ(files_in(dir.path()), after);
  }
}

TEST(ExportingCnavasTest, ANullControllerMakesNoExporter)
{
  const test::LogCapture log(G_LOG_LEVEL_CRITICAL);
  EXPECT_EQ(ViewExportingCnavas::create(nullptr, {0, 0, 4, 4}), nullptr);
  ASSERT_EQ(log.criticals.size(), 1u);
  EXPECT_NE(log.criticals[0].find("ctrl != nullptr"), std::string::npos);
}

} // namespace
} // namespace velkaro
