// Every input kept for the sequence reader's fuzz target passes its check
// here (model/fuzz_corpus_for_test.h).

#include <filesystem>

#include <gtest/gtest.h>

#include "model/fuzz_corpus_for_test.h"
#include "seq/doc/workspace.h"
#include "seq_document_check.h"

namespace velkaro::test {
namespace {

TEST(SeqReaderCorpus, EveryKeptInputReadsSoundly)
{
  expect_fuzz_corpus_sound(std::filesystem::path(VELKARO_SOURCE_DIR) / "fuzz" / "corpus" / "seq_reader",
                           &fuzz::check_seq_document, [] { return ModelWorkspace::create<SeqWorkspace>(); });
}

} // namespace
} // namespace velkaro::test
