// Opening the manual in the desktop's browser: when no program shows the
// page, whether the opener cannot be started or finds nothing to show it
// with, the window says so in a message that gives the page's path.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "app/manual.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

namespace fs = std::filesystem;

// PATH is dir alone while it lives, so that the opener found is the test's.
class OpenerPathOnly {
public:
  explicit OpenerPathOnly(const fs::path& dir)
  {
    if (const char* old = g_getenv("PATH"))
      m_old = old;
    g_setenv("PATH", dir.c_str(), TRUE);
  }
  ~OpenerPathOnly()
  {
    if (m_old)
      g_setenv("PATH", m_old->c_str(), TRUE);
    else
      g_unsetenv("PATH");
  }
  OpenerPathOnly(const OpenerPathOnly&) = delete;
  OpenerPathOnly& operator=(const OpenerPathOnly&) = delete;

private:
  std::optional<std::string> m_old;
};

// An opener in dir that writes the address it was given into "opened"
// beside it (with the shell alone: PATH holds nothing else), then ends
// with status.
void write_fake_opener(const fs::path& dir, int status)
{
  const fs::path opener = dir / MANUAL_OPENER;
  std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (dir / "opened").string() << "'\nexit " << status
                        << "\n";
  fs::permissions(opener, fs::perms::owner_all);
}

// Runs the main loop until done() holds or about ten seconds have passed.
template <class Done>
bool pump_until_manual(Done done)
{
  for (int i = 0; i < 1000 && !done(); ++i)
    pump(10);
  return done();
}

class ManualOpening : public MainWindowFixture {
protected:
  void SetUp() override
  {
    MainWindowFixture::SetUp();
    if (!app)
      return;
    window = make_window();
    fs::create_directories(page.parent_path());
    std::ofstream(page) << "<html></html>";
    fs::create_directories(bin);
  }

  std::string opened() const
  {
    std::ifstream in(bin / "opened");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // A path with a space, which the address escapes and the message does not.
  const fs::path page = dir.path() / "the manual" / "en.html";
  const fs::path bin = dir.path() / "bin";
  std::unique_ptr<MainWindow> window;
};

TEST_F(ManualOpening, AnOpenerThatCannotBeStartedIsShownWithThePagesPath)
{
  VELKARO_REQUIRE_GTK();
  const OpenerPathOnly path(bin);
  window->show_manual_page(page.string());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find(page.string()), std::string::npos) << dialogs.messages[0];
  EXPECT_NE(dialogs.messages[0].find(MANUAL_OPENER), std::string::npos) << dialogs.messages[0];
}

TEST_F(ManualOpening, AnOpenerThatFindsNoBrowserIsShownWithThePagesPath)
{
  VELKARO_REQUIRE_GTK();
  // As xdg-open ends where no browser is installed.
  write_fake_opener(bin, 3);
  const OpenerPathOnly path(bin);
  window->show_manual_page(page.string());
  ASSERT_TRUE(pump_until_manual([&] { return !dialogs.messages.empty(); }));
  EXPECT_EQ(opened(), manual_uri(page.string()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find(page.string()), std::string::npos) << dialogs.messages[0];
  EXPECT_NE(dialogs.messages[0].find("3"), std::string::npos) << dialogs.messages[0];
}

TEST_F(ManualOpening, AnOpenerThatShowsThePageSaysNothing)
{
  VELKARO_REQUIRE_GTK();
  write_fake_opener(bin, 0);
  const OpenerPathOnly path(bin);
  window->show_manual_page(page.string());
  ASSERT_TRUE(pump_until_manual([&] { return opened() == manual_uri(page.string()); }));
  pump(300);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ManualOpening, AWindowGoneBeforeTheOpenerEndsIsNotTold)
{
  VELKARO_REQUIRE_GTK();
  write_fake_opener(bin, 3);
  const OpenerPathOnly path(bin);
  window->show_manual_page(page.string());
  window.reset();
  ASSERT_TRUE(pump_until_manual([&] { return opened() == manual_uri(page.string()); }));
  pump(300);
  EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
} // namespace velkaro::test
