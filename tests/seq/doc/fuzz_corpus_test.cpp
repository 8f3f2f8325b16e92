// Every input kept for the reader's fuzz target (fuzz/corpus/seq_reader:
// real documents as seeds, and each finding of the fuzzer once mended) is
// read here through the same check the target runs, under this build's
// sanitizers: a finding that comes back fails the suite, not only a fuzz run.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"
#include "seq_document_check.h"
#include "support/log_capture.h"

namespace velkaro::test {
namespace {

std::vector<std::filesystem::path> fuzz_corpus_files()
{
  std::vector<std::filesystem::path> files;
  const std::filesystem::path dir = std::filesystem::path(VELKARO_SOURCE_DIR) / "fuzz" / "corpus" / "seq_reader";
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file())
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string fuzz_corpus_bytes(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(SeqReaderCorpus, EveryKeptInputReadsSoundly)
{
  const auto files = fuzz_corpus_files();
  ASSERT_FALSE(files.empty());
  int seeds = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    // Hostile inputs log by design (a refused parent link, a missing
    // attribute); what matters is the check.
    LogCapture quiet(static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE));
    const std::string bytes = fuzz_corpus_bytes(path);
    EXPECT_EQ(fuzz::check_seq_document(bytes), "");
    // The seeds are real documents, so the fuzzer starts from what opens.
    if (path.filename().string().rfind("seed-", 0) == 0) {
      ++seeds;
      std::string error;
      EXPECT_TRUE(load_text(*new_ws(), bytes, &error)) << error;
    }
  }
  EXPECT_GE(seeds, 3);
}

} // namespace
} // namespace velkaro::test
