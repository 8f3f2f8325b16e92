// Seeded random key scripts through the cell modes and through the text
// modes: whatever the keys did, nothing breaks, and back in the cell mode,
// undoing every step the history holds gives the document it started with.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/action_processor.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/mode_text_kit.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

constexpr int kSeeds = 100;
constexpr int kKeysPerScript = 40;

// Keys the modes bind and keys nothing binds, alike.
const std::vector<std::string> kCellKeys = {
    "h",      "j",       "k",     "l",      "w",     "b",       "e",      "0",     "$",        "g",         "G",
    "i",      "a",       "I",     "A",      "o",     "O",       "d",      "y",     "p",        "P",         "x",
    "c",      "C",       "v",     "V",      "R",     "u",       "<C-r>",  "<Esc>", "<Enter>",  "<space>",   "<Tab>",
    "t",      "T",       "s",     "S",      "r",     "D",       "<C-v>",  ">",     "<",        "H",         "J",
    "K",      "L",       "m",     "n",      "z",     "Z",       "Q",      "X",     "q",        "<BS>",      "<Del>",
    "<Left>", "<Right>", "<Up>",  "<Down>", "<C-a>", "1",       "2",      "f",     ";",        "gg",        "dd",
    "yy",     "tt",      "<C-c>", "<C-[>",  "<CR>",  "<S-Tab>", "<Home>", "<End>", "<PageUp>", "<PageDown>"};

// "TYPE" stands for text typed through the input method while an insert
// mode is current.
const std::vector<std::string> kTextKeys = {
    "tt", "i",  "a",  "I",    "A",     "c",       "h",      "j",       "k",     "l",      "u",     "<Esc>", "x",
    "dd", "dw", "cw", "o",    "O",     "v",       "V",      "y",       "p",     "P",      "D",     "w",     "b",
    "e",  "0",  "$",  "<BS>", "<Del>", "<Enter>", "<Left>", "<Right>", "<Up>",  "<Down>", "<C-r>", "r",     "s",
    "m",  "C",  "S",  "J",    "~",     "yy",      "gg",     "G",       "<Tab>", "TYPE",   "TYPE",  "TYPE"};

TEST(RandomScripts, CellModesUndoBackToTheStart)
{
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(seed);
    KindKit kit = cell_kit();
    auto& ctx = *kit.ctx;
    put_layout(*kit.ws, {"a@1,1", "b+c@2,1", "d@1,3", "e@4,4"});
    put_marks(*kit.ws, {"m@3,2+1,1", "n@0,5"});
    const std::string before = document_of(*kit.ws);
    ctx.set_pos({1, 1});
    std::string script;
    for (int i = 0; i < kKeysPerScript; ++i) {
      const std::string& keys = kCellKeys[random() % kCellKeys.size()];
      script += keys;
      press_keys(ctx, keys);
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    ctx.change_to_cell_mode();
    for (size_t i = undo_steps(kit); i > 0; --i)
      ctx.get_action_proc()->undo(false);
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
    kit.go(1, 1);
    std::string script;
    for (int i = 0; i < kKeysPerScript; ++i) {
      const std::string& keys = kTextKeys[random() % kTextKeys.size()];
      script += keys + " ";
      if (keys != "TYPE")
        press_keys(*kit.ctx, keys);
      else if (kit.mode_name().find("INSERT") != std::string::npos)
        kit.type(random() % 2 ? "xé" : "\n");
      // Now and then the idle work the modes queued runs in between.
      if (random() % 5 == 0)
        run_main_loop();
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + script);
    kit.ctx->change_to_cell_mode();
    run_main_loop();
    for (size_t i = kit.undo_depth(); i > 0; --i)
      kit.ctx->get_action_proc()->undo(false);
    EXPECT_EQ(document_of(*kit.ws), before);
  }
}

} // namespace
} // namespace velkaro::test
