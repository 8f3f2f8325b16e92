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

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/structures_for_test.h"
#include "seq/seq_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"
#include "view/random_scripts_for_test.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 80;
constexpr int kEventsPerScript = 50;

const RandomAlphabet kSeqAlphabet = {
  {"MOUSE", "MOUSE",   "MOUSE",  "MOUSE",   "MOUSE",  "MOUSE",  "TYPE",   "TYPE",      "h",         "j",
   "k",     "l",       "h",      "j",       "k",      "l",      "i",      "a",         "I",         "A",
   "M",     "tm",      "tt",     "T",       "c",      "r",      "x",      "y",         "p",         "v",
   "R",     "u",       "<C-r>",  "<Esc>",   "<Esc>",  "<Enter>", "<Enter>", "<space>",  "<C-space>", "w",
   "b",     "o",       "O",      "dd",      "gg",     "G",      "<Tab>",  "<Del>",     "<BS>",      "e",
   "0",     "$",       "D",      "P",       "V",      "s",      "q",      "z",         "m",         "n",
   "<C-c>", "<C-v>",   "<C-x>",  "<Left>",  "<Right>", "<Up>",  "<Down>", "<PageUp>", "<C-e>",     "<C-y>",
   "<plus>", "<minus>", "<equal>", "1",     "f",      "g",      "H",      "L",         "J",         "K"},
  {"ab", "x", "Zq", "é", "<Enter>", " "},
  10,
  14,
  true,
};

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

TEST(SeqRandomScripts, NothingBreaksAndEveryStepUndoesBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  for (int seed = 0; seed < kSeeds; ++seed) {
    SeqKit kit;
    RandomScript script(seed, kit, kSeqAlphabet);
    // Long presses happen now and then between events.
    kit.main_view->long_press_time = 5;
    build_document(*kit.ws);
    const std::string before = kit.doc();
    kit.ws->modified = false;
    kit.go(1, 3);
    bool unmarked = false;
    LogCapture log;
    for (int i = 0; i < kEventsPerScript && !unmarked; ++i) {
      script.event();
      script.pause_now_and_then();
      expect_structures_and_links(*kit.ws, script.where());
      unmarked = !kit.ws->modified && kit.doc() != before;
    }
    SCOPED_TRACE(script.where());
    EXPECT_FALSE(unmarked) << "the document changed but is not marked modified";
    expect_history_round_trip(kit, before,
                              [&kit](const std::string& where) { expect_structures_and_links(*kit.ws, where); });
    EXPECT_EQ(log.criticals, LogCapture::Lines{});
    EXPECT_EQ(log.warnings, LogCapture::Lines{});
  }
}

} // namespace
} // namespace velkaro::test
