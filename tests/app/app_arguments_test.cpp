// The application run as the program runs it, on a command line: files
// named there are not opened, and the program says how files are opened.

#include <string>
#include <vector>

#include <glib.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/main_window.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

// What g_printerr prints while it lives, instead of printing it.
class PrintedErrorLines {
public:
  PrintedErrorLines() : m_old(g_set_printerr_handler(&PrintedErrorLines::on_print)) { s_lines.clear(); }
  ~PrintedErrorLines() { g_set_printerr_handler(m_old); }
  PrintedErrorLines(const PrintedErrorLines&) = delete;
  PrintedErrorLines& operator=(const PrintedErrorLines&) = delete;

  const std::vector<std::string>& lines() const { return s_lines; }

private:
  static void on_print(const gchar* text) { s_lines.emplace_back(text); }

  static inline std::vector<std::string> s_lines;
  GPrintFunc m_old;
};

// What one run of the application came to.
struct ArgumentsRun {
  int status = -1;
  int windows = 0;
  // No window's document has a file.
  bool documents_empty = true;
  std::vector<std::string> printed;
};

// Runs a new application on args; each window it opens is looked at and
// closed once the main loop is idle, and the application ends with it.
ArgumentsRun run_app_with_arguments(std::vector<std::string> args)
{
  ArgumentsRun result;
  auto app = VelkaroApp::create(Gio::APPLICATION_NON_UNIQUE);
  app->signal_window_added().connect([&](Gtk::Window*) {
    ++result.windows;
    Glib::signal_idle().connect_once([&] {
      for (MainWindow* w : app->get_main_windows()) {
        result.documents_empty = result.documents_empty && w->get_ws()->get_file_path().empty();
        w->get_ctrl()->action("exit");
      }
    });
  });
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const PrintedErrorLines printed;
  result.status = app->run(static_cast<int>(args.size()), argv.data());
  result.printed = printed.lines();
  return result;
}

TEST(ApplicationArguments, FilesNamedOnTheCommandLineAreNotOpenedAndTheProgramSaysHow)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    std::vector<std::string> args;
    bool names_files;
  };
  const Case cases[] = {
    {{"velkaro"}, false},
    {{"velkaro", "diagram.xml"}, true},
    {{"velkaro", "a.xml", "/no/such/b.xml"}, true},
    // After "--" everything is a file, even what looks like an option.
    {{"velkaro", "--", "-x.xml"}, true},
    // GTK's options still work beside a file.
    {{"velkaro", "--class=VelkaroTest", "diagram.xml"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ArgumentsRun run = run_app_with_arguments(c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.windows, 1);
    EXPECT_TRUE(run.documents_empty);
    if (!c.names_files) {
      EXPECT_TRUE(run.printed.empty()) << run.printed.front();
      continue;
    }
    // One line, which names both ways of opening a file.
    ASSERT_EQ(run.printed.size(), 1u);
    const std::string& line = run.printed[0];
    EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    EXPECT_NE(line.find(VelkaroApp::file_arguments_notice()), std::string::npos) << line;
    EXPECT_NE(line.find("\":r"), std::string::npos) << line;
    EXPECT_NE(line.find("File → Open"), std::string::npos) << line;
  }
}

} // namespace
} // namespace velkaro::test
