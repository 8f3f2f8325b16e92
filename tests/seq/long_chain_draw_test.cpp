// Documents with thousands of sequence elements in one cell (a file may
// hold them; the editor never makes them): drawing them costs a time in
// their number, not in its square.

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/doc/workspace.h"
#include "seq_draw_for_test.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

constexpr int COUNT = 6000;

struct LongChain {
  const char* name;
  // The cells before the long one, and the element repeated in it.
  std::vector<std::string> before;
  std::string repeated;
  std::string anchor;
};

const std::string HEAD = R"(<cell h="1" v="0"><life_head/><seq_text pi="0">A</seq_text></cell>)";

std::vector<LongChain> chains()
{
  return {
      {"life lines", {HEAD}, R"(<life_line pi="0" pv="0" has_stop="false"/>)", R"(h="1" v="1")"},
      {"messages on a life line",
       {HEAD},
       R"(<message role="1" pi="0"/>)",
       R"(h="1" v="1"><life_line pi="0" pv="0" has_stop="false"/)"},
      {"found messages", {}, R"(<message role="1"/>)", R"(h="1" v="1")"},
      {"texts", {}, R"(<seq_text>t</seq_text>)", R"(h="1" v="1")"},
  };
}

void write_chain(const std::string& path, const LongChain& chain)
{
  std::ofstream out(path);
  out << R"(<?xml version="1.0" encoding="UTF-8"?><workspace><element_cells>)";
  for (const auto& cell : chain.before)
    out << cell;
  out << "<cell " << chain.anchor << ">";
  for (int i = 0; i < COUNT; ++i)
    out << chain.repeated << "\n";
  out << "</cell></element_cells></workspace>\n";
}

// Fault: every life-line cell of a chain looked for the cell below it among
// all the cells of its life line and walked its chain for a box; every
// message searched its chain for a life line; every text walked to the
// chain's end and counted back to tell whether it stood alone.
TEST(LongChains, DrawInATimeOfTheirLength)
{
  for (const auto& chain : chains()) {
    SCOPED_TRACE(chain.name);
    TempDir dir;
    const std::string path = dir.file("chain.xml");
    write_chain(path, chain);
    SeqDrawKit kit;
    ASSERT_TRUE(kit.ws->load(path)) << kit.ws->get_last_error();
    CellRange range = *kit.ws->get_cells()->get_exists_range();
    range.start = {0, 0};
    const Rectangle whole = kit.ws->grid->get_range_rect(range);
    const double start = cpu_seconds();
    const auto image = kit.export_png(whole, dir, "chain.png");
    const double drawn = cpu_seconds() - start;
    ASSERT_TRUE(image);
    EXPECT_GT(image->get_width(), 0);
    // A fraction of a second even under the sanitizers; the square of six
    // thousand steps, each a walk, takes tens of seconds.
    EXPECT_LT(drawn, 4.0);
  }
}

} // namespace
} // namespace velkaro::test
