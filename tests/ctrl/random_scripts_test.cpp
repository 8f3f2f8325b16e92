// Seeded random key scripts through the cell modes (with pointer presses,
// drags and releases among the keys) and through the text modes: whatever
// they did, nothing breaks, a document that is no longer the one saved is
// marked modified after every key, and back in the cell mode, undoing every
// step the history holds gives the document it started with.
// In the cell modes, after every key the refresh of enabled actions (whose
// dry runs work on scratch cells mirroring the document) leaves the document
// as it was; in both, after every key and every undo the covering index, the
// positions and the grid equal a full recomputation from the cells, and
// every parent link leads to an element of the document that lists its
// child.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/mode.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/mode_text_kit.h"
#include "ctrl/test_kind.h"
#include "model/structures_for_test.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 100;
constexpr int kKeysPerScript = 40;

// Keys the modes bind and keys nothing binds, alike; "MOUSE" stands for a
// pointer event handed to the current mode.
const std::vector<std::string> kCellKeys = {
    "MOUSE",  "MOUSE", "MOUSE",    "MOUSE",     "MOUSE", "h",      "j",       "k",     "l",      "w",     "b",
    "e",      "0",     "$",        "g",         "G",     "i",      "a",       "I",     "A",      "o",     "O",
    "d",      "y",     "p",        "P",         "x",     "c",      "C",       "v",     "V",      "R",     "u",
    "<C-r>",  "<Esc>", "<Enter>",  "<space>",   "<Tab>", "t",      "T",       "s",     "S",      "r",     "D",
    "<C-v>",  ">",     "<",        "H",         "J",     "K",      "L",       "m",     "n",      "z",     "Z",
    "Q",      "X",     "q",        "<BS>",      "<Del>", "<Left>", "<Right>", "<Up>",  "<Down>", "<C-a>", "1",
    "2",      "f",     ";",        "gg",        "dd",    "yy",     "tt",      "<C-c>", "<C-[>",  "<CR>",  "<S-Tab>",
    "<Home>", "<End>", "<PageUp>", "<PageDown>"};

// "TYPE" stands for text typed through the input method while an insert
// mode is current.
const std::vector<std::string> kTextKeys = {
    "tt", "i",  "a",  "I",    "A",     "c",       "h",      "j",       "k",     "l",      "u",     "<Esc>", "x",
    "dd", "dw", "cw", "o",    "O",     "v",       "V",      "y",       "p",     "P",      "D",     "w",     "b",
    "e",  "0",  "$",  "<BS>", "<Del>", "<Enter>", "<Left>", "<Right>", "<Up>",  "<Down>", "<C-r>", "r",     "s",
    "m",  "C",  "S",  "J",    "~",     "yy",      "gg",     "G",       "<Tab>", "TYPE",   "TYPE",  "TYPE"};

// Hands the current mode of kit one pointer event at the centre of a cell
// near the document or at a point anywhere around it; what it did, for the
// trace.
std::string pointer_event(std::mt19937& random, KindKit& kit, std::optional<Point>& drag_start)
{
  const auto pt = random() % 3
                      ? centre_of(*kit.ws, {static_cast<int32_t>(random() % 7), static_cast<int32_t>(random() % 7)})
                      : Point(static_cast<double>(random() % 2000) - 500.0,
                              static_cast<double>(random() % 2000) - 500.0);
  const auto mode = kit.ctx->get_now_mode();
  switch (random() % 6) {
  case 0:
    drag_start = pt;
    mode->on_press_left_button(pt);
    return "[press " + pt.to_string() + "]";
  case 1:
    mode->on_drag_with_left_button(drag_start ? *drag_start : pt, pt);
    return "[drag " + pt.to_string() + "]";
  case 2:
    drag_start.reset();
    mode->on_release_left_button(pt);
    return "[release " + pt.to_string() + "]";
  case 3:
    mode->on_double_press_left_button(pt);
    return "[double " + pt.to_string() + "]";
  case 4:
    mode->on_press_right_button(pt);
    return "[right " + pt.to_string() + "]";
  default:
    mode->on_release_right_button(pt);
    return "[right release " + pt.to_string() + "]";
  }
}

TEST(RandomScripts, CellModesUndoBackToTheStart)
{
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(seed);
    KindKit kit = cell_kit();
    auto& ctx = *kit.ctx;
    put_layout(*kit.ws, {"a@1,1", "b+c@2,1", "d@1,3", "e@4,4"});
    put_marks(*kit.ws, {"m@3,2+1,1", "n@0,5"});
    const std::string before = document_of(*kit.ws);
    kit.ws->modified = false;
    ctx.set_pos({1, 1});
    std::string script;
    std::optional<Point> drag_start;
    bool unmarked = false;
    for (int i = 0; i < kKeysPerScript && !unmarked; ++i) {
      const std::string& keys = kCellKeys[random() % kCellKeys.size()];
      if (keys == "MOUSE") {
        script += pointer_event(random, kit, drag_start);
      } else {
        script += keys;
        press_keys(ctx, keys);
        const std::string now = document_of(*kit.ws);
        (void)ctx.enum_actionable_name();
        ASSERT_EQ(document_of(*kit.ws), now) << "seed " << seed << ": " << script;
        expect_structures_and_links(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
      }
      unmarked = !kit.ws->modified && document_of(*kit.ws) != before;
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    EXPECT_FALSE(unmarked) << "the document changed but is not marked modified";
    ctx.change_to_cell_mode();
    for (size_t i = undo_steps(kit); i > 0; --i) {
      ctx.get_action_proc()->undo(false);
      expect_structures_and_links(*kit.ws, "seed " + std::to_string(seed) + ", undoing: " + script);
    }
    EXPECT_EQ(document_of(*kit.ws), before);
  }
}

TEST(RandomScripts, TextModesUndoBackToTheStart)
{
  VELKARO_REQUIRE_GTK();
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(seed);
    TextKit kit;
    kit.put_text(1, 1, "hello world");
    kit.put_text(1, 2, "two\nlines é");
    kit.put_text(2, 1, "");
    const std::string before = document_of(*kit.ws);
    kit.ws->modified = false;
    kit.go(1, 1);
    std::string script;
    bool unmarked = false;
    for (int i = 0; i < kKeysPerScript && !unmarked; ++i) {
      const std::string& keys = kTextKeys[random() % kTextKeys.size()];
      script += keys + " ";
      if (keys != "TYPE")
        press_keys(*kit.ctx, keys);
      else if (kit.mode_name().find("INSERT") != std::string::npos)
        kit.type(random() % 2 ? "xé" : "\n");
      // Now and then the idle work the modes queued runs in between.
      if (random() % 5 == 0)
        run_main_loop();
      expect_structures_and_links(*kit.ws, "seed " + std::to_string(seed) + ": " + script);
      unmarked = !kit.ws->modified && document_of(*kit.ws) != before;
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    EXPECT_FALSE(unmarked) << "the document changed but is not marked modified";
    kit.ctx->change_to_cell_mode();
    run_main_loop();
    for (size_t i = kit.undo_depth(); i > 0; --i) {
      kit.ctx->get_action_proc()->undo(false);
      expect_structures_and_links(*kit.ws, "seed " + std::to_string(seed) + ", undoing: " + script);
    }
    EXPECT_EQ(document_of(*kit.ws), before);
  }
}

} // namespace
} // namespace velkaro::test
