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

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/gdk_events_for_test.h"
#include "model/structures_for_test.h"
#include "stm/stm_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/random_scripts_for_test.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 60;
constexpr int kEventsPerScript = 50;

const RandomAlphabet kStmAlphabet = {
  {"MOUSE", "MOUSE", "MOUSE", "TYPE",    "TYPE",    "h",     "j",       "k",      "l",      "h",
   "j",     "k",     "l",     "i",       "i",       "a",     "a",       "I",      "A",      "tt",
   "T",     "c",     "r",     "x",       "y",       "p",     "v",       "v",      "R",      "u",
   "u",     "<C-r>", "<Esc>", "<Esc>",   "<Enter>", "<Enter>", "w",     "b",      "o",      "O",
   "dd",    "gg",    "G",     "<Tab>",   "<Del>",   "<BS>",  "e",       "0",      "$",      "<C-c>",
   "<C-v>", "<C-x>", "<Left>", "<Right>", "<Up>",   "<Down>", "<plus>", "<minus>", "s",     "D"},
  {"ab", "x", "Zq", "é", "<Enter>", " "},
  10,
  10,
  false,
};

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

TEST(StmRandomScripts, NothingBreaksAndEveryStepUndoesBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  // The scripts reach the popup (a popup held up by another test's grab
  // merely skips a turn).
  int menu_events = 0;
  for (int seed = 0; seed < kSeeds; ++seed) {
    StmKit kit;
    RandomScript script(seed, kit, kStmAlphabet);
    kit.main_view->long_press_time = 5;
    build_document(*kit.ws);
    const std::string before = kit.doc();
    kit.go(1, 1);
    LogCapture log;
    for (int i = 0; i < kEventsPerScript; ++i) {
      if (VKMenu* menu = shown_popup()) {
        const std::string& key = kMenuKeys[script.draw(kMenuKeys.size())];
        script.note("[menu " + key + "]");
        ++menu_events;
        menu_keys(*menu, key);
        run_main_loop_for(2);
      } else {
        script.event();
      }
      script.pause_now_and_then();
      expect_structures_and_links(*kit.ws, script.where());
    }
    SCOPED_TRACE(script.where());
    close_popups();
    expect_history_round_trip(
      kit, before, [&kit](const std::string& where) { expect_structures_and_links(*kit.ws, where); },
      [&kit] { EXPECT_EQ(in_process_count(*kit.ws), 0); });
    EXPECT_EQ(log.criticals, LogCapture::Lines{});
    EXPECT_EQ(log.warnings, LogCapture::Lines{});
  }
  EXPECT_GT(menu_events, kSeeds);
}

} // namespace
} // namespace velkaro::test
