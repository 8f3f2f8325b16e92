// Seeded random scripts through every state-machine mode on a real canvas:
// the cell mode's keys, the range mode stretching transitions, concurrency
// lines, composites and texts, the select-cell mode and its composites,
// the text modes typing, the move-view mode, and the insert popup, whose
// grab takes the keys while it is up. Whatever a script did, nothing
// breaks or complains, and back in the cell mode, undoing every step the
// history holds gives the starting document, and redoing them all gives
// the document again. After every event the covering index, the positions
// and the grid equal a full recomputation from the cells, and every parent
// link leads to an element of the document that lists its child; after
// undoing everything no element is left in process.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/gdk_events_for_test.h"
#include "model/structures_for_test.h"
#include "stm/stm_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 60;
constexpr int kEventsPerScript = 50;

// "MOUSE" stands for a pointer event; "TYPE" for a few printable keys.
const std::vector<std::string> kKeys = {
  "MOUSE", "MOUSE", "MOUSE", "TYPE",    "TYPE",    "h",     "j",       "k",      "l",      "h",
  "j",     "k",     "l",     "i",       "i",       "a",     "a",       "I",      "A",      "tt",
  "T",     "c",     "r",     "x",       "y",       "p",     "v",       "v",      "R",      "u",
  "u",     "<C-r>", "<Esc>", "<Esc>",   "<Enter>", "<Enter>", "w",     "b",      "o",      "O",
  "dd",    "gg",    "G",     "<Tab>",   "<Del>",   "<BS>",  "e",       "0",      "$",      "<C-c>",
  "<C-v>", "<C-x>", "<Left>", "<Right>", "<Up>",   "<Down>", "<plus>", "<minus>", "s",     "D",
};

const std::vector<std::string> kTyped = {"ab", "x", "Zq", "é", "<Enter>", " "};

// What the popup takes while it holds the grab.
const std::vector<std::string> kMenuKeys = {"j", "j", "k", "l", "h", "<Enter>", "<Enter>", "<Esc>"};

void build_document(StmWorkspace& ws)
{
  ASSERT_TRUE(ws.insert_multi_elm("composite", CellRange{{4, 3}, {8, 7}}));
  ASSERT_TRUE(ws.insert_elm({1, 1}, "beginstate"));
  ASSERT_TRUE(ws.insert_elm({5, 5}, "junction"));
  ASSERT_TRUE(ws.insert_elm({1, 8}, "sinkstate"));
  auto tr = ws.insert_elm_4_edit({1, 1}, "transaction");
  ASSERT_NE(tr, nullptr);
  (void)ws.resize(tr, CellRange{{1, 1}, {5, 1}}, {1, 1});
  auto down = ws.insert_elm_4_edit({5, 1}, "transaction");
  ASSERT_NE(down, nullptr);
  (void)ws.resize(down, CellRange{{5, 1}, {5, 5}}, {5, 1});
  auto bar = ws.insert_elm_4_edit({6, 3}, "concurrent");
  ASSERT_NE(bar, nullptr);
  (void)ws.resize(bar, CellRange{{6, 3}, {6, 7}}, {6, 3});
  ASSERT_TRUE(ws.add_text({2, 6}));
  ws.clear_in_process();
}

std::string pointer_event(std::mt19937& random, StmKit& kit)
{
  const CellPos cell{static_cast<int32_t>(random() % 10), static_cast<int32_t>(random() % 10)};
  switch (random() % 6) {
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
  default:
    kit.press(cell);
    kit.drag_to({cell.x + 2, cell.y + 2});
    kit.release({cell.x + 2, cell.y + 2});
    return "[drag from " + cell.to_string() + "]";
  }
}

TEST(StmRandomScripts, NothingBreaksAndEveryStepUndoesBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  // The scripts reach the popup (a popup held up by another test's grab
  // merely skips a turn).
  int menu_events = 0;
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(seed);
    StmKit kit;
    kit.main_view->long_press_time = 5;
    build_document(*kit.ws);
    const std::string before = kit.doc();
    kit.go(1, 1);
    std::string script;
    LogCapture log;
    for (int i = 0; i < kEventsPerScript; ++i) {
      if (VKMenu* menu = shown_popup()) {
        const std::string& key = kMenuKeys[random() % kMenuKeys.size()];
        script += "[menu " + key + "]";
        ++menu_events;
        menu_keys(*menu, key);
        run_main_loop_for(2);
      } else {
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
      }
      if (random() % 6 == 0)
        run_main_loop_for(8);
      expect_structures(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
      expect_parent_links(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    close_popups();
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
    EXPECT_EQ(in_process_count(*kit.ws), 0);
    for (size_t i = 1; i <= steps; ++i) {
      kit.redo(1);
      expect_structures(*kit.ws, "redo of step " + std::to_string(i));
      expect_parent_links(*kit.ws, "redo of step " + std::to_string(i));
    }
    EXPECT_EQ(kit.doc(), end);
    EXPECT_EQ(log.criticals, LogCapture::Lines{});
    EXPECT_EQ(log.warnings, LogCapture::Lines{});
  }
  EXPECT_GT(menu_events, kSeeds);
}

} // namespace
} // namespace velkaro::test
