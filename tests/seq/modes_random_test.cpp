// Seeded random scripts through the sequence modes on a real canvas: keys
// the modes bind and keys nothing binds, typing, and pointer presses,
// double clicks, drags and releases, all delivered to the canvas widget.
// Whatever a script did, nothing breaks or complains, a document that is no
// longer the one it started as is marked modified after every event, and
// back in the cell mode, undoing every step the history holds gives the
// starting document, and redoing them all gives the document again. After
// every event, undo and redo, the covering index, the positions and the
// grid equal a full recomputation from the cells, and every parent link
// leads to an element of the document that lists its child.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "model/structures_for_test.h"
#include "seq/seq_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 80;
constexpr int kEventsPerScript = 50;

// "MOUSE" stands for a pointer event; "TYPE" for a few printable keys,
// which an insert mode types and any other mode takes as keys.
const std::vector<std::string> kKeys = {
  "MOUSE", "MOUSE",   "MOUSE",  "MOUSE",   "MOUSE",  "MOUSE",  "TYPE",   "TYPE",      "h",         "j",
  "k",     "l",       "h",      "j",       "k",      "l",      "i",      "a",         "I",         "A",
  "M",     "tm",      "tt",     "T",       "c",      "r",      "x",      "y",         "p",         "v",
  "R",     "u",       "<C-r>",  "<Esc>",   "<Esc>",  "<Enter>", "<Enter>", "<space>",  "<C-space>", "w",
  "b",     "o",       "O",      "dd",      "gg",     "G",      "<Tab>",  "<Del>",     "<BS>",      "e",
  "0",     "$",       "D",      "P",       "V",      "s",      "q",      "z",         "m",         "n",
  "<C-c>", "<C-v>",   "<C-x>",  "<Left>",  "<Right>", "<Up>",  "<Down>", "<PageUp>", "<C-e>",     "<C-y>",
  "<plus>", "<minus>", "<equal>", "1",     "f",      "g",      "H",      "L",         "J",         "K"};

const std::vector<std::string> kTyped = {"ab", "x", "Zq", "é", "<Enter>", " "};

// A small diagram of every kind.
void build_document(SeqWorkspace& ws)
{
  life_line(ws, 1, 1, 6);
  life_line(ws, 5, 1, 6);
  const CellRange run = range(1, 3, 1, 4);
  add_exec_spec(ws, 1, 3, 1, &run);
  add_message(ws, 1, 3, range(1, 3, 5, 3));
  add_message(ws, 5, 5, range(5, 5, 1, 6));
  add_fragment(ws, 0, 9, 6, 12);
  ASSERT_TRUE(ws.insert_separator({0, 11}));
  put(ws, SeqTextElement::create(), 8, 2);
  ws.clear_in_process();
}

// One pointer event on a cell near the document, or at a point anywhere
// around it; what it was, for the trace.
std::string pointer_event(std::mt19937& random, SeqKit& kit)
{
  const CellPos cell{static_cast<int32_t>(random() % 10), static_cast<int32_t>(random() % 14)};
  switch (random() % 7) {
  case 0:
    kit.press(cell);
    return "[press " + cell.to_string() + "]";
  case 1:
    kit.release(cell);
    return "[release " + cell.to_string() + "]";
  case 2:
    kit.double_press(cell);
    return "[double " + cell.to_string() + "]";
  case 3:
    kit.drag_to(cell);
    return "[drag " + cell.to_string() + "]";
  case 4:
    kit.right_press(cell);
    return "[right " + cell.to_string() + "]";
  case 5: {
    const double x = static_cast<double>(random() % 600) - 100.0;
    const double y = static_cast<double>(random() % 600) - 100.0;
    kit.button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, x, y);
    return "[press at " + std::to_string(int(x)) + "," + std::to_string(int(y)) + "]";
  }
  default:
    kit.press(cell);
    kit.drag_to({cell.x + 2, cell.y + 2});
    kit.release({cell.x + 2, cell.y + 2});
    return "[drag from " + cell.to_string() + "]";
  }
}

TEST(SeqRandomScripts, NothingBreaksAndEveryStepUndoesBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(seed);
    SeqKit kit;
    // Long presses happen now and then between events.
    kit.main_view->long_press_time = 5;
    build_document(*kit.ws);
    const std::string before = kit.doc();
    kit.ws->modified = false;
    kit.go(1, 3);
    std::string script;
    bool unmarked = false;
    LogCapture log;
    for (int i = 0; i < kEventsPerScript && !unmarked; ++i) {
      const std::string& keys = kKeys[random() % kKeys.size()];
      if (keys == "MOUSE") {
        script += pointer_event(random, kit);
      } else if (keys == "TYPE") {
        const std::string& typed = kTyped[random() % kTyped.size()];
        script += "[type " + typed + "]";
        kit.keys(typed);
      } else {
        script += keys;
        kit.keys(keys);
      }
      if (random() % 6 == 0)
        run_main_loop_for(8);
      expect_structures(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
      expect_parent_links(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
      unmarked = !kit.ws->modified && kit.doc() != before;
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    EXPECT_FALSE(unmarked) << "the document changed but is not marked modified";
    kit.ctx->change_to_cell_mode();
    run_main_loop_for(8);
    const std::string end = kit.doc();
    const size_t steps = kit.undo_steps();
    for (size_t i = steps; i > 0; --i) {
      kit.undo(1);
      expect_structures(*kit.ws, "undo, " + std::to_string(i) + " steps left");
      expect_parent_links(*kit.ws, "undo, " + std::to_string(i) + " steps left");
    }
    EXPECT_EQ(kit.doc(), before);
    for (size_t i = 1; i <= steps; ++i) {
      kit.redo(1);
      expect_structures(*kit.ws, "redo of step " + std::to_string(i));
      expect_parent_links(*kit.ws, "redo of step " + std::to_string(i));
    }
    EXPECT_EQ(kit.doc(), end);
    EXPECT_EQ(log.criticals, LogCapture::Lines{});
    EXPECT_EQ(log.warnings, LogCapture::Lines{});
  }
}

} // namespace
} // namespace velkaro::test
