#pragma once
// The inputs kept for a document reader's fuzz target (fuzz/corpus/<kind>_reader:
// real documents as seeds, files named "seed-*", and each finding of the
// fuzzer once mended), read by a kind's tests through the same check the
// target runs, under the tests' sanitizers: a finding that comes back fails
// the suite, not only a fuzz run.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "model/workspace.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro::test {

// Every kept input of dir passes check; every seed opens in a new
// workspace that make gives, so the fuzzer starts from what opens.
inline void expect_fuzz_corpus_sound(const std::filesystem::path& dir,
                                     const std::function<std::string(std::string_view)>& check,
                                     const std::function<std::shared_ptr<ModelWorkspace>()>& make)
{
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file())
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << dir;
  int seeds = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    // Hostile inputs log by design (a refused parent link, a missing
    // attribute); what matters is the check.
    LogCapture quiet(static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE));
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(check(bytes.str()), "");
    if (path.filename().string().rfind("seed-", 0) == 0) {
      ++seeds;
      const auto ws = make();
      EXPECT_TRUE(ws->load(path.string())) << ws->get_last_error();
    }
  }
  EXPECT_GE(seeds, 2);
}

} // namespace velkaro::test
