// Every input kept for the state-machine reader's fuzz target passes its check
// here (model/fuzz_corpus_for_test.h).

#include <filesystem>

#include <gtest/gtest.h>

#include "model/fuzz_corpus_for_test.h"
#include "stm/doc/workspace.h"
#include "stm_document_check.h"

namespace velkaro::test {
namespace {

TEST(StmReaderCorpus, EveryKeptInputReadsSoundly)
{
  expect_fuzz_corpus_sound(std::filesystem::path(VELKARO_SOURCE_DIR) / "fuzz" / "corpus" / "stm_reader",
                           &fuzz::check_stm_document, [] { return ModelWorkspace::create<StmWorkspace>(); });
}

} // namespace
} // namespace velkaro::test
