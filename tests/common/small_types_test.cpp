#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/cell_range_set.h"
#include "common/igen.h"
#include "common/open_uri.h"
#include "common/text_range.h"
#include "common/unique_id_generator.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

std::vector<CellRangeIndex> items(const CellRangeSet& s)
{
  return {s.get_items().begin(), s.get_items().end()};
}

TEST(CellRangeSet, CutQueuesThePieceAfterBeforeTheRest)
{
  CellRangeSet s;
  s.add({2, 8});
  s.cut({4, 5});
  EXPECT_EQ(items(s), (std::vector<CellRangeIndex>{{6, 8}, {2, 3}}));
  EXPECT_TRUE(s.get_is_enable());
  s.cut({0, 9});
  EXPECT_TRUE(items(s).empty());
  EXPECT_FALSE(s.get_is_enable());
}

TEST(CellRangeSet, CutKeepsUntouchedAndDropsCovered)
{
  CellRangeSet s;
  s.add({2, 8});
  s.cut({0, 1});
  EXPECT_EQ(items(s), (std::vector<CellRangeIndex>{{2, 8}}));
  s.cut({8, 10});
  EXPECT_EQ(items(s), (std::vector<CellRangeIndex>{{2, 7}}));

  CellRangeSet twice;
  twice.add({1, 3});
  twice.add({1, 3});
  EXPECT_EQ(items(twice).size(), 2u);
  twice.cut({1, 3});
  EXPECT_TRUE(items(twice).empty());
}

TEST(CellRangeSet, OverlapAndEnabled)
{
  CellRangeSet s;
  EXPECT_FALSE(s.is_overlap({0, 100}));
  s.add({1, 3});
  s.add({6, 9});
  EXPECT_TRUE(s.is_overlap({3, 6}));
  EXPECT_TRUE(s.is_overlap({4, 6}));
  EXPECT_FALSE(s.is_overlap({4, 5}));

  CellRangeSet reversed;
  reversed.add({5, 2});
  EXPECT_FALSE(reversed.get_is_enable());
  reversed.add({7, 9});
  reversed.cut({20, 21}); // a cut drops what is not enabled afterwards
  EXPECT_EQ(items(reversed), (std::vector<CellRangeIndex>{{7, 9}}));
  EXPECT_TRUE(reversed.get_is_enable());

  CellRangeSet negative;
  negative.add({3, -1});
  EXPECT_FALSE(negative.get_is_enable());
  EXPECT_FALSE(negative.is_overlap({0, 10}));
}

TEST(TextRange, KeepsStartBeforeEnd)
{
  auto r = TextRange::create(7, 3);
  EXPECT_EQ(r->start, 3);
  EXPECT_EQ(r->end, 7);
  EXPECT_EQ(r->get_size(), 4);
  r->set_range(4, 4);
  EXPECT_EQ(r->get_size(), 0);
  auto d = r->dup();
  d->set_range(0, 9);
  EXPECT_EQ(r->start, 4);
  r->clear();
  EXPECT_EQ(r->start, 0);
  EXPECT_EQ(r->end, 0);
}

TEST(IGen, GivesTheObjectItself)
{
  struct Concrete : IGen {
    int value = 42;
  };
  Concrete c;
  IGen& general = c;
  EXPECT_EQ(&general.get_c<Concrete>(), &c);
  EXPECT_EQ(general.get_c<Concrete>().value, 42);
}

TEST(UniqueIdGenerator, NeverHandsOutAnIdInUse)
{
  UniqueIdGenerator gen;
  std::set<uint32_t> seen;
  for (int i = 0; i < 1000; ++i)
    EXPECT_TRUE(seen.insert(gen.new_uid()).second);
}

// Runs open_uri with PATH holding only `dir`; restores PATH afterwards.
bool open_uri_with_path(const std::string& dir, const std::string& uri)
{
  std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir.c_str(), 1);
  bool ok = open_uri(uri);
  setenv("PATH", old.c_str(), 1);
  return ok;
}

TEST(OpenUri, FalseWithoutAnOpener)
{
  test::TempDir empty;
  EXPECT_FALSE(open_uri_with_path(empty.path().string(), "https://example.org/"));
}

TEST(OpenUri, PassesTheAddressAsOneUnquotedArgument)
{
  test::TempDir dir;
  const std::string out = dir.file("args");
  const std::string opener = dir.file("xdg-open");
  {
    std::ofstream script(opener);
    script << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << out << ".tmp'\nmv '" << out << ".tmp' '" << out << "'\n";
  }
  chmod(opener.c_str(), 0755);
  // Characters a shell would act on must arrive untouched.
  const std::string uri = "https://example.org/a b;touch pwned&x=$(id)";
  ASSERT_TRUE(open_uri_with_path(dir.path().string() + ":/usr/bin:/bin", uri));

  std::string got;
  for (int i = 0; i < 500 && got.empty(); ++i) {
    std::ifstream in(out);
    std::stringstream ss;
    ss << in.rdbuf();
    got = ss.str();
    if (got.empty())
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, "1|" + uri);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "pwned"));
}

} // namespace
} // namespace velkaro
