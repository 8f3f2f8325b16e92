// Which sequence elements may share a cell: every kind under test against
// every kind of cell content.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

constexpr int32_t CX = 2;
constexpr int32_t CY = 2;

// Parents kept out of the way, in cells that no test looks at.
struct Parents {
  std::shared_ptr<SeqLifeHead> head;
  std::shared_ptr<SeqFragment> fm;
};

Parents parents(SeqWorkspace& ws)
{
  Parents p{SeqLifeHead::create(), SeqFragment::create()};
  put(ws, p.head, 9, 0);
  put(ws, p.fm, 9, 9);
  return p;
}

std::shared_ptr<SeqMessage> message(SeqWorkspace& ws, int32_t x, int32_t right,
                                    const std::vector<int32_t>& lines)
{
  auto msg = SeqMessage::create(nullptr, right);
  put(ws, msg, x, CY);
  put(ws, SeqMsgType::create_with(msg, 0), x, CY);
  for (int32_t lx : lines)
    put(ws, SeqMsgLine::create_with_msg(msg), lx, CY);
  return msg;
}

std::shared_ptr<SeqFragLine> frame_line(SeqWorkspace& ws, const Parents& p, int32_t dir, bool topleft)
{
  auto fl = SeqFragLine::create_with_frag(p.fm, dir, topleft);
  put(ws, fl, CX, CY);
  return fl;
}

// The contents of the cell (CX, CY); anchors of messages whose lines cross
// it lie at least two cells away, so that no message stands right behind.
const std::map<std::string, std::function<void(SeqWorkspace&, const Parents&)>> contents{
    {"empty", [](SeqWorkspace&, const Parents&) {}},
    {"life line", [](SeqWorkspace& ws, const Parents& p) { put(ws, SeqLifeLine::create_with_head(p.head), CX, CY); }},
    {"exec spec",
     [](SeqWorkspace& ws, const Parents& p) {
       put(ws, SeqLifeLine::create_with_head(p.head), CX, CY);
       put(ws, SeqExecSpec::create(), CX, CY);
     }},
    {"message >", [](SeqWorkspace& ws, const Parents&) { message(ws, CX, 1, {}); }},
    {"message <", [](SeqWorkspace& ws, const Parents&) { message(ws, CX, -1, {}); }},
    {"kind", [](SeqWorkspace& ws, const Parents&) { put(ws, SeqMsgType::create(), CX, CY); }},
    {"tip >", [](SeqWorkspace& ws, const Parents&) { message(ws, 0, 1, {1, 2}); }},
    {"line >", [](SeqWorkspace& ws, const Parents&) { message(ws, 0, 1, {1, 2, 3}); }},
    {"tip <", [](SeqWorkspace& ws, const Parents&) { message(ws, 4, -1, {3, 2}); }},
    {"line <", [](SeqWorkspace& ws, const Parents&) { message(ws, 4, -1, {3, 2, 1}); }},
    {"fragment", [](SeqWorkspace& ws, const Parents&) { put(ws, SeqFragment::create(), CX, CY); }},
    {"top edge", [](SeqWorkspace& ws, const Parents& p) { frame_line(ws, p, 0, true); }},
    {"bottom edge", [](SeqWorkspace& ws, const Parents& p) { frame_line(ws, p, 0, false); }},
    {"left edge", [](SeqWorkspace& ws, const Parents& p) { frame_line(ws, p, 1, true); }},
    {"right edge", [](SeqWorkspace& ws, const Parents& p) { frame_line(ws, p, 1, false); }},
    {"separator",
     [](SeqWorkspace& ws, const Parents& p) {
       put(ws, SeqSeparator::create_with_fl(frame_line(ws, p, 1, true)), CX, CY);
     }},
    {"separator line",
     [](SeqWorkspace& ws, const Parents& p) {
       auto sp = SeqSeparator::create_with_fl(SeqFragLine::create_with_frag(p.fm, 1, true));
       put(ws, sp, 8, 8);
       put(ws, SeqSepLine::create_with_sp(sp), CX, CY);
     }},
    {"text", [](SeqWorkspace& ws, const Parents&) { put(ws, SeqTextElement::create(), CX, CY); }},
    {"head", [](SeqWorkspace& ws, const Parents&) { put(ws, SeqLifeHead::create(), CX, CY); }},
};

// An element under test, made for a workspace, and the cell it is tested on.
struct Tested {
  std::function<ElementPtr(SeqWorkspace&, const Parents&)> make;
  int32_t x = CX;
  int32_t y = CY;
};

const std::map<std::string, Tested> tested{
    {"text", {[](SeqWorkspace&, const Parents&) { return SeqTextElement::create(); }}},
    {"head", {[](SeqWorkspace&, const Parents&) { return SeqLifeHead::create(); }}},
    {"head above", {[](SeqWorkspace&, const Parents&) { return SeqLifeHead::create(); }, CX, CY - 1}},
    {"life line", {[](SeqWorkspace&, const Parents& p) { return SeqLifeLine::create_with_head(p.head); }}},
    {"exec spec", {[](SeqWorkspace&, const Parents&) { return SeqExecSpec::create(1, true); }}},
    {"kind", {[](SeqWorkspace&, const Parents&) { return SeqMsgType::create(); }}},
    {"message >", {[](SeqWorkspace&, const Parents&) { return SeqMessage::create(nullptr, 1); }}},
    {"message <", {[](SeqWorkspace&, const Parents&) { return SeqMessage::create(nullptr, -1); }}},
    {"line >",
     {[](SeqWorkspace& ws, const Parents&) {
       auto msg = SeqMessage::create(nullptr, 1);
       put(ws, msg, 7, 7);
       return SeqMsgLine::create_with_msg(msg);
     }}},
    {"line <",
     {[](SeqWorkspace& ws, const Parents&) {
       auto msg = SeqMessage::create(nullptr, -1);
       put(ws, msg, 7, 7);
       return SeqMsgLine::create_with_msg(msg);
     }}},
    {"fragment", {[](SeqWorkspace&, const Parents&) { return SeqFragment::create(); }}},
    {"frame h", {[](SeqWorkspace&, const Parents& p) { return SeqFragLine::create_with_frag(p.fm, 0, false); }}},
    {"frame v", {[](SeqWorkspace&, const Parents& p) { return SeqFragLine::create_with_frag(p.fm, 1, false); }}},
    {"separator",
     {[](SeqWorkspace&, const Parents& p) {
       return SeqSeparator::create_with_fl(SeqFragLine::create_with_frag(p.fm, 1, true));
     }}},
    {"separator line",
     {[](SeqWorkspace&, const Parents& p) {
       return SeqSepLine::create_with_sp(
           SeqSeparator::create_with_fl(SeqFragLine::create_with_frag(p.fm, 1, true)));
     }}},
};

// Per kind under test, the contents it may share the cell with.
const std::map<std::string, std::vector<std::string>> may_share{
    {"text", {"empty", "line >", "line <", "top edge", "left edge", "separator", "separator line"}},
    {"head", {"empty"}},
    {"head above",
     {"empty", "tip >", "line >", "tip <", "line <", "top edge", "bottom edge", "separator line"}},
    {"life line",
     {"empty", "tip >", "line >", "tip <", "line <", "top edge", "bottom edge", "separator line"}},
    {"message >", {"empty", "life line", "exec spec", "message <", "kind", "tip >"}},
    {"message <", {"empty", "life line", "exec spec", "message >", "kind", "tip <"}},
    {"line >", {"empty", "life line", "exec spec", "message >", "kind", "tip <", "left edge", "right edge"}},
    {"line <", {"empty", "life line", "exec spec", "message <", "kind", "tip >", "left edge", "right edge"}},
    {"fragment", {"empty"}},
    {"frame h", {"empty", "life line", "exec spec", "left edge", "right edge"}},
    {"frame v",
     {"empty", "tip >", "line >", "tip <", "line <", "top edge", "bottom edge", "separator line"}},
    {"separator", {"empty", "life line", "exec spec", "left edge", "right edge"}},
    {"separator line", {"empty", "life line", "exec spec", "left edge", "right edge"}},
};

bool listed(const std::vector<std::string>& list, const std::string& name)
{
  return std::find(list.begin(), list.end(), name) != list.end();
}

TEST(SeqPlacement, EveryKindAgainstEveryCellContent)
{
  for (const auto& [kind, t] : tested) {
    for (const auto& [content, stock] : contents) {
      const auto ws = new_ws();
      const Parents p = parents(*ws);
      stock(*ws, p);
      ws->clear_in_process();
      const ElementPtr e = t.make(*ws, p);
      ws->clear_in_process();
      const std::string before = test::document_of(*ws);
      // Kinds without a rule of their own fit anywhere.
      const bool expected = kind == "exec spec" || kind == "kind" || listed(may_share.at(kind), content);
      EXPECT_EQ(test::fits(*ws, e, t.x, t.y), expected) << kind << " on " << content;
      EXPECT_EQ(test::document_of(*ws), before) << kind << " on " << content;
    }
  }
}

// Elements being placed never block those kinds that let elements in
// process through; the others still see them.
TEST(SeqPlacement, ElementsInProcessOnlyLetFramesAndSeparatorsThrough)
{
  for (const auto& [kind, t] : tested) {
    const auto ws = new_ws();
    const Parents p = parents(*ws);
    ws->clear_in_process();
    const auto in_work = SeqFragment::create();
    put(*ws, in_work, CX, CY);
    in_work->in_process = true;
    const bool expected = kind == "fragment" || kind == "frame h" || kind == "frame v" ||
                          kind == "separator" || kind == "separator line" || kind == "exec spec" ||
                          kind == "kind";
    EXPECT_EQ(test::fits(*ws, t.make(*ws, p), t.x, t.y), expected) << kind;
  }
}

TEST(SeqPlacement, HeadLeavesTheCursorTwoRowsBelow)
{
  const auto ws = new_ws();
  const auto head = SeqLifeHead::create();
  head->set_ws(ws);
  head->wpos = {4, 5};
  EXPECT_TRUE(head->obstacles().empty());
  EXPECT_EQ(ws->cursor, (CellPos{4, 7}));
  // The workspace's own test gives its cursor back.
  ws->move_hv(4, 5);
  EXPECT_TRUE(ws->could_store(head));
  EXPECT_EQ(ws->cursor, (CellPos{4, 5}));
}

TEST(SeqPlacement, MessageWithoutLinesMeetsTheNextLineOfOneGoingOn)
{
  const auto ws = new_ws();
  const auto other = message(*ws, 0, 1, {1, 2, 3});
  ws->clear_in_process();
  const auto through = test::at<SeqMsgLine>(*ws, 2, CY);
  const auto next = test::at<SeqMsgLine>(*ws, 3, CY);
  auto msg = SeqMessage::create(nullptr, 1);
  msg->set_ws(ws);
  msg->wpos = {2, CY};
  EXPECT_EQ(msg->obstacles(), std::vector<ElementPtr>{next});
  // On the tip cell nothing is in the way.
  msg->wpos = {3, CY};
  EXPECT_TRUE(msg->obstacles().empty());
  (void)through;
  (void)other;
}

TEST(SeqPlacement, LineRightAfterAnotherMessagesAnchorIsRefused)
{
  const auto ws = new_ws();
  const auto other = message(*ws, 2, 1, {});
  const auto own = message(*ws, 5, 1, {});
  ws->clear_in_process();
  // One cell right of the other message's anchor.
  EXPECT_FALSE(test::fits(*ws, SeqMsgLine::create_with_msg(own), 3, CY));
  // One cell right of its own anchor.
  EXPECT_TRUE(test::fits(*ws, SeqMsgLine::create_with_msg(own), 6, CY));
  // Going left, the cell behind is on the right.
  const auto left = message(*ws, 8, -1, {});
  EXPECT_TRUE(test::fits(*ws, SeqMsgLine::create_with_msg(left), 7, CY));
  (void)other;
}

} // namespace
} // namespace velkaro::test
