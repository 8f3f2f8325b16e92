// The text modes in the test diagram kind, driven through the modes' key
// entry (as the key binder calls it) without a widget: the family, entering
// and leaving, cursor requests, the removal of an empty text, undo in the
// normal role, the base mode's keys, the users' keys. Typing is the input
// method's commit (TextKit::type()).

#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/mode_text_kit.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/text/text_editor_normal.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

using Chain = std::vector<std::string>;

TEST(TextModes, TheInCellFamilyNamesItsModesAndRoles)
{
  TextKit kit;
  struct Case {
    std::shared_ptr<CtrlATextModeRoot> mode;
    const char* name;
    bool normal_editor;
  };
  const Case cases[] = {
    {kit.mode<CtrlNormalModeInCell>(), NORMAL, true},
    {kit.mode<CtrlInsertModeNormal>(), INSERT_NORMAL, false},
    {kit.mode<CtrlInsertModeDirect>(), INSERT_CELL, false},
    {kit.mode<CtrlVisualModeInCell>(), VISUAL, true},
  };
  std::vector<const void*> editors;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.mode);
    EXPECT_EQ(c.mode->get_name(), c.name);
    EXPECT_EQ(c.mode->get_normal_mode(), std::type_index(typeid(CtrlNormalModeInCell)));
    // The insert role is the one entered from the normal text mode.
    EXPECT_EQ(c.mode->get_insert_mode(), std::type_index(typeid(CtrlInsertModeNormal)));
    EXPECT_EQ(c.mode->get_visual_mode(), std::type_index(typeid(CtrlVisualModeInCell)));
    const auto editor = c.mode->get_text_editor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(std::dynamic_pointer_cast<CtrlTextEditorNormal>(editor) != nullptr, c.normal_editor);
    EXPECT_EQ(std::dynamic_pointer_cast<CtrlTextEditorInsert>(editor) != nullptr, !c.normal_editor);
    // Looked up after the mode's own keys, before its base mode's.
    ASSERT_EQ(c.mode->get_included_modes().size(), 2u);
    EXPECT_EQ(c.mode->get_included_modes().front(), editor);
    EXPECT_EQ(c.mode->get_included_modes().back()->get_name(), "BASE MODE");
    editors.push_back(editor.get());
  }
  // Each mode has an editor of its own.
  for (size_t i = 0; i < editors.size(); ++i)
    for (size_t j = i + 1; j < editors.size(); ++j)
      EXPECT_NE(editors[i], editors[j]);
}

TEST(TextModes, OnlyATextUnderTheCursorCanBeEntered)
{
  TextKit kit;
  kit.put_text(1, 1, "abc");
  place(*kit.ws, KindMark::create("x"), 2, 1);
  for (const CellPos cell : {CellPos{0, 0}, CellPos{2, 1}}) {
    kit.go(cell.x, cell.y);
    EXPECT_FALSE(kit.mode<CtrlNormalModeInCell>()->get_is_enterable());
    EXPECT_FALSE(kit.ctx->change_to<CtrlInsertModeDirect>());
    press_keys(*kit.ctx, "ciA");
    EXPECT_EQ(kit.mode_name(), CELL);
  }
  kit.go(1, 1);
  EXPECT_TRUE(kit.ctx->change_to<CtrlInsertModeDirect>());
  EXPECT_EQ(kit.mode_name(), INSERT_CELL);
  EXPECT_EQ(kit.text_mode().get_text(), "abc");
  EXPECT_TRUE(kit.text_mode().get_text_editor()->get_is_activated());
}

TEST(TextModes, ACursorRequestIsAppliedOnEntryAndDropped)
{
  struct Case {
    const char* name;
    const char* text;
    int32_t cursor;
    int32_t dir;
    bool to_end;
    int32_t expected;
  };
  const Case cases[] = {
    {"after the character under the cursor", "abc", 1, 1, false, 2},
    {"after a character of two bytes: one character", "\xC3\xA9!", 0, 1, false, 2},
    {"not past a line feed", "ab\ncd", 2, 1, false, 2},
    {"not past the end", "abc", 3, 1, false, 3},
    {"end of the line", "ab\ncd", 0, 1, true, 2},
    {"end of the last line", "ab\ncd", 3, 1, true, 5},
    {"start of the line", "ab\ncd", 4, -1, true, 3},
    {"no request", "ab\ncd", 4, 0, false, 4},
    {"back without to_end: nothing", "ab\ncd", 4, -1, false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextKit kit;
    const auto text = kit.put_text(1, 1, c.text);
    text->set_cursor_index(c.cursor);
    kit.go(1, 1);
    ASSERT_TRUE(kit.ctx->change_to<CtrlInsertModeDirect>([&](CtrlInsertModeDirect& m) {
      m.req_cursor(c.dir, c.to_end);
      EXPECT_EQ(m.get_req_dir(), c.dir);
    }));
    EXPECT_EQ(text->get_cursor_index(), c.expected);
    auto& mode = kit.text_mode();
    EXPECT_EQ(mode.get_req_dir(), 0);
    EXPECT_FALSE(mode.get_req_to_end());
    // The next entry has no request left.
    text->set_cursor_index(c.cursor);
    ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));
    ASSERT_TRUE(kit.ctx->change_to<CtrlInsertModeDirect>());
    EXPECT_EQ(text->get_cursor_index(), c.cursor);
  }
}

TEST(TextModes, TheNormalKeysCarryTheirCursorRequestsIntoTheInsertRole)
{
  struct Case {
    const char* keys;
    int32_t cursor;
    const char* mode;
    int32_t expected;
  };
  // "ab\ncd" with the cursor on "d".
  const Case cases[] = {
    {"i", 4, INSERT_NORMAL, 4},      {"a", 4, INSERT_NORMAL, 5},      {"a", 2, INSERT_NORMAL, 2},
    {"I", 4, INSERT_NORMAL, 3},      {"A", 0, INSERT_NORMAL, 2},      {"v", 4, VISUAL, 4},
    {"vv", 4, VISUAL, 4},            {"<Esc>", 4, CELL, 4},           {"<C-[>", 4, CELL, 4},
    {"i<Esc>", 4, NORMAL, 4},        {"i<Esc><Esc>", 4, CELL, 4},     {"v<Esc>", 4, NORMAL, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    TextKit kit;
    const auto text = kit.put_text(1, 1, "ab\ncd");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "c"));
    ASSERT_EQ(kit.mode_name(), NORMAL);
    text->set_cursor_index(c.cursor);
    press_keys(*kit.ctx, c.keys);
    EXPECT_EQ(kit.mode_name(), c.mode);
    EXPECT_EQ(text->get_cursor_index(), c.expected);
    EXPECT_EQ(text->get_text(), "ab\ncd");
    EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1}));
  }
}

// --- Leaving with an empty text

// The empty text at (1, 1) opened in the normal text mode and left with
// <Esc>: it is gone in a step of its own; the mark at (3, 3) stays.
void leave_the_empty_text_beside_the_mark(TextKit& kit)
{
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "c"));
  ASSERT_EQ(kit.mode_name(), NORMAL);
  EXPECT_TRUE(kit.text_mode().get_was_empty());
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));

  EXPECT_EQ(kit.mode_name(), CELL);
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{});
  EXPECT_EQ(names_at(*kit.ws, 3, 3), Chain{"M:m"});
  EXPECT_EQ(kit.undo_depth(), 2u);
}

TEST(TextModes, LeavingAnEmptyLoneTextThatWasThereRemovesItInAStepOfItsOwn)
{
  // The empty text was there before (read from a file, say); the newest
  // undo step is an edit elsewhere that has nothing to do with it.
  TextKit kit;
  kit.put_text(1, 1, "");
  kit.go(3, 3);
  ASSERT_TRUE(press_keys(*kit.ctx, "m"));
  ASSERT_EQ(kit.undo_depth(), 1u);
  ASSERT_NO_FATAL_FAILURE(leave_the_empty_text_beside_the_mark(kit));
  EXPECT_TRUE(kit.ws->modified);

  // One undo step brings the text back; the mark is untouched.
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
  EXPECT_EQ(names_at(*kit.ws, 3, 3), Chain{"M:m"});
  // The edit before is still there to undo, on its own.
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
  EXPECT_EQ(names_at(*kit.ws, 3, 3), Chain{});
}

TEST(TextModes, AnEmptyTextStoredWithOtherThingsInOneStepGoesInAStepOfItsOwn)
{
  // One step stored the empty text together with something else, as the
  // paste of a block holding it does: undoing that step would take the
  // rest away too.
  TextKit kit;
  ASSERT_TRUE(kit.ctx->with_diff([&kit] {
    place(*kit.ws, KindMark::create("m"), 3, 3);
    kit.put_text(1, 1, "");
  }));
  ASSERT_EQ(kit.undo_depth(), 1u);
  ASSERT_NO_FATAL_FAILURE(leave_the_empty_text_beside_the_mark(kit));

  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
  EXPECT_EQ(names_at(*kit.ws, 3, 3), Chain{"M:m"});
}

TEST(TextModes, ATextCreatedAndLeftEmptyGoesWithTheStepThatCreatedIt)
{
  TextKit kit;
  kit.go(3, 3);
  ASSERT_TRUE(press_keys(*kit.ctx, "m"));
  const std::string before = document_of(*kit.ws);
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "tt"));
  ASSERT_EQ(kit.mode_name(), INSERT_CELL);
  ASSERT_EQ(kit.undo_depth(), 2u);
  // Typed and rubbed out again: the edits merged into the creation.
  kit.type("ab");
  ASSERT_TRUE(press_keys(*kit.ctx, "<BS><BS>"));
  ASSERT_EQ(kit.undo_depth(), 2u);
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));

  EXPECT_EQ(kit.mode_name(), CELL);
  EXPECT_EQ(document_of(*kit.ws), before);
  EXPECT_EQ(kit.undo_depth(), 1u);
  EXPECT_EQ(names_at(*kit.ws, 3, 3), Chain{"M:m"});
  EXPECT_FALSE(kit.ctx->get_action_proc()->get_undo_stack().back()->get_is_mergeable());
  // A cancelled insertion: nothing to redo, the empty text does not come back.
  const auto& redo = kit.ctx->get_action_proc()->get_redo_stack();
  EXPECT_TRUE(!redo || redo->empty());
  kit.ctx->get_action_proc()->redo();
  EXPECT_EQ(document_of(*kit.ws), before);
}

TEST(TextModes, ACancelledInsertionKeepsTheRedoHistoryItFound)
{
  TextKit kit;
  kit.go(3, 3);
  ASSERT_TRUE(press_keys(*kit.ctx, "m"));
  kit.go(5, 5);
  ASSERT_TRUE(press_keys(*kit.ctx, "m"));
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  const std::string before = document_of(*kit.ws);
  ASSERT_EQ(kit.ctx->get_action_proc()->get_redo_stack()->size(), 1u);
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "tt<Esc>"));

  EXPECT_EQ(document_of(*kit.ws), before);
  EXPECT_EQ(kit.undo_depth(), 1u);
  // The mark undone before the text was started is still there to redo.
  ASSERT_TRUE(kit.ctx->get_action_proc()->get_redo_stack());
  ASSERT_EQ(kit.ctx->get_action_proc()->get_redo_stack()->size(), 1u);
  kit.ctx->get_action_proc()->redo();
  EXPECT_EQ(names_at(*kit.ws, 5, 5), Chain{"M:m"});
}

TEST(TextModes, ATextEmptiedAndLeftGoesInOneStepThatUndoesBeforeItsText)
{
  TextKit kit;
  kit.put_text(1, 1, "ab");
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "cD"));
  ASSERT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{});
  EXPECT_EQ(kit.undo_depth(), 2u);
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:ab"});
}

TEST(TextModes, AnEmptyTextStaysWhenItIsNotAloneOrTheNextModeEditsText)
{
  {
    SCOPED_TRACE("more elements in the chain");
    TextKit kit;
    kit.put_text(1, 1, "");
    place(*kit.ws, KindMark::create("after"), 1, 1);
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "c<Esc>"));
    EXPECT_EQ(kit.mode_name(), CELL);
    EXPECT_EQ(names_at(*kit.ws, 1, 1), (Chain{"T:", "M:after"}));
    EXPECT_EQ(kit.undo_depth(), 0u);
  }
  {
    SCOPED_TRACE("from one text mode to another");
    TextKit kit;
    kit.put_text(1, 1, "");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "c"));
    for (const char* keys : {"i", "<Esc>", "v", "<Esc>", "a"}) {
      SCOPED_TRACE(keys);
      ASSERT_TRUE(press_keys(*kit.ctx, keys));
      EXPECT_NE(kit.mode_name(), CELL);
      EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:"});
    }
    EXPECT_EQ(kit.undo_depth(), 0u);
  }
}

TEST(TextModes, TypingAfterTheInsertionIsOneStepAndLeavingEndsIt)
{
  TextKit kit;
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "tt"));
  ASSERT_EQ(kit.mode_name(), INSERT_CELL);
  kit.type("a");
  kit.type("b");
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:ab"});
  EXPECT_EQ(kit.undo_depth(), 1u);
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>"));
  EXPECT_EQ(kit.mode_name(), CELL);
  EXPECT_FALSE(kit.ctx->get_action_proc()->get_undo_stack().back()->get_is_mergeable());

  // A new visit types into a step of its own.
  ASSERT_TRUE(press_keys(*kit.ctx, "A"));
  kit.type("c");
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:abc"});
  EXPECT_EQ(kit.undo_depth(), 2u);
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:ab"});
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{});
}

// --- The base mode's keys in text modes

TEST(TextModes, UndoAndRedoWorkOnlyInTheNormalRole)
{
  struct Case {
    const char* name;
    const char* enter;
    const char* keys;
    const char* text;
    const char* mode;
  };
  // "abc" with "a" deleted in the normal text mode before each case.
  const Case cases[] = {
    {"normal: undo", "", "u", "abc", NORMAL},
    {"normal: undo and redo", "", "u<C-r>", "bc", NORMAL},
    {"normal: the other undo and redo keys", "", "<C-z><C-Z>", "bc", NORMAL},
    {"visual", "v", "u<C-z>", "bc", VISUAL},
    {"insert from the normal mode", "i", "<C-z>u", "bc", INSERT_NORMAL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextKit kit;
    kit.put_text(1, 1, "abc");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "cx"));
    ASSERT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:bc"});
    press_keys(*kit.ctx, c.enter);
    press_keys(*kit.ctx, c.keys);
    EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{std::string("T:") + c.text});
    EXPECT_EQ(kit.mode_name(), c.mode);
  }
  {
    SCOPED_TRACE("undo in the insert mode entered from a cell");
    TextKit kit;
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, "tt"));
    kit.type("ab");
    press_keys(*kit.ctx, "<C-z>u");
    EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:ab"});
    EXPECT_EQ(kit.mode_name(), INSERT_CELL);
  }
}

TEST(TextModes, AnUndoThatTakesTheTextAwayReturnsToTheCellMode)
{
  TextKit kit;
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "tt"));
  kit.type("ab");
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>c"));
  ASSERT_EQ(kit.mode_name(), NORMAL);
  ASSERT_TRUE(press_keys(*kit.ctx, "u"));
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{});
  EXPECT_EQ(kit.mode_name(), CELL);
  // Nothing is left to edit there.
  press_keys(*kit.ctx, "c");
  EXPECT_EQ(kit.mode_name(), CELL);
}

TEST(TextModes, CursorKeysTheEditorDoesNotBindLeaveTheCursorCell)
{
  for (const char* enter : {"c", "i", "cv"}) {
    SCOPED_TRACE(enter);
    TextKit kit;
    kit.put_text(1, 1, "ab\ncd");
    kit.go(1, 1);
    ASSERT_TRUE(press_keys(*kit.ctx, enter));
    const std::string mode = kit.mode_name();
    // The keypad arrows are the base mode's only; "j" past the last line
    // and "l" past the end find no neighbouring text.
    press_keys(*kit.ctx, "<KP_Down><KP_Right><KP_Up><KP_Left>jjlll");
    EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1}));
    EXPECT_EQ(kit.mode_name(), mode);
  }
}

// --- Key bindings of the users

TEST(TextModes, TheUsersKeysAreReadFromTheGroupsNamedAfterTheModes)
{
  {
    const auto store = ModelStore::create("seq");
    store->save_values("insert-text", {"<F5>"}, NORMAL);
    store->save_values("change-text", {"<F6>"}, VISUAL);
  }
  TextKit kit;
  kit.put_text(1, 1, "abcd");
  kit.go(1, 1);
  ASSERT_TRUE(press_keys(*kit.ctx, "c"));
  press_keys(*kit.ctx, "i");
  EXPECT_EQ(kit.mode_name(), NORMAL);
  ASSERT_TRUE(press_keys(*kit.ctx, "<F5>"));
  EXPECT_EQ(kit.mode_name(), INSERT_NORMAL);
  ASSERT_TRUE(press_keys(*kit.ctx, "<Esc>v"));
  press_keys(*kit.ctx, "c");
  EXPECT_EQ(kit.mode_name(), VISUAL);
  ASSERT_TRUE(press_keys(*kit.ctx, "<F6>"));
  EXPECT_EQ(kit.mode_name(), INSERT_NORMAL);
  EXPECT_EQ(names_at(*kit.ws, 1, 1), Chain{"T:bcd"});
}

} // namespace
} // namespace velkaro::test
