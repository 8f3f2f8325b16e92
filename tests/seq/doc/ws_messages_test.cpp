// The sequence workspace's operations on messages, as tables over small
// fixtures.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

void add_life(SeqWorkspace& ws, int32_t x)
{
  ASSERT_TRUE(ws.add_lifeline({x, 0}));
}

// A message from (x, 2) to column to, to rows down; true when it was made
// and ran the way expected.
std::function<bool(SeqWorkspace&)> insert(int32_t x, int32_t to, int32_t down, int32_t point = ANY_ROLE,
                                          int32_t right = 1, int32_t expected_right = 1)
{
  return [=](SeqWorkspace& ws) {
    int32_t r = right;
    const CellRange cr = range(x, 2, to, 2 + down);
    const auto msg = ws.insert_message({x, 2}, r, &cr, point);
    return msg && r == expected_right && msg->get_right() == expected_right;
  };
}

// The life line at column 1 with its rows 0, 1 and 3 to 5, and row 2 given.
Lines with_row2(const Lines& row2)
{
  Lines lines{"1,0: head text^", "1,1: ll"};
  lines.insert(lines.end(), row2.begin(), row2.end());
  lines.insert(lines.end(), {"1,3: ll", "1,4: ll", "1,5: ll"});
  return lines;
}

TEST(SeqWorkspaceMessages, InsertMessage)
{
  const auto one = [](SeqWorkspace& ws) { add_life(ws, 1); };
  const std::vector<OpCase> cases{
      {"without a range", one,
       [](SeqWorkspace& ws) {
         int32_t r = -1;
         const auto msg = ws.insert_message({1, 2}, r, nullptr, ANY_ROLE);
         return msg && r == -1 && msg->get_right() == -1 && msg->get_ll() == at<SeqLifeLine>(ws, 1, 2);
       },
       true, with_row2({"1,2: ll msg< sync"}), 1},
      {"four columns right", one, insert(1, 5, 0), true,
       with_row2({"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ml>", "5,2: ml>"}), 1},
      {"one row down: asynchronous", one, insert(1, 2, 1), true, with_row2({"1,2: ll msg> async", "2,2: ml>"}), 1},
      {"two rows down: reply", one, insert(1, 2, 2), true, with_row2({"1,2: ll msg> reply", "2,2: ml>"}), 1},
      {"three rows down: synchronous", one, insert(1, 2, 3), true, with_row2({"1,2: ll msg> sync", "2,2: ml>"}), 1},
      {"one row up: reply", one, insert(1, 2, -1), true, with_row2({"1,2: ll msg> reply", "2,2: ml>"}), 1},
      {"three columns left", [](SeqWorkspace& ws) { add_life(ws, 4); }, insert(4, 1, 0, ANY_ROLE, 1, -1), true,
       Lines{"4,0: head text^", "4,1: ll", "1,2: ml<", "2,2: ml<", "3,2: ml<", "4,2: ll msg< sync", "4,3: ll",
             "4,4: ll", "4,5: ll"},
       1},
      {"a range straight down keeps the given direction", one, insert(1, 1, 1, ANY_ROLE, -1, -1), true,
       with_row2({"1,2: ll msg< async"}), 1},
      {"the last line gets the point", one, insert(1, 3, 0, 2), true,
       with_row2({"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>@2"}), 1},
      {"an obstacle two columns away stops the lines after one",
       [](SeqWorkspace& ws) {
         add_life(ws, 1);
         put(ws, SeqTextElement::create(), 3, 2);
       },
       insert(1, 5, 0, 4), true, with_row2({"1,2: ll msg> sync", "2,2: ml>@4", "3,2: text"}), 1},
      {"the lines end at the edge of the grid", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) {
         int32_t r = 1;
         const CellRange cr = range(1, 2, -2, 2);
         return ws.insert_message({1, 2}, r, &cr, ANY_ROLE) && r == -1;
       },
       true, Lines{"0,2: ml<", "1,2: msg< sync"}, 1},
      {"an anchor that cannot be stored",
       [](SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 3, 3); },
       [](SeqWorkspace& ws) {
         int32_t r = 1;
         return ws.insert_message({3, 3}, r, nullptr, ANY_ROLE) != nullptr;
       },
       false, std::nullopt, 0},
      {"outside the grid", [](SeqWorkspace&) {},
       [](SeqWorkspace& ws) {
         int32_t r = 1;
         return ws.insert_message({-1, 3}, r, nullptr, ANY_ROLE) != nullptr;
       },
       false, std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceMessages, ModMsgline)
{
  // A synchronous message from (1, 2) with lines on columns 2 to 4.
  const auto three = [](SeqWorkspace& ws) {
    add_life(ws, 1);
    ASSERT_TRUE(insert(1, 4, 0)(ws));
  };
  const auto tip = [](SeqWorkspace& ws) { return at<SeqMessage>(ws, 1, 2)->get_tip(); };
  const auto mod = [tip](int32_t x1, int32_t y1, int32_t point = ANY_ROLE) {
    return [=](SeqWorkspace& ws) {
      const ElementPtr t = tip(ws);
      return ws.mod_msgline(t, range(t->pos.x, 2, x1, y1), point);
    };
  };
  const std::vector<OpCase> cases{
      {"two columns on", three, mod(6, 2, 3), true,
       with_row2({"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ml>", "5,2: ml>", "6,2: ml>@3"}), 0},
      {"two columns back", three, mod(2, 2), true, with_row2({"1,2: ll msg> sync", "2,2: ml>"}), 0},
      {"more columns back than it has lines", three, mod(0, 2), true, with_row2({"1,2: ll msg> sync"}), 0},
      {"one row down: asynchronous", three, mod(4, 3), true,
       with_row2({"1,2: ll msg> async", "2,2: ml>", "3,2: ml>", "4,2: ml>"}), 0},
      {"one row down from reply: synchronous",
       [](SeqWorkspace& ws) {
         add_life(ws, 1);
         ASSERT_TRUE(insert(1, 2, 2)(ws));
       },
       mod(2, 3), true, with_row2({"1,2: ll msg> sync", "2,2: ml>"}), 0},
      {"a found message one row down: asynchronous",
       [&](SeqWorkspace& ws) {
         three(ws);
         const auto msg = at<SeqMessage>(ws, 1, 2);
         const auto found = SeqMsgType::create_with(msg, 0);
         found->msg_type = SeqMsgTypeTypes::FOUND;
         ws.replace(msg->get_msg_type_elm(), found);
       },
       mod(4, 3), true, with_row2({"1,2: ll msg> async", "2,2: ml>", "3,2: ml>", "4,2: ml>"}), 0},
      {"a self message against its direction changes only its kind",
       [](SeqWorkspace& ws) {
         add_life(ws, 1);
         int32_t r = 1;
         ASSERT_TRUE(ws.insert_message({1, 2}, r, nullptr, ANY_ROLE));
       },
       mod(0, 3), true, with_row2({"1,2: ll msg> async"}), 0},
      {"only the point: the tip is replaced by a copy holding it", three, mod(4, 2, 1), true,
       with_row2({"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>", "4,2: ml>@1"}), 0},
      {"shortened with a point: the new tip keeps its text",
       [&](SeqWorkspace& ws) {
         three(ws);
         ASSERT_TRUE(ws.add_text({3, 2}));
       },
       mod(3, 2, 0), true, with_row2({"1,2: ll msg> sync", "2,2: ml>", "3,2: ml>@0 text^"}), 0},
      {"a leftward message grows leftward",
       [](SeqWorkspace& ws) {
         add_life(ws, 5);
         ASSERT_TRUE(insert(5, 3, 0, ANY_ROLE, 1, -1)(ws));
       },
       [](SeqWorkspace& ws) {
         return ws.mod_msgline(at<SeqMsgLine>(ws, 3, 2), range(3, 2, 1, 2), ANY_ROLE);
       },
       true,
       Lines{"5,0: head text^", "5,1: ll", "1,2: ml<", "2,2: ml<", "3,2: ml<", "4,2: ml<", "5,2: ll msg< sync",
             "5,3: ll", "5,4: ll", "5,5: ll"},
       0},
      {"not a message", three,
       [](SeqWorkspace& ws) { return ws.mod_msgline(at<SeqLifeLine>(ws, 1, 3), range(1, 3, 3, 3), 0); }, false,
       std::nullopt, 0},
  };
  for (const auto& c : cases)
    test::run_case(c);
}

TEST(SeqWorkspaceMessages, TextOnAReplacedLineNamesTheNewLine)
{
  const auto ws = test::new_ws();
  add_life(*ws, 1);
  ASSERT_TRUE(insert(1, 4, 0)(*ws));
  ASSERT_TRUE(ws->add_text({3, 2}));
  ASSERT_TRUE(ws->mod_msgline(at<SeqMsgLine>(*ws, 4, 2), range(4, 2, 3, 2), 0));
  const auto line = at<SeqMsgLine>(*ws, 3, 2);
  EXPECT_EQ(line->point, 0);
  EXPECT_TRUE(line->get_is_tip());
  EXPECT_EQ(at<SeqTextElement>(*ws, 3, 2)->get_parent(), line);
  EXPECT_EQ(at<SeqTextElement>(*ws, 3, 2)->valign, ModelAlign::BOTTOM);
  // Deleting the message takes everything.
  ws->remove_all(at<SeqMessage>(*ws, 1, 2), false);
  EXPECT_EQ(test::dump(*ws), with_row2({"1,2: ll"}));
}

} // namespace
} // namespace velkaro::test
