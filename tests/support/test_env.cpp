#include "support/test_env.h"

#include <cstdlib>
#include <system_error>

#include <time.h>

#include <gtk/gtk.h>
#include <gtkmm/main.h>

namespace velkaro::test {
namespace {

bool g_gtk_started = false;

std::filesystem::path make_temp_dir()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  return pattern;
}

// Keeps the tests of one process apart, as if each ran in its own: every
// test gets its own, empty configuration directory, and the main-loop work a
// test leaves behind (redraws, idle callbacks, queued GDK events) runs when
// that test ends instead of inside the next one.
class TestIsolation : public ::testing::EmptyTestEventListener {
public:
  void OnTestStart(const ::testing::TestInfo&) override
  {
    m_dir = make_temp_dir();
    setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
  }
  void OnTestEnd(const ::testing::TestInfo&) override
  {
    // Bounded: a source that is always ready must not hang the run.
    for (int i = 0; i < 10000 && g_main_context_pending(nullptr); ++i)
      g_main_context_iteration(nullptr, FALSE);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }

private:
  std::filesystem::path m_dir;
};

} // namespace

void init_environment(bool start_gtk, int& argc, char**& argv)
{
  // The same environment whether CTest or a developer starts the executable:
  // no accessibility bus, X11, settings in memory.
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("GDK_BACKEND", "x11", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  Gtk::Main::init_gtkmm_internals();
  // Listing the tests (CTest does it to discover them) runs none: no GTK.
  if (start_gtk && !::testing::GTEST_FLAG(list_tests))
    g_gtk_started = gtk_init_check(&argc, &argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TestIsolation);
}

bool gtk_started() { return g_gtk_started; }

bool running_in_ci()
{
  const char* ci = std::getenv("CI");
  return ci && *ci;
}

double cpu_seconds()
{
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TempDir::TempDir() : m_path(make_temp_dir()) {}

TempDir::~TempDir()
{
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

} // namespace velkaro::test
