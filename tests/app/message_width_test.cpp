// The window's messages fit on the screen: a failure naming a long path
// wraps, so that its cause stays in sight.

#include <memory>
#include <string>
#include <vector>

#include <gdkmm/screen.h>
#include <gtest/gtest.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "seq/context.h"
#include "support/test_env.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

// What a message dialog showed: its text and the width it took on screen.
struct ShownMessage {
  std::string text;
  int width;
};

TEST(MainWindowMessages, AFailureNamingALongPathWrapsWithinTheScreen)
{
  VELKARO_REQUIRE_GTK();
  auto app = test_application();
  FakeDialogs fakes;
  MainWindowDialogs d = fakes.make();
  std::vector<ShownMessage> shown;
  int screen_width = 0;
  d.show_message = [&](std::unique_ptr<Gtk::MessageDialog> dialog) {
    dialog->show();
    frame(*dialog);
    screen_width = dialog->get_screen()->get_width();
    shown.push_back({dialog->property_text().get_value(), dialog->get_allocated_width()});
  };
  MainWindow window(app, std::move(d));
  window.get_ctrl()->set_pos({0, 0});
  ASSERT_TRUE(window.get_ctrl()->action("insert-element"));

  TempDir dir;
  // A folder that is not there, whose name is nearly as long as a file
  // system allows, with no space or slash in it to break at; then more, to
  // 300 characters in all.
  const std::string name(250, 'n');
  const std::string path = dir.file(name + "/" + std::string(300 - dir.path().string().size() - 256, 'm') + ".png");
  ASSERT_EQ(path.size(), 300u);
  EXPECT_FALSE(window.export_png(path));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find(path), std::string::npos) << shown[0].text;
  EXPECT_NE(shown[0].text.find("No such file or directory"), std::string::npos) << shown[0].text;
  ASSERT_GT(screen_width, 0);
  EXPECT_LT(shown[0].width, screen_width * 3 / 4) << "the message does not wrap";
}

} // namespace
} // namespace velkaro::test
