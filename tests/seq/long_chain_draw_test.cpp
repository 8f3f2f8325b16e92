// Documents with thousands of sequence elements in one cell (a file may
// hold them; the editor never makes them): opening them (reading and
// laying out) and drawing them cost a time in their number, not in its
// square.

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
  // The cells before the long one, the start of the long cell, the element
  // repeated in it and what follows the repeated elements there.
  std::vector<std::string> before;
  std::string anchor;
  std::string repeated;
  std::string after = "";
};

const std::string HEAD = R"(<cell h="1" v="0"><life_head/><seq_text pi="0">A</seq_text></cell>)";
const std::string LIFE_LINE = R"(<life_line pi="0" pv="0" has_stop="false"/>)";
const std::string FRAGMENT = R"(<cell h="5" v="0"><fragment/><seq_text pi="0">loop x</seq_text></cell>)";
const std::string FRAME_LEFT = R"(<fragment_line role="1" pi="0" pv="0" is_topleft="true" is_start="true"/>)";

std::vector<LongChain> chains()
{
  return {
      {"life lines", {HEAD}, R"(h="1" v="1")", LIFE_LINE},
      {"messages on a life line", {HEAD}, R"(h="1" v="1">)" + LIFE_LINE, R"(<message role="1" pi="0"/>)"},
      {"found messages", {}, R"(h="1" v="1")", R"(<message role="1"/>)"},
      {"texts", {}, R"(h="1" v="1")", R"(<seq_text>t</seq_text>)"},
      // A message's lines all in the cell to its right.
      {"message lines",
       {HEAD, R"(<cell h="1" v="1">)" + LIFE_LINE + R"(<message role="1" pi="0"/></cell>)"},
       R"(h="2" v="1")",
       R"(<message_line pi="1" ph="1"/>)"},
      {"separators", {FRAGMENT}, R"(h="5" v="1">)" + FRAME_LEFT, R"(<separator pi="0"/>)"},
      {"separator lines",
       {FRAGMENT, R"(<cell h="5" v="1">)" + FRAME_LEFT + R"(<separator pi="0"/></cell>)"},
       R"(h="6" v="1")",
       R"(<separator-line pi="1" ph="5"/>)"},
      {"frame lines", {FRAGMENT}, R"(h="6" v="0")", R"(<fragment_line pi="0" ph="5" is_topleft="true" is_start="true"/>)"},
      // The life line last: each box looks for it through the chain.
      {"execution specifications", {HEAD}, R"(h="1" v="1")", R"(<execution_specification top="true"/>)", LIFE_LINE},
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
  out << chain.after << "</cell></element_cells></workspace>\n";
}

// Faults: every life line of a chain walked the chain for its rectangle,
// every cell asked a chain element its index or head by walking back, every
// box searched the chain for its life line while the reader looked for rings
// of parents, every message line asked all the lines of its message whether
// it was the tip, every text walked to the chain's end and counted back.
TEST(LongChains, OpenAndDrawInATimeOfTheirLength)
{
  for (const auto& chain : chains()) {
    SCOPED_TRACE(chain.name);
    TempDir dir;
    const std::string path = dir.file("chain.xml");
    write_chain(path, chain);
    SeqDrawKit kit;
    const double start = cpu_seconds();
    ASSERT_TRUE(kit.ws->load(path)) << kit.ws->get_last_error();
    const double opened = cpu_seconds() - start;
    // Every element read is kept.
    int64_t elements = 0;
    kit.ws->get_cells()->foreach([&elements](int32_t, int32_t, const ModelElement::ElementPtr& head) {
      head->foreach([&elements](const ModelElement::ElementPtr&) { ++elements; });
      return true;
    });
    EXPECT_GE(elements, COUNT);
    const auto range = kit.ws->get_cells()->get_exists_range();
    ASSERT_TRUE(range);
    CellRange whole_cells = *range;
    whole_cells.start = {0, 0};
    const Rectangle whole = kit.ws->grid->get_range_rect(whole_cells);
    const double drawing = cpu_seconds();
    const auto image = kit.export_png(whole, dir, "chain.png");
    const double drawn = cpu_seconds() - drawing;
    ASSERT_TRUE(image);
    EXPECT_GT(image->get_width(), 0);
    // A tenth of a second each even under the sanitizers; the square of
    // six thousand steps, each a walk, takes tens of seconds.
    EXPECT_LT(opened, 1.0);
    EXPECT_LT(drawn, 1.0);
  }
}

} // namespace
} // namespace velkaro::test
