// The sequence elements on their own: rectangles, relations between cells,
// parents of texts, operators of fragments, marking in process.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/grid.h"
#include "seq/doc/seq_for_test.h"
#include "support/log_capture.h"

namespace velkaro::test {
namespace {

TEST(SeqElements, HeadRectangleGrowsAroundItsText)
{
  struct Case {
    double width, height;
    Rectangle expected;
  };
  const std::vector<Case> cases{
      {40, 20, {0, 0, 89, 28}},
      {100, 20, {0, 0, 108, 28}},
      {81, 0, {0, 0, 89, 8}},
      {81.5, 10, {0, 0, 89.5, 18}},
  };
  for (const auto& c : cases) {
    const auto ws = new_ws();
    const auto head = SeqLifeHead::create();
    put(*ws, head, 1, 1);
    put(*ws, SizedText::create(c.width, c.height, head), 1, 1);
    const Rectangle r = head->get_rect();
    EXPECT_DOUBLE_EQ(r.width, c.expected.width) << c.width;
    EXPECT_DOUBLE_EQ(r.height, c.expected.height) << c.width;
    // Laid out centred in its cell, which the grid widened for it.
    head->layout({0, 0, 200, 100});
    EXPECT_DOUBLE_EQ(head->get_rect().x, (200 - c.expected.width) / 2);
    EXPECT_DOUBLE_EQ(head->get_rect().y, (100 - c.expected.height) / 2);
  }
  // Without a text the rectangle stays as it was.
  EXPECT_EQ(SeqLifeHead::create()->get_rect(), (Rectangle{0, 0, 0, 0}));
}

TEST(SeqElements, GridSizesTheHeadsColumnAndRow)
{
  const auto ws = new_ws();
  const auto head = SeqLifeHead::create();
  put(*ws, head, 1, 1);
  put(*ws, SizedText::create(100, 30, head), 1, 1);
  ws->update_layout({1, 1});
  // The rectangle and a margin of 10.
  EXPECT_DOUBLE_EQ(ws->grid->get_rect(1, 1).width, 118);
  EXPECT_DOUBLE_EQ(ws->grid->get_rect(1, 1).height, 48);
  EXPECT_DOUBLE_EQ(ws->grid->get_rect(0, 0).width, 35);
}

// One life-line cell holding execution specifications; the rectangle its
// life line gets from them.
struct SpecCase {
  const char* name;
  // Levels in the cell: level and whether it is a top cell.
  std::vector<std::pair<int32_t, bool>> here;
  // The same for the cell below; none for a last cell.
  std::vector<std::pair<int32_t, bool>> below;
  bool last;
  Rectangle expected;
};

TEST(SeqElements, LifeLineRectangleFromItsSpecifications)
{
  const std::vector<SpecCase> cases{
      {"no execution specification", {}, {}, false, {0, 0, 0, 0}},
      {"a box of one cell on the last cell", {{0, true}}, {}, true, {0, 0, 16, 8}},
      {"a box starting and going on", {{0, true}}, {{0, false}}, false, {0, 0, 16, 4}},
      {"a middle cell", {{0, false}}, {{0, false}}, false, {0, 0, 16, 0}},
      {"a last cell", {{0, false}}, {}, false, {0, 0, 16, 4}},
      {"the next box starts below", {{0, false}}, {{0, true}}, false, {0, 0, 16, 4}},
      {"nested 1 and 2 starting and going on",
       {{0, false}, {1, true}, {2, true}},
       {{0, false}, {1, false}, {2, false}},
       false,
       {0, 0, 32, 8}},
      {"nested on both sides, the higher side counts",
       {{0, false}, {1, true}, {-1, true}, {-2, true}},
       {{0, false}, {1, false}, {-1, false}, {-2, false}},
       false,
       {0, 0, 32, 8}},
      {"nested ending here", {{0, false}, {1, false}}, {{0, false}}, false, {0, 0, 24, 4}},
  };
  for (const auto& c : cases) {
    const auto ws = new_ws();
    life_line(*ws, 1, 0, c.last ? 1 : 2);
    const auto fill = [&](int32_t y, const std::vector<std::pair<int32_t, bool>>& levels) {
      for (const auto& [level, top] : levels)
        put(*ws, SeqExecSpec::create(level, top), 1, y);
    };
    fill(1, c.here);
    fill(2, c.below);
    const auto ll = at<SeqLifeLine>(*ws, 1, 1);
    EXPECT_EQ(ll->get_rect(), c.expected) << c.name;
    // Only level 0 computes; others give their stored rectangle.
    if (const auto nested = at<SeqExecSpec>(*ws, 1, 1, 1)) {
      EXPECT_EQ(nested->get_rect_for_ll(), (Rectangle{0, 0, 0, 0})) << c.name;
    }
  }
}

TEST(SeqElements, MessageWithoutLinesWidensTheCellItStartsFrom)
{
  // A box of one cell: 16 wide, 8 high.
  for (const int32_t right : {1, -1}) {
    const auto ws = new_ws();
    life_line(*ws, 1, 0, 2);
    const auto ll = at<SeqLifeLine>(*ws, 1, 1);
    put(*ws, SeqExecSpec::create(), 1, 1);
    const auto msg = SeqMessage::create(ll, right);
    put(*ws, msg, 1, 1);
    const Rectangle r = ll->get_rect();
    if (right == 1) {
      EXPECT_DOUBLE_EQ(r.width, 16 + 35.0 / 3);
      EXPECT_DOUBLE_EQ(r.height, 8 + 17.5);
    } else {
      EXPECT_EQ(r, (Rectangle{0, 0, 16, 8}));
    }
    // Once it has a line, nothing is added.
    put(*ws, SeqMsgLine::create_with_msg(msg), 1 + right, 1);
    EXPECT_EQ(ll->get_rect(), (Rectangle{0, 0, 16, 8}));
  }
}

TEST(SeqElements, MessageLineRectangleIsItsTextsAndAGap)
{
  const auto ws = new_ws();
  const auto msg = SeqMessage::create(nullptr, 1);
  put(*ws, msg, 1, 1);
  const auto line = SeqMsgLine::create_with_msg(msg);
  put(*ws, line, 2, 1);
  EXPECT_EQ(line->get_rect(), (Rectangle{0, 0, 0, 0}));
  put(*ws, SizedText::create(60, 20, line), 2, 1);
  EXPECT_EQ(line->get_rect(), (Rectangle{0, 0, 60, 28.75}));
}

TEST(SeqElements, LifeLineCellsAndTheirBoxes)
{
  const auto ws = new_ws();
  const auto head = life_line(*ws, 1, 0, 5);
  // Two boxes of level 0: rows 1-3 and 4-5, a nested one on rows 2-3.
  put(*ws, SeqExecSpec::create(0, true), 1, 1);
  put(*ws, SeqExecSpec::create(0, false), 1, 2);
  put(*ws, SeqExecSpec::create(0, false), 1, 3);
  put(*ws, SeqExecSpec::create(0, true), 1, 4);
  put(*ws, SeqExecSpec::create(0, false), 1, 5);
  put(*ws, SeqExecSpec::create(1, true), 1, 2);
  put(*ws, SeqExecSpec::create(1, false), 1, 3);
  put(*ws, SeqExecSpec::create(-1, true), 1, 3);
  ws->clear_in_process();
  const auto es = [&](int32_t y, int32_t level) { return at<SeqExecSpec>(*ws, 1, y, level); };
  const auto ll = [&](int32_t y) { return at<SeqLifeLine>(*ws, 1, y); };
  EXPECT_EQ(ll(1)->get_head(), head);
  EXPECT_EQ(ll(1)->get_prev_ll(), nullptr);
  EXPECT_EQ(ll(1)->get_next_ll(), ll(2));
  EXPECT_EQ(ll(5)->get_next_ll(), nullptr);
  EXPECT_TRUE(ll(5)->get_is_bottom());
  EXPECT_EQ(ll(3)->get_es(), es(3, 0));
  EXPECT_EQ(ll(3)->es_end(1), 1);
  EXPECT_EQ(ll(3)->es_end(-1), -1);
  EXPECT_EQ(ll(1)->es_end(1), 0);
  EXPECT_EQ(es(2, 1)->get_ll(), ll(2));
  EXPECT_EQ(es(2, 1)->get_parent(), ll(2));
  EXPECT_EQ(es(1, 0)->get_next_es(), es(2, 0));
  // A top cell starts a new box: the box above does not reach it.
  EXPECT_EQ(es(3, 0)->get_next_es(), nullptr);
  EXPECT_EQ(es(4, 0)->get_prev_es(), nullptr);
  EXPECT_EQ(es(5, 0)->get_prev_es(), es(4, 0));
  EXPECT_EQ(es(2, 0)->get_top_es(), es(1, 0));
  EXPECT_EQ(es(2, 0)->get_bottom_es(), es(3, 0));
  EXPECT_EQ(es(3, 1)->get_top_es(), es(2, 1));
  // Each execution specification joined the children of its cell's life line.
  const auto children = ll(3)->get_children();
  EXPECT_EQ(children.size(), 3u);
  EXPECT_TRUE(es(3, 1)->get_is_endrole());
  EXPECT_FALSE(es(3, 0)->get_is_endrole());
}

// Cells of a life line with a gap between them are still neighbours, and
// so are cells whose positions the cell map has not brought up to date.
TEST(SeqElements, LifeLineNeighboursAcrossAGap)
{
  const auto ws = new_ws();
  const auto head = SeqLifeHead::create();
  put(*ws, head, 1, 0);
  for (int32_t y : {1, 2, 5})
    put(*ws, SeqLifeLine::create_with_head(head), 1, y);
  const auto ll = [&](int32_t y) { return at<SeqLifeLine>(*ws, 1, y); };
  EXPECT_EQ(ll(1)->get_next_ll(), ll(2));
  EXPECT_EQ(ll(2)->get_next_ll(), ll(5));
  EXPECT_EQ(ll(5)->get_prev_ll(), ll(2));
  EXPECT_EQ(ll(2)->get_prev_ll(), ll(1));
  EXPECT_EQ(ll(1)->get_prev_ll(), nullptr);
  EXPECT_EQ(ll(1)->get_bottom(), ll(5));
  // A cell of another life line right below is no neighbour.
  const auto other = SeqLifeHead::create();
  put(*ws, other, 3, 0);
  put(*ws, SeqLifeLine::create_with_head(other), 1, 6);
  EXPECT_TRUE(ll(5)->get_is_bottom());
}

TEST(SeqElements, MarkingOneCellOfABoxMarksTheWholeBox)
{
  const auto ws = new_ws();
  life_line(*ws, 1, 0, 5);
  put(*ws, SeqExecSpec::create(0, true), 1, 1);
  put(*ws, SeqExecSpec::create(0, false), 1, 2);
  put(*ws, SeqExecSpec::create(0, false), 1, 3);
  put(*ws, SeqExecSpec::create(0, true), 1, 4);
  ws->clear_in_process();
  at<SeqExecSpec>(*ws, 1, 2)->set_in_process(true);
  for (int32_t y : {1, 2, 3})
    EXPECT_TRUE(at<SeqExecSpec>(*ws, 1, y)->get_is_in_process()) << y;
  EXPECT_FALSE(at<SeqExecSpec>(*ws, 1, 4)->get_is_in_process());
  // A life-line cell marks its head, so all cells are in process.
  ws->clear_in_process();
  at<SeqLifeLine>(*ws, 1, 3)->set_in_process(true);
  EXPECT_TRUE(at<SeqLifeHead>(*ws, 1, 0)->in_process);
  EXPECT_TRUE(at<SeqLifeLine>(*ws, 1, 5)->get_is_in_process());
  EXPECT_FALSE(at<SeqLifeLine>(*ws, 1, 5)->in_process);
}

TEST(SeqElements, LinesOfALeftwardMessageRunTowardsTheLeft)
{
  const auto ws = new_ws();
  const auto msg = SeqMessage::create(nullptr, -1);
  put(*ws, msg, 5, 1);
  for (int32_t x : {4, 3, 2})
    put(*ws, SeqMsgLine::create_with_msg(msg), x, 1);
  const auto line = [&](int32_t x) { return at<SeqMsgLine>(*ws, x, 1); };
  EXPECT_TRUE(line(4)->get_flip());
  EXPECT_EQ(line(4)->get_lower(), line(3));
  EXPECT_EQ(line(3)->get_upper(), line(4));
  EXPECT_TRUE(line(2)->get_is_tip());
  EXPECT_FALSE(line(4)->get_is_tip());
  EXPECT_EQ(msg->get_tip(), line(2));
  EXPECT_EQ(line(3)->get_right(), -1);
  // Without a kind element the message answers synchronous.
  test::LogCapture log(G_LOG_LEVEL_DEBUG);
  EXPECT_EQ(msg->get_msg_type(), SeqMsgTypeTypes::SYNCHRONOUS);
  put(*ws, SeqMsgType::create_with(msg, 2), 5, 1);
  EXPECT_EQ(line(2)->get_msg_type(), SeqMsgTypeTypes::REPLY);
  // A line marks its message.
  ws->clear_in_process();
  line(3)->set_in_process(true);
  EXPECT_TRUE(msg->in_process);
  EXPECT_TRUE(line(2)->get_is_in_process());
}

TEST(SeqElements, MessageTakesTheLifeLineOfItsCellWhenPasted)
{
  const auto ws = new_ws();
  life_line(*ws, 1, 0, 2);
  const auto msg = SeqMessage::create(nullptr, 1);
  ws->move_hv(1, 1);
  msg->pick_parent(*ws, ws->get_c_elm());
  EXPECT_EQ(msg->get_ll(), at<SeqLifeLine>(*ws, 1, 1));
  // Elsewhere it loses the one it had.
  msg->pick_parent(*ws, nullptr);
  EXPECT_EQ(msg->get_parent(), nullptr);
}

TEST(SeqElements, OperatorIsTheFirstKeywordTheTextStartsWith)
{
  const std::vector<std::pair<const char*, const char*>> cases{
      {"loop i < 3", "loop"}, {"neg", "neg"},        {"negative", "neg"},
      {"ignore", "ignore"},   {"breakout", "break"},  {"alter", "alt"},
      {" alt", "unknown"},    {"Loop", "unknown"},    {"unknown", "unknown"},
      {"", "unknown"},        {"refer", "ref"},       {"parallel", "par"},
      {"opt", "opt"},         {"critical region", "critical"}, {"assert x", "assert"},
      {"consider", "consider"}, {"x", "unknown"},
  };
  for (const auto& [text, op] : cases) {
    const auto ws = new_ws();
    const auto fm = SeqFragment::create();
    put(*ws, fm, 1, 1);
    put(*ws, SeqTextElement::create_with_text(fm, text), 1, 1);
    EXPECT_STREQ(fm->get_operator(), op) << '"' << text << '"';
  }
  // A fragment whose text is missing.
  EXPECT_STREQ(SeqFragment::create()->get_operator(), "unknown");
}

TEST(SeqElements, FrameLineAboveItsFirstSiblingIsTheFragment)
{
  const auto ws = new_ws();
  const auto fm = SeqFragment::create();
  put(*ws, fm, 1, 1);
  const auto a = SeqFragLine::create_with_frag(fm, 1, true);
  const auto b = SeqFragLine::create_with_frag(fm, 1, true);
  put(*ws, a, 1, 2);
  put(*ws, b, 1, 3);
  EXPECT_EQ(b->get_upper(), a);
  EXPECT_EQ(a->get_upper(), fm);
  EXPECT_EQ(b->get_top(), fm);
  EXPECT_EQ(fm->get_bottom_right(), b);
  EXPECT_FALSE(a->get_is_cuttable());
  EXPECT_FALSE(SeqSepLine::create()->get_is_cuttable());
  EXPECT_TRUE(SeqSeparator::create()->get_is_cuttable());
}

// Where a text is added, and what it attaches to.
struct TextCase {
  const char* name;
  std::function<ElementPtr(SeqWorkspace&)> stock;
  ModelAlign valign;
};

TEST(SeqElements, AddedTextPicksItsParent)
{
  const auto msg_at = [](SeqWorkspace& ws, int32_t x, int32_t right) {
    auto msg = SeqMessage::create(nullptr, right);
    put(ws, msg, x, 2);
    ws.clear_in_process();
    return msg;
  };
  const std::vector<TextCase> cases{
      {"empty cell, nothing beside", [](SeqWorkspace&) { return ElementPtr(); }, ModelAlign::CENTER},
      {"a message line and a separator",
       [](SeqWorkspace& ws) {
         auto msg = SeqMessage::create(nullptr, 1);
         put(ws, msg, 0, 2);
         auto line = SeqMsgLine::create_with_msg(msg);
         put(ws, line, 2, 2);
         put(ws, SeqMsgLine::create_with_msg(msg), 3, 2);
         auto fm = SeqFragment::create();
         put(ws, fm, 9, 9);
         put(ws, SeqSeparator::create_with_fl(SeqFragLine::create_with_frag(fm, 1, true)), 2, 2);
         return ElementPtr(line);
       },
       ModelAlign::BOTTOM},
      {"only a separator",
       [](SeqWorkspace& ws) {
         auto fm = SeqFragment::create();
         put(ws, fm, 9, 9);
         auto sp = SeqSeparator::create_with_fl(SeqFragLine::create_with_frag(fm, 1, true));
         put(ws, sp, 2, 2);
         return ElementPtr(sp);
       },
       ModelAlign::TOP},
      {"a top edge",
       [](SeqWorkspace& ws) {
         auto fm = SeqFragment::create();
         put(ws, fm, 1, 2);
         auto fl = SeqFragLine::create_with_frag(fm, 0, true);
         put(ws, fl, 2, 2);
         return ElementPtr(fl);
       },
       ModelAlign::TOP},
      {"a rightward message on the left", [&](SeqWorkspace& ws) { return ElementPtr(msg_at(ws, 1, 1)); },
       ModelAlign::BOTTOM},
      {"a leftward message on the right", [&](SeqWorkspace& ws) { return ElementPtr(msg_at(ws, 3, -1)); },
       ModelAlign::BOTTOM},
      {"a leftward message on the left", [&](SeqWorkspace& ws) {
         msg_at(ws, 1, -1);
         return ElementPtr();
       },
       ModelAlign::CENTER},
      {"both sides: the rightward one wins",
       [&](SeqWorkspace& ws) {
         msg_at(ws, 3, -1);
         return ElementPtr(msg_at(ws, 1, 1));
       },
       ModelAlign::BOTTOM},
  };
  for (const auto& c : cases) {
    const auto ws = new_ws();
    const ElementPtr parent = c.stock(*ws);
    ASSERT_TRUE(ws->add_text({2, 2})) << c.name;
    const auto text = at<SeqTextElement>(*ws, 2, 2);
    EXPECT_EQ(text->get_parent(), parent) << c.name;
    EXPECT_EQ(text->get_role(), parent ? 0 : 1) << c.name;
    EXPECT_EQ(text->align, ModelAlign::CENTER) << c.name;
    EXPECT_EQ(text->valign, c.valign) << c.name;
    EXPECT_EQ(ws->cursor, (CellPos{2, 2})) << c.name;
  }
}

TEST(SeqElements, TextThatHasAParentKeepsItAndItsAlignment)
{
  const auto ws = new_ws();
  const auto head = SeqLifeHead::create();
  put(*ws, head, 4, 4);
  const auto text = SeqTextElement::create_with_parent(head);
  text->valign = ModelAlign::TOP;
  const auto msg = SeqMessage::create(nullptr, 1);
  put(*ws, msg, 1, 2);
  ws->move_hv(2, 2);
  text->pick_parent(*ws, nullptr);
  EXPECT_EQ(text->get_parent(), head);
  EXPECT_EQ(text->valign, ModelAlign::TOP);
  // Stored, it takes the alignment of its parent.
  put(*ws, text, 2, 2);
  EXPECT_EQ(text->valign, ModelAlign::CENTER);
}

} // namespace
} // namespace velkaro::test
