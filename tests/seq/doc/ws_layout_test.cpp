// Line sizes that follow elements of other cells: a life-line cell is as
// high as the boxes starting and ending in it (a box ends where the next
// cell does not carry it on) and grows for a message without lines that
// starts from it. Whatever changes those elements, through the sequence
// operations or the workspace's plain ones, and their undo and redo, the
// grid is what laying the document out afresh gives. Typing into a text lays
// out what laying out both its lines whole would.

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/structures_for_test.h"
#include "seq/doc/seq_for_test.h"
#include "seq_diagram.h"

namespace velkaro::test {
namespace {

// A life line at column 2 (rows 1 to 5), another at column 5, and on the
// cell (2, 3) boxes of levels 0 and -1, so that the cell is 16 units high
// before its messages; with long_box the level-0 box goes on into (2, 4),
// which takes 4 off.
std::shared_ptr<SeqWorkspace> boxed(bool long_box)
{
  const auto ws = test::new_ws();
  life_line(*ws, 2, 0, 5);
  life_line(*ws, 5, 0, 5);
  const CellRange down = range(2, 3, 2, 4);
  EXPECT_TRUE(ws->insert_execspec({2, 3}, 1, long_box ? &down : nullptr, true));
  EXPECT_TRUE(ws->insert_execspec({2, 3}, -1, nullptr, true));
  ws->clear_in_process();
  EXPECT_EQ(test::at<SeqExecSpec>(*ws, 2, 4, 0) != nullptr, long_box);
  return ws;
}

// A message from (2, 3): with lines to (5, 3), or without any.
std::shared_ptr<SeqMessage> made_message(SeqWorkspace& ws, bool lines)
{
  int32_t right = 1;
  const CellRange to = lines ? range(2, 3, 5, 3) : range(2, 3, 2, 3);
  auto msg = ws.insert_message({2, 3}, right, &to, ANY_ROLE);
  EXPECT_TRUE(msg);
  ws.clear_in_process();
  return msg;
}

TEST(SeqWorkspaceLayout, ALifeLineCellFollowsWhatSizesItFromElsewhere)
{
  struct Case {
    const char* name;
    bool long_box;
    std::function<void(SeqWorkspace&)> build;
    std::function<void(SeqWorkspace&)> change;
    // Row 3 after the change: the boxes' 16 units (8 when the level-0 box
    // goes on below), 17.5 for a message without lines, 10 around; at
    // least 35.
    double row_3;
  };
  const std::vector<Case> cases = {
    {"the level-0 box removed beside a message without lines", false,
     [](SeqWorkspace& ws) { made_message(ws, false); },
     [](SeqWorkspace& ws) { ws.rm_es(test::at<SeqExecSpec>(ws, 2, 3, 0)); }, 35.0},
    {"the cell below that carried the level-0 box on removed", true,
     [](SeqWorkspace& ws) { made_message(ws, false); },
     [](SeqWorkspace& ws) { ws.remove(test::at<SeqExecSpec>(ws, 2, 4, 0)); }, 43.5},
    {"the life-line cell below removed", true,
     [](SeqWorkspace& ws) { made_message(ws, false); },
     [](SeqWorkspace& ws) { ws.remove_all(test::at<SeqLifeLine>(ws, 2, 4), false); }, 43.5},
    {"the message's last lines removed", false,
     [](SeqWorkspace& ws) { made_message(ws, true); },
     [](SeqWorkspace& ws) {
       for (int32_t x = 5; x >= 3; --x)
         ws.remove(test::at<SeqMsgLine>(ws, x, 3));
     },
     43.5},
    {"lines given to a message without any", false,
     [](SeqWorkspace& ws) {
       const auto msg = made_message(ws, false);
       ASSERT_TRUE(ws.mod_msgline(msg, range(2, 3, 4, 3), ANY_ROLE));
       ws.clear_in_process();
       for (int32_t x = 4; x >= 3; --x)
         ws.remove(test::at<SeqMsgLine>(ws, x, 3));
     },
     [](SeqWorkspace& ws) { ASSERT_TRUE(ws.mod_msgline(test::at<SeqMessage>(ws, 2, 3), range(2, 3, 5, 3), ANY_ROLE)); },
     35.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ws = boxed(c.long_box);
    c.build(*ws);
    ws->clear_in_process();
    test::expect_structures(*ws, "built");
    const std::string before = document_of(*ws);
    const auto d = test::record_edit(*ws, [&] { c.change(*ws); });
    ws->clear_in_process();
    const std::string after = document_of(*ws);
    ASSERT_NE(after, before);
    EXPECT_DOUBLE_EQ(ws->grid->v->get_size(3), c.row_3);
    test::expect_structures(*ws, "changed");
    ws->patch(*d->reverse());
    ASSERT_EQ(document_of(*ws), before);
    test::expect_structures(*ws, "undone");
    ws->patch(*d);
    ASSERT_EQ(document_of(*ws), after);
    test::expect_structures(*ws, "redone");
  }
}

// Everything a layout sets: the size of every line up to last, and every
// element's rectangle (a text's also its place in its box).
std::vector<double> laid_out(ModelWorkspace& ws, int32_t last)
{
  std::vector<double> state;
  for (int32_t i = 0; i <= last; ++i) {
    state.push_back(ws.grid->h->get_size(i));
    state.push_back(ws.grid->v->get_size(i));
  }
  ws.get_cells()->foreach([&](int32_t, int32_t, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) {
      const Rectangle r = e->get_rect();
      state.insert(state.end(), {r.x, r.y, r.width, r.height});
      if (const auto text = std::dynamic_pointer_cast<ModelTextElement>(e))
        state.insert(state.end(), {text->get_pango_layout_offset().get_x(), text->get_pango_layout_offset().get_y()});
    });
    return true;
  });
  return state;
}

// The layout of a cell as a walk of its whole lines: each line sized from
// every rectangle on it as it now is, every element on it laid out again.
void lay_out_whole_lines(ModelWorkspace& ws, const CellPos& p)
{
  const auto cells = ws.get_cells();
  for (const CellDir dir : {CellDir::h, CellDir::v}) {
    const int32_t index = dir == CellDir::h ? p.x : p.y;
    double most = 0.0;
    for (const auto& met : cells->covering(dir, index)) {
      const Rectangle r = met.elm->get_rect();
      most = std::max(most, dir == CellDir::h ? (r.width + 10.0) / met.elm->get_mwidth()
                                              : (r.height + 10.0) / met.elm->get_mheight());
    }
    (dir == CellDir::h ? ws.grid->h : ws.grid->v)->set_size(index, most);
  }
  for (const CellDir dir : {CellDir::h, CellDir::v})
    for (const auto& met : cells->covering(dir, dir == CellDir::h ? p.x : p.y))
      met.elm->layout_for(ws, met.x, met.y);
}

// Typing lays out only the text's chain and the lines whose sizes change:
// names, message texts, labels and separator texts made longer, shorter,
// taller and empty leave the diagram as laying out both lines whole does.
TEST(SeqWorkspaceLayout, TypingLaysOutWhatLayingOutTheWholeLinesWould)
{
  const auto ws = test::new_ws();
  const SeqDiagramFigures f = seq_generate_diagram(*ws, 60);
  const int32_t last = f.rows + SeqDiagramColumns::ALT_RIGHT;
  std::vector<std::pair<CellPos, std::shared_ptr<SeqTextElement>>> texts;
  ws->get_cells()->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) {
      if (auto t = std::dynamic_pointer_cast<SeqTextElement>(e))
        texts.push_back({{x, y}, std::move(t)});
    });
    return true;
  });
  ASSERT_EQ(static_cast<int>(texts.size()), f.texts);
  const std::vector<std::string> typed = {"", "x", "a much longer text than any the diagram holds", "two\nlines",
                                          "three\nlines\nhigh", "mid"};
  std::mt19937 rng(32);
  for (int step = 0; step < 300; ++step) {
    const auto& [pos, text] = texts[std::uniform_int_distribution<size_t>(0, texts.size() - 1)(rng)];
    const std::string& value = typed[std::uniform_int_distribution<size_t>(0, typed.size() - 1)(rng)];
    text->set_text(value);
    ws->may_updated(text);
    const auto typed_state = laid_out(*ws, last);
    lay_out_whole_lines(*ws, pos);
    ASSERT_EQ(typed_state, laid_out(*ws, last))
      << "step " << step << ": \"" << value << "\" typed at " << pos.to_string();
  }
  test::expect_structures(*ws, "typed");
}

} // namespace
} // namespace velkaro::test
