#pragma once
// Shared test environment: every test executable runs the same main
// (test_main.cpp), which initialises gtkmm's wrappers, starts GTK when the
// executable needs it and a display is present, and keeps the tests of one
// process apart: each gets a fresh XDG_CONFIG_HOME, and main-loop work a test
// leaves behind runs when it ends. CTest runs each suite in one process.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace velkaro::test {

// Called once by the test main before the tests run.
void init_environment(bool start_gtk, int& argc, char**& argv);

// True when GTK was started (the executable asked for it and a display is present).
bool gtk_started();

// True when the environment variable CI is set: a missing display is then a failure.
bool running_in_ci();

// The processor time this process has used so far, in seconds, over all its
// threads. Bounds on the time of an operation are checked in it rather than
// in wall time, so that a busy machine does not fail them.
double cpu_seconds();

// A directory removed with everything in it when the object dies.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
  std::filesystem::path m_path;
};

} // namespace velkaro::test

// For tests that need GTK: skips the test without a display, fails it in CI.
#define VELKARO_REQUIRE_GTK()                                                  \
  do {                                                                         \
    if (!::velkaro::test::gtk_started()) {                                     \
      if (::velkaro::test::running_in_ci())                                    \
        GTEST_FAIL() << "GTK could not start: no display (CI is set)";         \
      GTEST_SKIP() << "no display: GTK is not started";                        \
    }                                                                          \
  } while (false)
