// The sequence workspace's operations on life lines and execution
// execution specifications, as tables over small fixtures: each case's cell dump
// afterwards, its signals, and undo and redo of its record.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

// A life line at column x: its head on row 0 and cells on rows 1 to cells,
// the last one stopped when stop is set.
void life(SeqWorkspace& ws, int32_t x, int32_t cells = 5, bool stop = false)
{
  const CellRange r = range(x, 0, x + (stop ? 1 : 0), cells);
  ASSERT_TRUE(ws.add_lifeline({x, 0}, &r));
}

void box_cell(SeqWorkspace& ws, int32_t y, int32_t level, bool top)
{
  put(ws, SeqExecSpec::create(level, top), 1, y);
}

std::shared_ptr<SeqLifeLine> ll(SeqWorkspace& ws, int32_t y, int32_t x = 1)
{
  return at<SeqLifeLine>(ws, x, y);
}

std::shared_ptr<SeqExecSpec> es(SeqWorkspace& ws, int32_t y, int32_t level)
{
  return at<SeqExecSpec>(ws, 1, y, level);
}

// Rows 1 to n of column 1 as plain life-line cells, after the head.
Lines plain(int32_t n, const Lines& more = {})
{
  Lines lines{"1,0: head text^"};
  for (int32_t y = 1; y <= n; ++y)
    lines.push_back("1," + std::to_string(y) + ": ll");
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST(SeqWorkspaceLifeLines, AddLifeline)
{
  const std::vector<OpCase> cases{
      {"on an empty column", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) { return ws.add_lifeline({1, 0}); }, true, plain(5), 1},
      {"an element three rows below ends it after two cells",
       [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 1, 3); },
       [](SeqWorkspace& ws) { return ws.add_lifeline({1, 0}); }, true,
       Lines{"1,0: head text^", "1,1: ll", "1,2: ll", "1,3: text"}, 1},
      {"an occupied head cell refuses", [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 1, 0); },
       [](SeqWorkspace& ws) { return ws.add_lifeline({1, 0}); }, false, std::nullopt, 0},
      {"an element right below the head refuses",
       [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 1, 1); },
       [](SeqWorkspace& ws) { return ws.add_lifeline({1, 0}); }, false, std::nullopt, 0},
      {"outside the grid refuses", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) { return ws.add_lifeline({-1, 0}); }, false, std::nullopt, 0},
      {"a range gives the length, and a sideways range a stop", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) {
         const CellRange r = range(1, 0, 2, 3);
         return ws.add_lifeline({1, 0}, &r);
       },
       true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll", "1,3: ll!"}, 1},
      {"a range upwards gives the head alone", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) {
         const CellRange r = range(1, 3, 1, 1);
         return ws.add_lifeline({1, 3}, &r);
       },
       true, Lines{"1,3: head text^"}, 1},
      {"the stop goes on the last cell stored",
       [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 1, 3); },
       [](SeqWorkspace& ws) {
         const CellRange r = range(1, 0, 2, 4);
         return ws.add_lifeline({1, 0}, &r);
       },
       true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll!", "1,3: text"}, 1},
      {"at the bottom of the grid the cells end with it", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) { return ws.add_lifeline({1, CellPos::MAX - 2}); }, true,
       Lines{"1,65533: head text^", "1,65534: ll", "1,65535: ll"}, 1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceLifeLines, NewLifeLineIsNoLongerInProcess)
{
  const auto ws = test::new_ws();
  ASSERT_TRUE(ws->add_lifeline({1, 0}));
  EXPECT_FALSE(at<SeqLifeHead>(*ws, 1, 0)->get_is_in_process());
  EXPECT_FALSE(ll(*ws, 5)->get_is_in_process());
  EXPECT_EQ(ll(*ws, 5)->get_head(), at<SeqLifeHead>(*ws, 1, 0));
}

TEST(SeqWorkspaceLifeLines, SetStop)
{
  const std::vector<OpCase> cases{
      {"only clearing a cell without stop", [](SeqWorkspace& ws) { life(ws, 1); },
       [](SeqWorkspace& ws) { return ws.set_stop(ll(ws, 5), true); }, false, std::nullopt, 0},
      {"adding a stop", [](SeqWorkspace& ws) { life(ws, 1); },
       [](SeqWorkspace& ws) { return ws.set_stop(ll(ws, 5), false); }, true, plain(4, {"1,5: ll!"}), 1},
      {"a second toggle removes it", [](SeqWorkspace& ws) { life(ws, 1, 5, true); },
       [](SeqWorkspace& ws) { return ws.set_stop(ll(ws, 5), false); }, true, plain(5), 1},
      {"only clearing an existing stop", [](SeqWorkspace& ws) { life(ws, 1, 5, true); },
       [](SeqWorkspace& ws) { return ws.set_stop(ll(ws, 5), true); }, true, plain(5), 1},
      {"a cell that is not stored", [](SeqWorkspace& ws) { life(ws, 1); },
       [](SeqWorkspace& ws) { return ws.set_stop(SeqLifeLine::create(), false); }, false, std::nullopt, 0},
      {"what is attached goes along to the new cell",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         life(ws, 4);
         ASSERT_TRUE(ws.insert_execspec({1, 5}, -1, nullptr, true));
         int32_t right = 1;
         const CellRange r = range(1, 5, 4, 5);
         ASSERT_TRUE(ws.insert_message({1, 5}, right, &r, 0));
       },
       [](SeqWorkspace& ws) { return ws.set_stop(ll(ws, 5), false); }, true,
       Lines{"1,0: head text^", "4,0: head text^", "1,1: ll", "4,1: ll", "1,2: ll", "4,2: ll", "1,3: ll",
             "4,3: ll", "1,4: ll", "4,4: ll", "1,5: ll! es0T msg> sync", "2,5: ml>", "3,5: ml>",
             "4,5: ll ml>@0"},
       1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

// A life-line cell replaced for its stop takes what hangs on it along: the
// message names the new cell, and deleting the life line leaves nothing.
TEST(SeqWorkspaceLifeLines, ReplacedCellKeepsItsFamily)
{
  const auto ws = test::new_ws();
  life(*ws, 1);
  life(*ws, 4);
  ASSERT_TRUE(ws->insert_execspec({1, 5}, -1, nullptr, true));
  int32_t right = 1;
  const CellRange r = range(1, 5, 4, 5);
  ASSERT_TRUE(ws->insert_message({1, 5}, right, &r, ANY_ROLE));
  ASSERT_TRUE(ws->set_stop(ll(*ws, 5), false));
  const auto cell = ll(*ws, 5);
  EXPECT_EQ(at<SeqMessage>(*ws, 1, 5)->get_ll(), cell);
  EXPECT_EQ(at<SeqMessage>(*ws, 1, 5)->get_tip(), at<SeqMsgLine>(*ws, 4, 5));
  EXPECT_EQ(cell->get_children().size(), 2u);
  ws->remove_all(at<SeqLifeHead>(*ws, 1, 0), false);
  EXPECT_EQ(test::dump(*ws), (Lines{"4,0: head text^", "4,1: ll", "4,2: ll", "4,3: ll", "4,4: ll", "4,5: ll"}));
}

TEST(SeqWorkspaceLifeLines, ModLifeline)
{
  const auto mod = [](int32_t x1, int32_t y1) {
    return [x1, y1](SeqWorkspace& ws) { return ws.mod_lifeline({1, 5}, range(1, 5, x1, y1)); };
  };
  const std::vector<OpCase> cases{
      {"shortening by 2", [](SeqWorkspace& ws) { life(ws, 1); }, mod(1, 3), true, plain(3), 0},
      {"shortening by more than it has keeps the first cell, and the stop moves up",
       [](SeqWorkspace& ws) { life(ws, 1, 5, true); }, mod(1, 0), true,
       Lines{"1,0: head text^", "1,1: ll!"}, 0},
      {"shortening with an odd sideways delta toggles the new last cell's stop",
       [](SeqWorkspace& ws) { life(ws, 1); }, mod(0, 4), true, plain(3, {"1,4: ll!"}), 1},
      {"shortening drops what hung on the new last cell",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         ASSERT_TRUE(ws.insert_execspec({1, 4}, 1, nullptr, true));
         ASSERT_TRUE(ws.insert_execspec({1, 4}, 1, nullptr, true));
       },
       mod(1, 4), true, plain(4), 0},
      {"lengthening by 3 with a sideways delta of 1 stops the new last cell",
       [](SeqWorkspace& ws) { life(ws, 1); }, mod(2, 8), true, plain(7, {"1,8: ll!"}), 0},
      {"lengthening with an even sideways delta gives the stop to the new last cell",
       [](SeqWorkspace& ws) { life(ws, 1, 5, true); }, mod(3, 7), true,
       plain(4, {"1,5: ll!", "1,6: ll", "1,7: ll!"}), 0},
      {"lengthening that cannot store a cell inverts the stop of the last one",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         put(ws, SeqTextElement::create(), 1, 6);
       },
       mod(2, 7), true, plain(4, {"1,5: ll!", "1,6: text"}), 0},
      {"an unchanged range", [](SeqWorkspace& ws) { life(ws, 1, 5, true); }, mod(1, 5), true,
       plain(4, {"1,5: ll!"}), 0},
      {"no life line at the cell",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         put(ws, SeqTextElement::create(), 3, 5);
       },
       [](SeqWorkspace& ws) { return ws.mod_lifeline({3, 5}, range(3, 5, 3, 2)); }, false, std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceLifeLines, InsertExecspec)
{
  const auto insert = [](int32_t y, int32_t step, std::optional<CellRange> r) {
    return [=](SeqWorkspace& ws) { return ws.insert_execspec({1, y}, step, r ? &*r : nullptr, true) != nullptr; };
  };
  const auto six = [](SeqWorkspace& ws) { life(ws, 1, 6); };
  // Two runs of level 0: rows 1 to 3 and rows 4 to 5.
  const auto two_runs = [](SeqWorkspace& ws) {
    life(ws, 1, 6);
    box_cell(ws, 1, 0, true);
    box_cell(ws, 2, 0, false);
    box_cell(ws, 3, 0, false);
    box_cell(ws, 4, 0, true);
    box_cell(ws, 5, 0, false);
  };
  const std::vector<OpCase> cases{
      {"appending beside levels 0 and 1 makes level 2",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         box_cell(ws, 2, 0, true);
         box_cell(ws, 2, 1, true);
       },
       insert(2, 1, std::nullopt), true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll es0T es1T es2T", "1,3: ll", "1,4: ll", "1,5: ll"}, 1},
      {"inserting beside levels 0 and -1 makes level -2",
       [](SeqWorkspace& ws) {
         life(ws, 1);
         box_cell(ws, 2, 0, true);
         box_cell(ws, 2, -1, true);
       },
       insert(2, -1, std::nullopt), true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll es0T es-1T es-2T", "1,3: ll", "1,4: ll", "1,5: ll"}, 1},
      {"inserting on a cell without any makes level 0", [](SeqWorkspace& ws) { life(ws, 1); },
       insert(2, -1, std::nullopt), true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll es0T", "1,3: ll", "1,4: ll", "1,5: ll"}, 1},
      {"appending on a cell without any makes level 0", [](SeqWorkspace& ws) { life(ws, 1); },
       insert(2, 1, std::nullopt), true, Lines{"1,0: head text^", "1,1: ll", "1,2: ll es0T", "1,3: ll", "1,4: ll", "1,5: ll"}, 1},
      {"a range 3 rows down", six, insert(1, 1, range(1, 1, 1, 4)), true,
       Lines{"1,0: head text^", "1,1: ll es0T", "1,2: ll es0", "1,3: ll es0", "1,4: ll es0", "1,5: ll", "1,6: ll"}, 1},
      {"never on the last cell of the life line", six, insert(4, 1, range(1, 4, 1, 7)), true,
       Lines{"1,0: head text^", "1,1: ll", "1,2: ll", "1,3: ll", "1,4: ll es0T", "1,5: ll es0", "1,6: ll"}, 1},
      {"upwards the topmost cell takes the top flag", six, insert(4, 1, range(1, 4, 1, 2)), true,
       Lines{"1,0: head text^", "1,1: ll", "1,2: ll es0T", "1,3: ll es0", "1,4: ll es0", "1,5: ll", "1,6: ll"}, 1},
      {"a range without a vertical delta counts as upwards", six, insert(3, 1, range(1, 3, 3, 3)), true,
       Lines{"1,0: head text^", "1,1: ll", "1,2: ll", "1,3: ll es0T", "1,4: ll", "1,5: ll", "1,6: ll"}, 1},
      {"a nested run going down stops before the next run of its enclosing level", two_runs,
       insert(2, 1, range(1, 2, 1, 5)), true,
       Lines{"1,0: head text^", "1,1: ll es0T", "1,2: ll es0 es1T", "1,3: ll es0 es1", "1,4: ll es0T",
             "1,5: ll es0", "1,6: ll"},
       1},
      {"a nested run going up ends on its enclosing run's first cell", two_runs,
       insert(3, 1, range(1, 3, 1, 0)), true,
       Lines{"1,0: head text^", "1,1: ll es0T es1T", "1,2: ll es0 es1", "1,3: ll es0 es1", "1,4: ll es0T",
             "1,5: ll es0", "1,6: ll"},
       1},
      {"a cell without a life line", [](SeqWorkspace& ws) { life(ws, 1); }, insert(0, 1, std::nullopt), false,
       std::nullopt, 0},
      {"an empty cell", [](SeqWorkspace& ws) { life(ws, 1); },
       [](SeqWorkspace& ws) { return ws.insert_execspec({3, 3}, 1, nullptr, true) != nullptr; }, false,
       std::nullopt, 0},
      {"a step of 0 on a level that is there", [](SeqWorkspace& ws) {
         life(ws, 1);
         box_cell(ws, 2, 0, true);
       },
       insert(2, 0, std::nullopt), false, std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceLifeLines, ModEs)
{
  // A three-cell run on rows 2 to 4 of a life line of six cells.
  const auto run = [](SeqWorkspace& ws) {
    life(ws, 1, 6);
    const CellRange r = range(1, 2, 1, 4);
    ASSERT_TRUE(ws.insert_execspec({1, 2}, 1, &r, true));
  };
  const auto mod = [](int32_t from, int32_t to) {
    return [=](SeqWorkspace& ws) { return ws.mod_es(es(ws, from, 0), range(1, from, 1, to)); };
  };
  const auto rows = [](const Lines& two_to_five) {
    Lines lines{"1,0: head text^", "1,1: ll"};
    lines.insert(lines.end(), two_to_five.begin(), two_to_five.end());
    lines.push_back("1,6: ll");
    return lines;
  };
  const std::vector<OpCase> cases{
      {"shrinking from the top by 1", run, mod(2, 3), true,
       rows({"1,2: ll", "1,3: ll es0T", "1,4: ll es0", "1,5: ll"}), 1},
      {"shrinking from the top by more than the run", run, mod(2, 7), true,
       rows({"1,2: ll", "1,3: ll", "1,4: ll", "1,5: ll"}), 1},
      {"shrinking from the bottom by 1", run, mod(4, 3), true,
       rows({"1,2: ll es0T", "1,3: ll es0", "1,4: ll", "1,5: ll"}), 1},
      {"growing the bottom by 1", run, mod(4, 5), true,
       rows({"1,2: ll es0T", "1,3: ll es0", "1,4: ll es0", "1,5: ll es0"}), 1},
      {"growing the top by 1", run, mod(2, 1),
       true, Lines{"1,0: head text^", "1,1: ll es0T", "1,2: ll es0", "1,3: ll es0", "1,4: ll es0", "1,5: ll", "1,6: ll"}, 1},
      {"a deeper level beside the next cell ends a shrink",
       [&](SeqWorkspace& ws) {
         run(ws);
         box_cell(ws, 3, 1, true);
       },
       mod(2, 4), true, rows({"1,2: ll", "1,3: ll es1T es0T", "1,4: ll es0", "1,5: ll"}), 1},
      {"an unchanged range", run, mod(3, 3), true,
       rows({"1,2: ll es0T", "1,3: ll es0", "1,4: ll es0", "1,5: ll"}), 1},
      {"a execution specification that is not stored", run,
       [](SeqWorkspace& ws) { return ws.mod_es(SeqExecSpec::create(), range(1, 2, 1, 4)); }, false,
       std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceLifeLines, RmEs)
{
  // Level 0 on rows 1 to 5, level 1 on rows 2 and 3, level -1 on rows 3
  // and 4, level -2 on row 4.
  const auto nested = [](SeqWorkspace& ws) {
    life(ws, 1, 6);
    box_cell(ws, 1, 0, true);
    for (int32_t y = 2; y <= 5; ++y)
      box_cell(ws, y, 0, false);
    box_cell(ws, 2, 1, true);
    box_cell(ws, 3, 1, false);
    box_cell(ws, 3, -1, true);
    box_cell(ws, 4, -1, false);
    box_cell(ws, 4, -2, true);
  };
  const std::vector<OpCase> cases{
      {"level 0 from its middle takes the nested levels below it", nested,
       [](SeqWorkspace& ws) { return ws.rm_es(es(ws, 3, 0)); }, true,
       Lines{"1,0: head text^", "1,1: ll", "1,2: ll es1T", "1,3: ll es1 es-1T", "1,4: ll", "1,5: ll", "1,6: ll"}, 1},
      {"level -1 takes level -2 beside it and leaves the others", nested,
       [](SeqWorkspace& ws) { return ws.rm_es(es(ws, 3, -1)); }, true,
       Lines{"1,0: head text^", "1,1: ll es0T", "1,2: ll es0 es1T", "1,3: ll es0 es1", "1,4: ll es0",
             "1,5: ll es0", "1,6: ll"},
       1},
      {"a execution specification that is not stored", nested,
       [](SeqWorkspace& ws) { return ws.rm_es(SeqExecSpec::create()); }, false, std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

} // namespace
} // namespace velkaro::test
