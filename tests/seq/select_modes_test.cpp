// The sequence select mode (the candidates of a life-line cell and what
// settling does with the chosen one), the select-cell mode's fragment and
// its blocks.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "seq/range_mode.h"
#include "seq/select_cell_mode.h"
#include "seq/select_mode.h"
#include "seq/seq_modes_for_test.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

using Tokens = std::vector<std::string>;

Tokens candidate_tokens(const SeqSelectMode& mode)
{
  Tokens tokens;
  for (const auto& c : mode.candidates)
    tokens.push_back(token(*c));
  return tokens;
}

// A life line at column 2 (rows 1 to 5) and, on its cell (2, 2), what the
// case builds there: execution specifications of the levels in order (each nested
// one beyond the outermost on the side of the sign; 0 on a bare cell) and
// messages to the left and to the right.
struct Cell {
  // The signs of the execution specifications, in the order they are
  // added; a 0 adds none. A fixed array: GCC 12 takes the vectors of a
  // table's rows for maybe uninitialized when it destroys them.
  std::array<int32_t, 3> steps{};
  bool left_message = false;
  bool right_message = false;
};

void build_cell(SeqWorkspace& ws, const Cell& cell)
{
  life_line(ws, 2, 0, 5);
  for (const int32_t step : cell.steps) {
    if (step != 0) {
      ASSERT_TRUE(add_exec_spec(ws, 2, 2, step));
    }
  }
  if (cell.left_message) {
    ASSERT_TRUE(add_message(ws, 2, 2, range(2, 2, 0, 2)));
  }
  if (cell.right_message) {
    ASSERT_TRUE(add_message(ws, 2, 2, range(2, 2, 4, 2)));
  }
}

TEST(SeqSelectMode, OffersTheCandidatesOfTheCellWithTheMiddleOneSelected)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* name;
    Cell cell;
    const char* keys;
    CtrlSelectModeModes purpose;
    Tokens candidates;
    int selected;
  };
  const Case cases[] = {
    {"both messages and level 0", {{1}, true, true}, "x", CtrlSelectModeModes::del, {"msg<", "es0T", "msg>"}, 1},
    {"nested on both sides: level 0 is not offered",
     {{1, 1, -1}, true, true},
     "x",
     CtrlSelectModeModes::del,
     {"msg<", "es-1T", "es1T", "msg>"},
     2},
    {"the outermost on the left", {{1, -1, -1}, false, true}, "c", CtrlSelectModeModes::chg_msg,
     {"es-2T", "msg>"}, 1},
    {"a yank offers no execution specification", {{1}, true, false}, "y", CtrlSelectModeModes::yank, {"msg<"}, 0},
    {"execution specifications only", {{1, 1, -1}, false, false}, "c", CtrlSelectModeModes::chg_es,
     {"es-1T", "es1T"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeqKit kit;
    build_cell(*kit.ws, c.cell);
    kit.go(2, 2);
    kit.keys(c.keys);
    ASSERT_EQ(kit.mode_name(), "SELECT MODE");
    const auto& mode = kit.mode<SeqSelectMode>();
    EXPECT_EQ(mode.mode, c.purpose);
    EXPECT_EQ(candidate_tokens(mode), c.candidates);
    EXPECT_EQ(mode.sel_index, c.selected);
    // Only the selected candidate is highlighted.
    for (std::size_t i = 0; i < mode.candidates.size(); ++i)
      EXPECT_EQ(mode.candidates[i]->get_is_in_process(), int(i) == c.selected) << i;
    EXPECT_EQ(kit.cursor(), (CellPos{2, 2}));
  }
}

TEST(SeqSelectMode, DeletingAMessageKeepsItForAPasteAndMarksTheDocumentModified)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  build_cell(*kit.ws, {{1}, false, true});
  const std::string before = kit.doc();
  kit.ws->modified = false;
  int updates = 0;
  kit.ws->signal_updated().connect([&updates] { ++updates; });
  kit.go(2, 2);
  kit.keys("x");
  ASSERT_EQ(kit.mode_name(), "SELECT MODE");
  ASSERT_EQ(token(*kit.mode<SeqSelectMode>().get_selected()), "msg>");
  EXPECT_EQ(updates, 0);
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_FALSE(at<SeqMessage>(*kit.ws, 2, 2));
  EXPECT_FALSE(at<SeqMsgLine>(*kit.ws, 3, 2));
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 2));
  EXPECT_FALSE(kit.ctx->edit_elm);
  // The deletion is one recorded step that tells the document changed.
  EXPECT_TRUE(kit.ws->modified);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(kit.undo_steps(), 1u);
  ASSERT_TRUE(kit.ctx->get_has_yanked());
  EXPECT_EQ(std::string(kit.ctx->get_yank_elms()->front()->get_type_name()), "SeqMessage");

  // Pasted back where it was, it is the document from before.
  kit.keys("p");
  EXPECT_EQ(kit.doc(), before);
  kit.keys("uu");
  EXPECT_EQ(kit.doc(), before);
  kit.keys("<C-r>");
  EXPECT_FALSE(at<SeqMessage>(*kit.ws, 2, 2));
}

TEST(SeqSelectMode, SettlingByPurpose)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* name;
    Cell cell;
    const char* keys;
    const char* mode_after;
    // The chain at (2, 2) afterwards.
    std::string chain_after;
    size_t steps;
  };
  const Case cases[] = {
    {"del of a execution specification", {{1}, false, true}, "xh<Enter>", "CELL MODE", "ll msg> sync", 1},
    {"del of nested ones: the outer one goes", {{1, 1, -1}, false, true}, "x<Enter>", "CELL MODE",
     "ll es0T es-1T msg> sync", 1},
    {"yank of a message changes nothing", {{1}, true, true}, "yl<Enter>", "CELL MODE",
     "ll es0T msg< sync msg> sync", 1},
    {"a click settles like the key", {{1}, false, true}, "xCLICK", "CELL MODE", "ll es0T", 1},
    {"cancel keeps everything", {{1}, false, true}, "x<Esc>", "CELL MODE", "ll es0T msg> sync", 0},
    {"a right click cancels", {{1}, false, true}, "xRIGHT", "CELL MODE", "ll es0T msg> sync", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeqKit kit;
    build_cell(*kit.ws, c.cell);
    const std::string before = kit.doc();
    kit.go(2, 2);
    std::string keys = c.keys;
    bool click = false;
    bool right = false;
    if (const auto p = keys.find("CLICK"); p != std::string::npos) {
      keys.erase(p);
      click = true;
    }
    if (const auto p = keys.find("RIGHT"); p != std::string::npos) {
      keys.erase(p);
      right = true;
    }
    kit.keys(keys);
    if (click)
      kit.click({5, 5});
    if (right)
      kit.right_press({5, 5});
    EXPECT_EQ(kit.mode_name(), c.mode_after);
    std::string chain;
    kit.ws->elm_at({2, 2})->foreach([&chain](const ElementPtr& e) { chain += (chain.empty() ? "" : " ") + token(*e); });
    EXPECT_EQ(chain, c.chain_after);
    EXPECT_EQ(kit.undo_steps(), c.steps);
    EXPECT_EQ(kit.cursor(), (CellPos{2, 2}));
    kit.undo_all();
    EXPECT_EQ(kit.doc(), before);
    EXPECT_EQ(in_process_count(*kit.ws), 0);
  }
}

TEST(SeqSelectMode, ChangingAChosenCandidateGoesOnInTheRangeMode)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  // Level 0 runs over rows 2 to 5 and carries what is nested on it.
  life_line(*kit.ws, 2, 0, 6);
  const CellRange run = range(2, 2, 2, 5);
  ASSERT_TRUE(add_exec_spec(*kit.ws, 2, 2, 1, &run));
  ASSERT_TRUE(add_exec_spec(*kit.ws, 2, 2, 1));
  ASSERT_TRUE(add_exec_spec(*kit.ws, 2, 2, -1));
  const std::string before = kit.doc();
  kit.go(2, 2);
  kit.keys("c");
  ASSERT_EQ(kit.mode_name(), "SELECT MODE");
  const auto chosen = kit.mode<SeqSelectMode>().get_selected();
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_EQ(kit.mode<SeqRangeMode>().mode, CtrlRangeModeModes::change_selected);
  EXPECT_EQ(kit.ctx->edit_elm, chosen);
  // Nothing recorded but the range mode's own step.
  EXPECT_EQ(kit.undo_steps(), 1u);
  // Two rows longer from its (only) cell, then settled.
  kit.keys("jj<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(at<SeqExecSpec>(*kit.ws, 2, 4, 1));
  EXPECT_FALSE(at<SeqExecSpec>(*kit.ws, 2, 4, -1));
  kit.undo_all();
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqSelectCellMode, IInsertsAFragmentOverASelectionOfThreeByThree)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  const std::string before = kit.doc();
  kit.go(1, 1);
  // Two cells wide: refused, nothing recorded, the mode stays.
  kit.keys("vlj");
  kit.keys("I");
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), 0u);
  kit.keys("ljI");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(at<SeqFragment>(*kit.ws, 1, 1));
  EXPECT_TRUE(at<SeqFragLine>(*kit.ws, 3, 3));
  EXPECT_FALSE(kit.ctx->selected_range);
  EXPECT_EQ(kit.undo_steps(), 1u);
  EXPECT_EQ(in_process_count(*kit.ws), 0);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqSelectCellMode, InsertFragmentIsRegisteredWithItsKeyAndDescription)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  auto& mode = kit.mode<SeqSelectCellMode>();
  const auto actions = mode.enum_actions();
  ASSERT_FALSE(actions.empty());
  const auto& own = actions.back();
  EXPECT_EQ(own->get_name(), "insert-fragment");
  EXPECT_EQ(own->get_app_keys(), (CtrlActionWrapper::Keys{"I"}));
  EXPECT_EQ(own->get_description(), "Insert a fragment");
  EXPECT_FALSE(own->has_is_actionable_func());
  // Actionable while the mode is current, and only then.
  EXPECT_FALSE(kit.ctx->enum_actionable_name().count("insert-fragment"));
  kit.keys("v");
  EXPECT_TRUE(kit.ctx->enum_actionable_name().count("insert-fragment"));
}

// Closing the gap of the block (2, 1)-(4, 2) removed along the rows would
// move the life line of column 5 onto what crosses the gap, and the text
// at (8, 2) moving in behind it took the life head's place, which was lost:
// the block is refused whole, so nothing is lost, no step is recorded and
// the mode stays. Opening columns there moves everything right.
TEST(SeqSelectCellMode, ABlockThatCannotPlaceALifeHeadChangesNothing)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 1, 6);
  life_line(*kit.ws, 5, 1, 6);
  const CellRange run = range(1, 3, 1, 4);
  ASSERT_TRUE(add_exec_spec(*kit.ws, 1, 3, 1, &run));
  ASSERT_TRUE(add_message(*kit.ws, 1, 3, range(1, 3, 5, 3)));
  ASSERT_TRUE(add_message(*kit.ws, 5, 5, range(5, 5, 1, 6)));
  put(*kit.ws, SeqTextElement::create(), 8, 2);
  kit.ws->clear_in_process();
  kit.ws->modified = false;
  const std::string before = kit.doc();
  LogCapture log;
  kit.go(2, 1);
  kit.keys("<C-space>");
  kit.keys("vllj");
  kit.keys("dd");
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_TRUE(at<SeqLifeHead>(*kit.ws, 5, 1));
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_FALSE(kit.ws->modified);
  EXPECT_EQ(log.warnings, LogCapture::Lines{});
  EXPECT_EQ(log.criticals, LogCapture::Lines{});

  kit.keys("i");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_TRUE(at<SeqLifeHead>(*kit.ws, 8, 1));
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

} // namespace
} // namespace velkaro::test
