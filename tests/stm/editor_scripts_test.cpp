// The state-machine editor driven by keys and pointer events on a real
// canvas: the insert popup on empty cells and transition ends, transitions
// started on states and stretched in the range mode, paths continued,
// composites over a selection, texts, and what the cell mode leaves alone.
// The keys reach the canvas as a script sends them, without a current GTK
// event, and the popup still comes up at the cursor cell.

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "common/cell_range.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "stm/insert_list.h"
#include "stm/range_mode.h"
#include "stm/stm_modes_for_test.h"
#include "support/log_capture.h"
#include "view/bars_for_test.h"

namespace velkaro::test {
namespace {

const std::vector<std::string> kConcurrentMenu = {
  "_Concurrent",  "_Begin State", "_Sink State", "_Entry State", "E_xit State", "Te_rminate Node",
  "H_istory",     "C_onditional Pseudo State",   "J_unction",
};

void put_state(StmWorkspace& ws, const std::string& name, int32_t x, int32_t y)
{
  ASSERT_TRUE(ws.insert_elm({x, y}, name));
}

// Picks the item labelled label of the popup that is up, as Return does.
void choose(const std::string& label)
{
  VKMenu* menu = shown_popup();
  ASSERT_NE(menu, nullptr) << "no popup to choose " << label << " from";
  auto* item = find_item(*menu, label);
  ASSERT_NE(item, nullptr) << label;
  menu->select_item(*item);
  menu_keys(*menu, "<Enter>");
  run_main_loop_for(5);
  EXPECT_EQ(shown_popup(), nullptr);
}

TEST(StmEditor, InsertOnAnEmptyCellPopsUpTheMenuAtTheCursorCellAndRecordsNothing)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  kit.go(2, 1);
  VKMenu* menu = kit.popup_by_keys("i");
  ASSERT_NE(menu, nullptr) << "a script's key must bring the popup up too";
  EXPECT_EQ(labels_of(*menu), kConcurrentMenu);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_EQ(kit.mode_name(), "CELL MODE");

  // The menu's top-left corner is the cursor cell's bottom-right corner on
  // the screen.
  int wx = 0;
  int wy = 0;
  kit.harness->window.get_window()->get_origin(wx, wy);
  int cx = 0;
  int cy = 0;
  ASSERT_TRUE(kit.canvas->translate_coordinates(kit.harness->window, 0, 0, cx, cy));
  const Rectangle cell = kit.ws->grid->get_rect(2, 1);
  const auto at = StmInsertList::screen_position(*kit.ctx);
  ASSERT_TRUE(at.has_value());
  EXPECT_EQ(at->first, wx + cx + int(cell.x + cell.width));
  EXPECT_EQ(at->second, wy + cy + int(cell.y + cell.height));
  int mx = 0;
  int my = 0;
  gtk_widget_get_toplevel(GTK_WIDGET(menu->gobj()));
  gdk_window_get_origin(gtk_widget_get_window(gtk_widget_get_toplevel(GTK_WIDGET(menu->gobj()))), &mx, &my);
  EXPECT_EQ(mx, at->first);
  EXPECT_EQ(my, at->second);

  // Escape dismisses it, leaving nothing behind.
  menu_keys(*menu, "<Esc>");
  run_main_loop_for(5);
  EXPECT_EQ(shown_popup(), nullptr);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_TRUE(kit.cells().empty());
}

TEST(StmEditor, ThePopupIsWalkedWithHjklWithoutWrapping)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* keys;
    const char* selected;
  };
  const Case cases[] = {
    {"j", "_Concurrent"},        {"l", "_Concurrent"},  {"k", "J_unction"},      {"h", "J_unction"},
    {"jj", "_Begin State"},      {"jjk", "_Concurrent"}, {"jk", "_Concurrent"},  {"kj", "J_unction"},
    {"kk", "C_onditional Pseudo State"}, {"<C-j>", "_Concurrent"}, {"<C-l>l", "_Begin State"},
    {"J", ""},                   {"jjjjjjjjjjjj", "J_unction"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    StmKit kit;
    VKMenu* menu = kit.popup_by_keys("i");
    ASSERT_NE(menu, nullptr);
    menu_keys(*menu, c.keys);
    EXPECT_EQ(selected_label(*menu), c.selected);
  }
}

TEST(StmEditor, ChoosingAPointKindPlacesItAsOneUndoStep)
{
  VELKARO_REQUIRE_GTK();
  const std::vector<std::pair<std::string, std::string>> kinds = {
    {"_Begin State", "beginstate"}, {"_Sink State", "sinkstate"},   {"_Entry State", "entry"},
    {"E_xit State", "exit"},        {"Te_rminate Node", "terminate"}, {"H_istory", "history"},
    {"C_onditional Pseudo State", "conditional"}, {"J_unction", "junction"},
  };
  for (const auto& [label, name] : kinds) {
    SCOPED_TRACE(label);
    StmKit kit;
    kit.go(3, 2);
    ASSERT_NE(kit.popup_by_keys("i"), nullptr);
    choose(label);
    EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,2: " + name}));
    EXPECT_EQ(kit.undo_steps(), 1u);
    EXPECT_FALSE(kit.ws->elm_at({3, 2})->in_process);
    EXPECT_EQ(kit.mode_name(), "CELL MODE");
    kit.undo(1);
    EXPECT_TRUE(kit.cells().empty());
    kit.redo(1);
    EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,2: " + name}));
  }
}

TEST(StmEditor, ThePopupItemsTakeTheCursorCellOfTheirActivation)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  kit.go(1, 1);
  ASSERT_NE(kit.popup_by_keys("i"), nullptr);
  // The grab keeps the keys from the diagram; a cursor moved by other means
  // is where the state goes.
  kit.go(4, 4);
  choose("H_istory");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"4,4: history"}));
}

TEST(StmEditor, ATransitionStartsOnAStateStretchesInTheRangeModeAndSettles)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "beginstate", 1, 1);
  const std::string before = kit.doc();
  kit.go(1, 1);
  kit.keys("i");
  EXPECT_EQ(shown_popup(), nullptr);
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  kit.keys("lll");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: beginstate transaction(3,0)"}));
  kit.keys("<Enter>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: beginstate transaction(3,0)"}));
  const auto tr = stm_at<StmTransaction>(*kit.ws, 1, 1);
  ASSERT_NE(tr, nullptr);
  EXPECT_TRUE(tr->get_is_start());
  EXPECT_FALSE(tr->in_process);
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.undo(1);
  EXPECT_EQ(kit.doc(), before);

  // "a" at the end of the path goes on at once, as a child of the first.
  kit.redo(1);
  kit.go(4, 1);
  kit.keys("a");
  EXPECT_EQ(shown_popup(), nullptr);
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  kit.keys("jj<Enter>");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: beginstate transaction(3,0)", "4,1: transaction(0,2)^"}));
  const auto next = stm_at<StmTransaction>(*kit.ws, 4, 1);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->get_parent(), stm_at<StmTransaction>(*kit.ws, 1, 1));
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.undo(2);
  EXPECT_EQ(kit.doc(), before);
}

TEST(StmEditor, InsertAtATransitionEndOffersTheTransitionItemFirst)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "beginstate", 1, 1);
  kit.go(1, 1);
  kit.keys("ill<Enter>");
  kit.go(3, 1);
  VKMenu* menu = kit.popup_by_keys("i");
  ASSERT_NE(menu, nullptr);
  auto labels = kConcurrentMenu;
  labels.front() = "_Transaction";
  EXPECT_EQ(labels_of(*menu), labels);
  EXPECT_EQ(kit.undo_steps(), 1u);

  // The line item starts a turn of the path in the range mode.
  choose("_Transaction");
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_EQ(kit.undo_steps(), 2u);
  kit.keys("j<Enter>");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: beginstate transaction(2,0)", "3,1: transaction(0,1)^"}));
  EXPECT_EQ(kit.undo_steps(), 2u);

  // A point kind ends the path on a new state at the turn's end.
  kit.go(3, 2);
  ASSERT_NE(kit.popup_by_keys("i"), nullptr);
  choose("_Sink State");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: beginstate transaction(2,0)", "3,1: transaction(0,1)^",
                                                   "3,2: sinkstate"}));
  EXPECT_EQ(kit.undo_steps(), 3u);
}

TEST(StmEditor, InsertOnAStateATransitionEndsOnOffersThePopupBeforeTheState)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "beginstate", 1, 1);
  put_state(*kit.ws, "sinkstate", 3, 1);
  kit.go(1, 1);
  kit.keys("ill<Enter>");
  const std::string before = kit.doc();
  const size_t steps = kit.undo_steps();
  kit.go(3, 1);
  VKMenu* menu = kit.popup_by_keys("i");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(labels_of(*menu).front(), "_Transaction");
  // The cell anchors the sink state: a point kind places nothing, and
  // leaves no empty step behind.
  choose("_Begin State");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), steps);
}

TEST(StmEditor, APointItemFromTheDoubleClickPopupRecordsNothingOnTheNewText)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  kit.double_press({2, 2});
  // Another test's popup may hold the grab for a moment: the popup of the
  // double click is then asked for again.
  for (int attempt = 0; attempt < 100 && !shown_popup(); ++attempt) {
    g_usleep(20000);
    StmInsertList::show_menu(*kit.ctx, false);
  }
  ASSERT_NE(shown_popup(), nullptr);
  // The double click went on to a centred text being typed into.
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (CELL)");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"2,2: stm_text:"}));
  EXPECT_EQ(kit.undo_steps(), 1u);
  choose("_Begin State");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"2,2: stm_text:"}));
  EXPECT_EQ(kit.undo_steps(), 1u);
}

TEST(StmEditor, InsertInsideACompositeOrOnATransitionsMiddleDoesNothing)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  ASSERT_TRUE(kit.ws->insert_multi_elm("composite", CellRange{{0, 0}, {3, 3}}));
  put_state(*kit.ws, "beginstate", 1, 5);
  kit.ws->clear_in_process();
  kit.go(1, 5);
  kit.keys("illll<Enter>");
  const std::string before = kit.doc();
  const size_t steps = kit.undo_steps();
  for (const CellPos cell : {CellPos{2, 2}, CellPos{3, 5}}) {
    SCOPED_TRACE(cell.to_string());
    kit.go(cell.x, cell.y);
    kit.keys("i");
    EXPECT_EQ(shown_popup(), nullptr);
    EXPECT_EQ(kit.mode_name(), "CELL MODE");
    EXPECT_EQ(kit.doc(), before);
    EXPECT_EQ(kit.undo_steps(), steps);
  }
}

TEST(StmEditor, CopyAndCutTakeNothing)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "junction", 1, 1);
  const std::string before = kit.doc();
  kit.go(1, 1);
  kit.keys("yx<Del><C-x><C-c>p");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_FALSE(kit.ctx->get_has_yanked());
}

TEST(StmEditor, TextsAreAddedWithAppendAndEditedWithChange)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  kit.go(2, 0);
  kit.keys("a");
  EXPECT_EQ(kit.mode_name(), "INSERT MODE (CELL)");
  kit.keys("go<Esc><Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"2,0: stm_text:go"}));
  kit.keys("c");
  EXPECT_EQ(kit.mode_name(), "NORMAL MODE (TEXT)");
  kit.keys("<Esc>");
  // "c" on a cell without a text does nothing.
  put_state(*kit.ws, "exit", 4, 0);
  kit.go(4, 0);
  kit.keys("c");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.undo_steps(), 1u);
}

TEST(StmEditor, NextAndPreviousElementStopOnlyAtStates)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  ASSERT_TRUE(kit.ws->insert_multi_elm("composite", CellRange{{0, 2}, {1, 3}}));
  put_state(*kit.ws, "entry", 5, 0);
  put_state(*kit.ws, "exit", 1, 6);
  ASSERT_TRUE(kit.ws->add_text({3, 0}));
  kit.ws->clear_in_process();
  kit.go(0, 0);
  std::vector<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    kit.keys("w");
    seen.push_back(kit.cursor().to_string());
  }
  kit.keys("b");
  seen.push_back(kit.cursor().to_string());
  // Column by column: the exit state in column 1, then the entry state.
  EXPECT_EQ(seen, (std::vector<std::string>{"(1, 6)", "(5, 0)", "(5, 0)", "(1, 6)"}));
}

TEST(StmEditor, InsertCompositeOverASelectionReturnsToTheCellMode)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  kit.go(1, 1);
  kit.keys("vljj");
  EXPECT_EQ(kit.mode_name(), "SELECT CELL MODE");
  kit.keys("I");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: composite(1,2)"}));
  EXPECT_EQ(in_process_count(*kit.ws), 0);
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.undo(1);
  EXPECT_TRUE(kit.cells().empty());
}

TEST(StmEditor, ALineStretchedLeftOfItsStartIsBackWhenTheCursorReturns)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "beginstate", 3, 1);
  kit.go(3, 1);
  kit.keys("il");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,1: beginstate transaction(1,0)"}));
  kit.keys("hh");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,1: beginstate"}));
  kit.keys("hlll");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,1: beginstate transaction(1,0)"}));
  kit.keys("<Enter>");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"3,1: beginstate transaction(1,0)"}));
  EXPECT_EQ(kit.undo_steps(), 1u);
}

TEST(StmEditor, ResizeStretchesAComposite)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  ASSERT_TRUE(kit.ws->insert_multi_elm("composite", CellRange{{1, 1}, {2, 2}}));
  kit.ws->clear_in_process();
  kit.go(1, 1);
  kit.keys("R");
  EXPECT_EQ(kit.mode_name(), "RANGE MODE");
  EXPECT_EQ(kit.cursor(), (CellPos{2, 2}));
  kit.keys("lj<Enter>");
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: composite(2,2)"}));
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.undo(1);
  EXPECT_EQ(kit.cells(), (std::vector<std::string>{"1,1: composite(1,1)"}));
}

TEST(StmEditor, TheRangeModeLeavesAnUnknownElementAloneWithAWarning)
{
  VELKARO_REQUIRE_GTK();
  StmKit kit;
  put_state(*kit.ws, "history", 1, 1);
  const std::string before = kit.doc();
  kit.go(1, 1);
  kit.ctx->edit_elm = kit.ws->elm_at({1, 1});
  LogCapture log;
  ASSERT_TRUE(kit.ctx->change_to<StmRangeMode>([](StmRangeMode& m) { m.mode = CtrlRangeModeModes::resize; }));
  kit.keys("lj");
  EXPECT_EQ(log.warnings, (LogCapture::Lines{"mode_range:30: unknown update type : StmHistory",
                                             "mode_range:30: unknown update type : StmHistory"}));
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), "CELL MODE");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), 0u);
}

} // namespace
} // namespace velkaro::test
