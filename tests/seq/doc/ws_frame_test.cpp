// The sequence workspace's frame: how its elements continue over inserted
// rows and columns, what survives a removed row, and what a block cut takes.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

std::function<bool(SeqWorkspace&)> row(int32_t index)
{
  return [index](SeqWorkspace& ws) { return ws.insert_row(index); };
}

std::function<bool(SeqWorkspace&)> col(int32_t index)
{
  return [index](SeqWorkspace& ws) { return ws.insert_col(index); };
}

// Column 1 from the head on row 0: the given rows, each "ll" plus what
// follows it.
Lines column(const std::vector<std::string>& cells, int32_t head_row = 0)
{
  Lines lines{"1," + std::to_string(head_row) + ": head text^"};
  for (size_t i = 0; i < cells.size(); ++i)
    lines.push_back("1," + std::to_string(head_row + 1 + static_cast<int32_t>(i)) + ": ll" + cells[i]);
  return lines;
}

TEST(SeqWorkspaceFrame, InsertedRows)
{
  const auto life = [](SeqWorkspace& ws) { ASSERT_TRUE(ws.add_lifeline({1, 0})); };
  // A run of level 0 on rows 2 to 4 of a life line of six cells.
  const auto run = [](SeqWorkspace& ws) {
    const CellRange six = range(1, 0, 1, 6);
    ASSERT_TRUE(ws.add_lifeline({1, 0}, &six));
    const CellRange r = range(1, 2, 1, 4);
    ASSERT_TRUE(ws.insert_execspec({1, 2}, 1, &r, true));
  };
  const auto frame = [](SeqWorkspace& ws) { ASSERT_TRUE(ws.insert_frag(range(1, 1, 3, 3))); };
  const std::vector<OpCase> cases{
      {"between the head and the first cell: one cell more", life, row(1), true,
       column({"", "", "", "", "", ""}), 1},
      {"above the head: nothing", life, row(0), true, column({"", "", "", "", ""}, 1), 1},
      {"right above the first cell of a run: a plain cell", run, row(2), true,
       column({"", "", " es0T", " es0", " es0", "", ""}), 1},
      {"inside a run: one cell more", run, row(3), true, column({"", " es0T", " es0", " es0", " es0", "", ""}), 1},
      {"right above the last cell of a run: one cell more", run, row(4), true,
       column({"", " es0T", " es0", " es0", " es0", "", ""}), 1},
      {"above a fragment: nothing, not even above its top-right corner", frame, row(1), true,
       Lines{"1,2: frag text^", "2,2: fhtse", "3,2: fvs", "1,3: fvts", "3,3: fv", "1,4: fvte", "2,4: fhse",
             "3,4: fve"},
       1},
      {"inside a fragment: both sides go on", frame, row(2), true,
       Lines{"1,1: frag text^", "2,1: fhtse", "3,1: fvs", "1,2: fvt", "3,2: fv", "1,3: fvts", "3,3: fv",
             "1,4: fvte", "2,4: fhse", "3,4: fve"},
       1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceFrame, InsertedColumns)
{
  // Life lines on columns 1 and 4 and a message on row 2 between them,
  // going right (anchor on column 1) or left (anchor on column 4).
  const auto message = [](int32_t right) {
    return [right](SeqWorkspace& ws) {
      ASSERT_TRUE(ws.add_lifeline({1, 0}));
      ASSERT_TRUE(ws.add_lifeline({4, 0}));
      int32_t r = right;
      const int32_t from = right == 1 ? 1 : 4;
      const CellRange cr = range(from, 2, 5 - from, 2);
      ASSERT_TRUE(ws.insert_message({from, 2}, r, &cr, ANY_ROLE));
    };
  };
  // The rows of the two life lines, with row 2 given.
  const auto lines = [](int32_t second, const Lines& row2) {
    const std::string b = std::to_string(second);
    Lines l{"1,0: head text^", b + ",0: head text^", "1,1: ll", b + ",1: ll"};
    l.insert(l.end(), row2.begin(), row2.end());
    for (int32_t y = 3; y <= 5; ++y)
      l.insert(l.end(), {"1," + std::to_string(y) + ": ll", b + "," + std::to_string(y) + ": ll"});
    return l;
  };
  // A fragment on (1, 1) to (4, 4) with a separator on row 2.
  const auto frame = [](SeqWorkspace& ws) {
    ASSERT_TRUE(ws.insert_frag(range(1, 1, 4, 4)));
    ASSERT_TRUE(ws.insert_separator({1, 2}));
  };
  const std::vector<OpCase> cases{
      {"between a rightward message's anchor and its first line", message(1), col(2), true,
       lines(5, {"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ml>", "5,2: ll ml>"}), 1},
      {"between two lines of a rightward message", message(1), col(3), true,
       lines(5, {"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ml>", "5,2: ll ml>"}), 1},
      {"right of a rightward message's tip: nothing", message(1), col(5), true,
       lines(4, {"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ll ml>"}), 1},
      {"between a leftward message's anchor and its first line", message(-1), col(4), true,
       lines(5, {"1,2: ll ml<", "2,2: ml<", "3,2: ml<", "4,2: ml<", "5,2: ll msg< sync"}), 1},
      {"left of a leftward message's tip: nothing", message(-1), col(1), true,
       Lines{"2,0: head text^", "5,0: head text^", "2,1: ll", "5,1: ll", "2,2: ll ml<", "3,2: ml<", "4,2: ml<",
             "5,2: ll msg< sync", "2,3: ll", "5,3: ll", "2,4: ll", "5,4: ll", "2,5: ll", "5,5: ll"},
       1},
      {"left of a fragment: nothing", frame, col(1), true,
       Lines{"2,1: frag text^", "3,1: fhts", "4,1: fhte", "5,1: fvs", "2,2: fvts sp", "3,2: spl", "4,2: spl",
             "5,2: fv spl", "2,3: fvt", "5,3: fv", "2,4: fvte", "3,4: fhs", "4,4: fhe", "5,4: fve"},
       1},
      {"inside a fragment: top, bottom and separator go on", frame, col(2), true,
       Lines{"1,1: frag text^", "2,1: fht", "3,1: fhts", "4,1: fhte", "5,1: fvs", "1,2: fvts sp", "2,2: spl",
             "3,2: spl", "4,2: spl", "5,2: fv spl", "1,3: fvt", "5,3: fv", "1,4: fvte", "2,4: fh", "3,4: fhs",
             "4,4: fhe", "5,4: fve"},
       1},
      {"right before the right edge: the corners carry top and bottom on", frame, col(4), true,
       Lines{"1,1: frag text^", "2,1: fhts", "3,1: fhte", "4,1: fht", "5,1: fvs", "1,2: fvts sp", "2,2: spl",
             "3,2: spl", "4,2: spl", "5,2: fv spl", "1,3: fvt", "5,3: fv", "1,4: fvte", "2,4: fhs", "3,4: fhe",
             "4,4: fh", "5,4: fve"},
       1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceFrame, RemovedRows)
{
  const auto run = [](SeqWorkspace& ws) {
    const CellRange six = range(1, 0, 1, 6);
    ASSERT_TRUE(ws.add_lifeline({1, 0}, &six));
    const CellRange r = range(1, 2, 1, 4);
    ASSERT_TRUE(ws.insert_execspec({1, 2}, 1, &r, true));
  };
  const std::vector<OpCase> cases{
      {"the first row of a run: the next cell becomes its first", run,
       [](SeqWorkspace& ws) { return ws.remove_row(2); }, true, column({"", " es0T", " es0", "", ""}), 1},
      {"a middle row of a run", run, [](SeqWorkspace& ws) { return ws.remove_row(3); }, true,
       column({"", " es0T", " es0", "", ""}), 1},
      {"the head's row takes the whole life line", run, [](SeqWorkspace& ws) { return ws.remove_row(0); }, true,
       Lines{}, 1},
      {"a row of a fragment's frame takes the fragment",
       [](SeqWorkspace& ws) { ASSERT_TRUE(ws.insert_frag(range(1, 1, 3, 3))); },
       [](SeqWorkspace& ws) { return ws.remove_row(3); }, true, Lines{}, 1},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceFrame, RangeCutTargets)
{
  struct Case {
    ElementPtr elm;
    bool copy, rows, cols;
  };
  const std::vector<Case> cases{
      {SeqLifeHead::create(), true, true, true},
      {SeqTextElement::create(), true, true, true},
      {SeqMessage::create(), true, true, true},
      {SeqFragment::create(), true, true, true},
      {SeqMsgLine::create(), false, true, false},
      {SeqLifeLine::create(), false, false, true},
      {SeqExecSpec::create(), false, false, true},
      {SeqMsgType::create(), false, false, false},
      {SeqFragLine::create(), false, false, false},
      {SeqSeparator::create(), false, false, false},
      {SeqSepLine::create(), false, false, false},
      {ModelTextElement::create(), false, false, false},
  };
  const auto ws = test::new_ws();
  for (const auto& c : cases) {
    EXPECT_EQ(ws->range_cut_target(*c.elm, false, CellDir::v), c.copy) << c.elm->get_type_name();
    EXPECT_EQ(ws->range_cut_target(*c.elm, true, CellDir::v), c.rows) << c.elm->get_type_name();
    EXPECT_EQ(ws->range_cut_target(*c.elm, true, CellDir::h), c.cols) << c.elm->get_type_name();
  }
}

TEST(SeqWorkspaceFrame, CopyingARangeTakesHeadsTextsMessagesAndFragments)
{
  const auto ws = test::new_ws();
  ASSERT_TRUE(ws->add_lifeline({1, 0}));
  ASSERT_TRUE(ws->insert_execspec({1, 2}, 1, nullptr, true));
  int32_t right = 1;
  const CellRange r = range(1, 3, 3, 3);
  ASSERT_TRUE(ws->insert_message({1, 3}, right, &r, ANY_ROLE));
  ASSERT_TRUE(ws->insert_frag(range(5, 0, 7, 2)));
  ws->clear_in_process();
  CellPos yank{CellPos::MAX, CellPos::MAX};
  const auto copies = ws->range_cut(yank, range(0, 0, 9, 9), false, false, CellDir::v);
  std::vector<std::string> names;
  for (const auto& c : copies)
    names.emplace_back(c->get_type_name());
  // The message and the texts come along as descendants of the head and
  // the fragment.
  EXPECT_EQ(names, (std::vector<std::string>{"SeqLifeHead", "SeqFragment"}));
  // A range holding only the message takes it alone, without the life line.
  yank = {CellPos::MAX, CellPos::MAX};
  const auto alone = ws->range_cut(yank, range(1, 3, 3, 3), false, false, CellDir::v);
  ASSERT_EQ(alone.size(), 1u);
  EXPECT_STREQ(alone[0]->get_type_name(), "SeqMessage");
  EXPECT_EQ(yank, (CellPos{1, 3}));
}

} // namespace
} // namespace velkaro::test
