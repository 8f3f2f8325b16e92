// Every input kept for the class reader's fuzz target passes its check
// here (model/fuzz_corpus_for_test.h).

#include <filesystem>

#include <gtest/gtest.h>

#include "model/fuzz_corpus_for_test.h"
#include "cls/doc/workspace.h"
#include "cls_document_check.h"

namespace velkaro::test {
namespace {

TEST(ClsReaderCorpus, EveryKeptInputReadsSoundly)
{
  expect_fuzz_corpus_sound(std::filesystem::path(VELKARO_SOURCE_DIR) / "fuzz" / "corpus" / "cls_reader",
                           &fuzz::check_cls_document, [] { return ModelWorkspace::create<ClsWorkspace>(); });
}

} // namespace
} // namespace velkaro::test
