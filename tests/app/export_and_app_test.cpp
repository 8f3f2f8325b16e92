// PNG export through the window, the manual's language, and the application
// object's windows.

#include <filesystem>
#include <fstream>

#include <cairomm/surface.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_for_test.h"
#include "app/main_window.h"
#include "app/manual.h"
#include "common/cell_range.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

namespace fs = std::filesystem;

class ExportTest : public MainWindowFixture {
protected:
  void SetUp() override
  {
    MainWindowFixture::SetUp();
    if (app)
      window = make_window();
  }

  void insert_life_line(CellPos pos) { MainWindowFixture::insert_life_line(*window, pos); }

  Rectangle range_rect(CellPos a, CellPos b) const
  {
    return window->get_ws()->grid->get_range_rect(CellRange{a, b});
  }

  // The size of the PNG image at path.
  static std::pair<int, int> png_size(const std::string& path)
  {
    const auto image = Cairo::ImageSurface::create_from_png(path);
    return {image->get_width(), image->get_height()};
  }

  std::unique_ptr<MainWindow> window;
};

TEST_F(ExportTest, WithoutSelectionTheOccupiedCellsAreExportedFromTheirTopLeftCell)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line({2, 1});
  insert_life_line({4, 1});
  const auto used = window->get_ws()->get_cells()->get_exists_range();
  EXPECT_EQ(used->start.x, 2);
  EXPECT_EQ(used->start.y, 1);
  const Rectangle expected = range_rect(used->start, used->end);
  const Rectangle rect = window->export_rect();
  EXPECT_EQ(rect.x, expected.x);
  EXPECT_EQ(rect.y, expected.y);
  EXPECT_GT(rect.x, 0);
  EXPECT_EQ(rect.width, expected.width);
  EXPECT_EQ(rect.height, expected.height);

  // The command line's export reaches the window's action with its path.
  const std::string path = dir.file("out.png");
  ASSERT_TRUE(window->activate_action("export-png", path));
  EXPECT_EQ(png_size(path), std::make_pair(int(rect.width), int(rect.height)));
  EXPECT_TRUE(dialogs.choosers.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ExportTest, ASelectionIsExportedExactlyEmptyCellsIncluded)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line({1, 0});
  // Corners as a drag from the bottom right makes them.
  window->get_ctrl()->selected_range = CellRange::create({6, 8}, {0, 2});
  const Rectangle expected = range_rect({0, 2}, {6, 8});
  const Rectangle rect = window->export_rect();
  EXPECT_EQ(rect.x, expected.x);
  EXPECT_EQ(rect.y, expected.y);
  EXPECT_EQ(rect.width, expected.width);
  EXPECT_EQ(rect.height, expected.height);
  const std::string path = dir.file("sel.png");
  dialogs.chooser_answers = {path};
  // From a menu, a button or a bound key: the dialog asks for the path.
  window->get_ctrl()->action("export-png-n");
  EXPECT_EQ(png_size(path), std::make_pair(int(rect.width), int(rect.height)));
  EXPECT_EQ(window->get_ctrl()->selected_range->start.x, 6) << "the selection itself is left as it was";
}

TEST_F(ExportTest, AnExportWithoutPathAsksForOneAndACancelWritesNothing)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line({0, 0});
  EXPECT_FALSE(window->export_png(""));
  ASSERT_EQ(dialogs.choosers.size(), 1u);
  EXPECT_EQ(dialogs.choosers[0].title, "Export PNG file");
  const std::string path = dir.file("k.png");
  dialogs.chooser_answers = {path};
  ASSERT_TRUE(window->activate_action("export-png", std::string()));
  EXPECT_TRUE(fs::exists(path));
}

TEST_F(ExportTest, AFailedExportIsShownAndLeavesTheFileAsItWas)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line({0, 0});
  // Nobody may create a file there, root included.
  const fs::path locked = "/proc";
  EXPECT_FALSE(window->export_png((locked / "x.png").string()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("x.png"), std::string::npos) << dialogs.messages[0];
  EXPECT_FALSE(fs::exists(locked / "x.png"));
}

TEST(Manual, LanguageIsTheFirstOfEnglishOrJapanese)
{
  struct Case {
    std::vector<std::string> names;
    const char* expected;
  };
  const Case cases[] = {
    {{"ja_JP", "ja", "en", "C"}, "ja"},
    {{"de_DE", "de", "C"}, "en"},
    {{"en_GB", "en", "ja", "C"}, "en"},
    {{"ja_JP.UTF-8", "ja_JP", "C"}, "en"},
    {{}, "en"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(manual_language(c.names), c.expected);
}

TEST(Manual, PagesAreFoundBesideTheExecutableAndOpenedAsFileAddresses)
{
  const auto folders = manual_folders();
  ASSERT_GE(folders.size(), 2u);
  const fs::path exe = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(folders[0], (exe.parent_path() / "manual").string());
  EXPECT_EQ(folders.back(), std::string(VELKARO_DATA_DIR) + "/manual");
  EXPECT_EQ(manual_uri("/opt/a b/en.html"), "file:///opt/a%20b/en.html");
}

TEST(Application, EveryActivationOpensANewWindowWithItsOwnDocument)
{
  VELKARO_REQUIRE_GTK();
  auto app = VelkaroApp::create(Gio::APPLICATION_NON_UNIQUE);
  ASSERT_TRUE(app->register_application());
  app->activate();
  app->activate();
  const auto windows = app->get_main_windows();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_NE(windows[0]->get_ws(), windows[1]->get_ws());
  EXPECT_TRUE(windows[0]->get_visible());
  EXPECT_EQ(app->get_windows().size(), 2u);
  // "exit" on an unmodified document closes that window only.
  windows[0]->get_ctrl()->action("exit");
  pump();
  EXPECT_EQ(app->get_main_windows().size(), 1u);
  EXPECT_EQ(app->get_windows().size(), 1u);
}

} // namespace
} // namespace velkaro::test
