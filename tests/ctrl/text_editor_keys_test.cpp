// The key tables of the normal and the insert text editor: their actions as
// registered, and edits driven through their key maps by key presses as GDK
// delivers them (word motions, compound edits, clipboard and line keys),
// over texts with characters of several bytes. Runs without a display: the
// editors are made as for a context and get the test's own clipboard.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <pangomm/layout.h>

#include "common/text_range.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text_editor_test_support.h"
#include "model/store.h"

namespace velkaro {
namespace {

using test::SignalLog;
using test::TestClipboard;
using test::TestText;
using Signals = std::vector<std::string>;
using Keys = std::vector<std::string>;

const std::string CUR = "update:cursor";
const std::string TXT = "update:text";
const std::string EXIT = "exit";
const std::string E = "enter";

// e-acute and o-umlaut: two bytes each.
const std::string EA = "\xC3\xA9";
const std::string OU = "\xC3\xB6";
// "héllo wörld": h 0, é 1, l 3, l 4, o 5, space 6, w 7, ö 8, r 10, l 11, d 12; 13 bytes.
const std::string HELLO_WORLD = "h" + EA + "llo w" + OU + "rld";

// Presses each key of the pattern text as GDK reports a key press; a capital
// letter or a shifted sign comes with Shift held. True when the last press
// ran an action.
bool press_pattern(CtrlIActionHandler& handler, const std::string& keys)
{
  bool ran = false;
  const CtrlKeyActionMapKeyPattern pattern(keys);
  for (const CtrlKeyActionMapKey& key : pattern.get_keys()) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.keyval = key.get_keyval();
    event.state = key.get_state();
    if (gdk_keyval_is_upper(event.keyval) && gdk_keyval_to_lower(event.keyval) != event.keyval)
      event.state |= GDK_SHIFT_MASK;
    if (event.keyval == GDK_KEY_dollar)
      event.state |= GDK_SHIFT_MASK;
    ran = handler.action_by_eventkey(to_key_event(event));
  }
  return ran;
}

// --- The tables as registered

struct Row {
  std::string name;
  Keys keys;
  std::optional<std::string> description;
};

const std::vector<Row> NORMAL_ROWS = {
  {"cursor-up", {"k", "<Up>"}, "Move cursor up:"},
  {"cursor-down", {"j", "<Down>", "<CR>"}, "Move cursor down:"},
  {"cursor-left", {"h", "<Left>", "<BS>"}, "Move cursor left:"},
  {"cursor-right", {"l", "<Right>"}, "Move cursor right:"},
  {"goto-start-of-line", {"0"}, std::nullopt},
  {"goto-end-of-line", {"$"}, std::nullopt},
  {"goto-start", {"gg"}, std::nullopt},
  {"goto-end", {"G"}, std::nullopt},
  {"forward", {"w"}, std::nullopt},
  {"backward", {"b"}, std::nullopt},
  {"forward-to-end", {"e"}, std::nullopt},
  {"delete-word", {"dw"}, std::nullopt},
  {"change-word", {"cw"}, std::nullopt},
  {"paste-before", {"P", "<C-v>"}, "Paste text to before the cursor"},
  {"paste", {"p"}, "Paste text"},
  {"copy", {"y", "<C-c>"}, "Copy text:"},
  {"cut", {"x", "<C-x>"}, "Cut text:"},
  {"delete", {"<Del>"}, "Delete text:"},
  {"delete-text-line", {"dd"}, "Delete text line:"},
  {"delete-until-end-of-line", {"D"}, std::nullopt},
  {"new-line-below", {"o"}, std::nullopt},
  {"new-line-above", {"O"}, std::nullopt},
};

const std::vector<Row> INSERT_ROWS = {
  {"cursor-up", {"<Up>"}, "Move cursor up:"},
  {"cursor-down", {"<Down>"}, "Move cursor down:"},
  {"cursor-left", {"<Left>"}, "Move cursor left:"},
  {"cursor-right", {"<Right>"}, "Move cursor right:"},
  {"paste", {"<C-v>"}, "Paste text:"},
  {"copy", {"<C-c>"}, "Copy text:"},
  {"cut", {"<C-x>"}, "Cut text:"},
  {"new-line", {"<CR>"}, "New line text:"},
  {"back-space", {"<BS>"}, "Back space text:"},
  {"delete", {"<Del>"}, "Delete text:"},
};

void expect_table(CtrlTextEditorWithAction& editor, const std::vector<Row>& rows)
{
  SCOPED_TRACE(editor.get_name());
  const auto actions = editor.enum_actions();
  ASSERT_EQ(actions.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(actions[i]->get_name(), rows[i].name);
    EXPECT_EQ(actions[i]->get_assigned(), rows[i].keys);
    EXPECT_EQ(actions[i]->get_app_keys(), rows[i].keys);
    EXPECT_EQ(actions[i]->get_description(), rows[i].description);
    for (const std::string& key : rows[i].keys)
      EXPECT_EQ(editor.get_key_action_map().get(key), rows[i].name) << key;
  }
}

TEST(CtrlTextEditorKeys, EachEditorRegistersItsTableInOrder)
{
  const auto normal = CtrlTextEditorNormal::create_with_ctrl({});
  EXPECT_EQ(normal->get_name(), "TEXT EDITOR NORMAL");
  EXPECT_FALSE(normal->get_insert_style());
  EXPECT_FALSE(normal->get_can_edit());
  expect_table(*normal, NORMAL_ROWS);

  const auto insert = CtrlTextEditorInsert::create_with_ctrl({});
  EXPECT_EQ(insert->get_name(), "TEXT EDITOR INSERT");
  EXPECT_TRUE(insert->get_insert_style());
  EXPECT_TRUE(insert->get_can_edit());
  expect_table(*insert, INSERT_ROWS);
}

TEST(CtrlTextEditorKeys, TheUsersKeysAreReadFromTheEditorsOwnGroup)
{
  const auto store = ModelStore::create("test");
  store->save_values("cursor-up", {"<C-p>"}, "TEXT EDITOR NORMAL");
  CtrlTextEditorContextParts parts;
  parts.store = store;

  const auto normal = CtrlTextEditorNormal::create_with_ctrl(parts);
  EXPECT_EQ(normal->get_key_action_map().get("<C-p>"), "cursor-up");
  EXPECT_EQ(normal->get_key_action_map().get("k"), std::nullopt);
  EXPECT_TRUE(normal->get_ah_map().at("cursor-up")->get_user_remapped());

  const auto insert = CtrlTextEditorInsert::create_with_ctrl(parts);
  EXPECT_EQ(insert->get_key_action_map().get("<Up>"), "cursor-up");
  EXPECT_EQ(insert->get_key_action_map().get("<C-p>"), std::nullopt);

  // A change the user makes is stored under the editor's name.
  ASSERT_TRUE(insert->get_ah_map().at("back-space")->add_key("<C-h>"));
  EXPECT_EQ(store->get_values("back-space", "TEXT EDITOR INSERT"), (Keys{"<BS>", "<C-h>"}));
}

// --- Edits through the key maps

enum class Kind { normal, insert };

struct KeyStart {
  std::string text;
  int cursor = 0;
  // A selected range set on the text.
  std::optional<std::pair<int, int>> range = std::nullopt;
  std::optional<std::string> clipboard = "CLIP";
};

struct KeyEnd {
  std::string text;
  int cursor = 0;
  std::optional<std::string> clipboard = "CLIP";
  // The signals in order, when they matter.
  std::optional<Signals> signals = std::nullopt;
};

struct KeyCase {
  Kind kind;
  KeyStart start;
  std::string keys;
  KeyEnd end;
};

std::shared_ptr<CtrlTextEditorWithAction> make_editor(Kind kind)
{
  if (kind == Kind::normal)
    return CtrlTextEditorNormal::create_with_ctrl({});
  return CtrlTextEditorInsert::create_with_ctrl({});
}

std::string quoted(const std::string& s)
{
  std::string r;
  for (const char c : s)
    r += c == '\n' ? std::string("\\n") : std::string(1, c);
  return "'" + r + "'";
}

void run_keys(const KeyCase& c)
{
  SCOPED_TRACE(std::string(c.kind == Kind::normal ? "normal " : "insert ") + c.keys + " on " + quoted(c.start.text) +
               " at " + std::to_string(c.start.cursor));
  const auto ite = TestText::create(c.start.text, c.start.cursor);
  const auto board = std::make_shared<TestClipboard>();
  const auto editor = make_editor(c.kind);
  editor->set_ite(ite);
  editor->set_clipboard(board);
  // No line-yank text left over from another case: a copy of nothing drops it.
  editor->copy_to_clipboard();
  board->text = c.start.clipboard;
  if (c.start.range)
    ite->get_text_range()->set_range(c.start.range->first, c.start.range->second);

  SignalLog log(*editor, ite);
  press_pattern(*editor, c.keys);

  EXPECT_EQ(quoted(ite->get_text()), quoted(c.end.text));
  EXPECT_EQ(ite->get_cursor_index(), c.end.cursor);
  EXPECT_EQ(board->text, c.end.clipboard);
  if (c.end.signals) {
    EXPECT_EQ(log.log, *c.end.signals);
  }
}

TEST(CtrlTextEditorKeys, WordMotions)
{
  const std::vector<KeyCase> cases = {
    {Kind::normal, {"foo bar", 0}, "w", {"foo bar", 4, "CLIP", Signals{CUR}}},
    {Kind::normal, {"foo bar", 0}, "e", {"foo bar", 2, "CLIP", Signals{CUR}}},
    {Kind::normal, {"foo bar", 4}, "b", {"foo bar", 0, "CLIP", Signals{CUR}}},
    // From the last word w finds no stop, and b none at the start.
    {Kind::normal, {"foo bar", 4}, "w", {"foo bar", 4, "CLIP", Signals{}}},
    {Kind::normal, {"foo bar", 0}, "b", {"foo bar", 0, "CLIP", Signals{}}},
    // Punctuation ends a word, and white space is passed over.
    {Kind::normal, {"foo, bar", 0}, "w", {"foo, bar", 3}},
    {Kind::normal, {"foo, bar", 0}, "ww", {"foo, bar", 5}},
    // e reaches the end of the next word from the end of one, and the end
    // of the text in the last word.
    {Kind::normal, {"foo bar", 2}, "e", {"foo bar", 6}},
    {Kind::normal, {"foo bar", 6}, "e", {"foo bar", 7}},
    // Characters of several bytes.
    {Kind::normal, {HELLO_WORLD, 0}, "w", {HELLO_WORLD, 7}},
    {Kind::normal, {HELLO_WORLD, 0}, "e", {HELLO_WORLD, 5}},
    {Kind::normal, {HELLO_WORLD, 7}, "e", {HELLO_WORLD, 12}},
    {Kind::normal, {HELLO_WORLD, 12}, "b", {HELLO_WORLD, 7}},
    {Kind::normal, {HELLO_WORLD, 8}, "bb", {HELLO_WORLD, 0}},
    {Kind::normal, {HELLO_WORLD, 0}, "ww", {HELLO_WORLD, 7}},
    {Kind::normal, {EA + OU + " " + EA, 0}, "w", {EA + OU + " " + EA, 5}},
  };
  for (const KeyCase& c : cases)
    run_keys(c);
}

TEST(CtrlTextEditorKeys, CompoundEditsOfTheNormalEditor)
{
  const std::vector<KeyCase> cases = {
    // dw: the word and the white space after it go to the clipboard.
    {Kind::normal, {"foo bar", 0}, "dw", {"bar", 0, "foo ", Signals{EXIT, TXT, EXIT}}},
    {Kind::normal, {"foo", 0}, "dw", {"", 0, "foo"}},
    {Kind::normal, {HELLO_WORLD, 0}, "dw", {"w" + OU + "rld", 0, "h" + EA + "llo "}},
    {Kind::normal, {HELLO_WORLD, 7}, "dw", {"h" + EA + "llo ", 7, "w" + OU + "rld"}},
    {Kind::normal, {HELLO_WORLD, 3}, "dw", {"h" + EA + "w" + OU + "rld", 3, "llo "}},
    // cw does the same and asks for typing.
    {Kind::normal, {"foo bar", 0}, "cw", {"bar", 0, "foo ", Signals{EXIT, TXT, EXIT, E}}},
    {Kind::normal, {"foo", 0}, "cw", {"", 0, "foo", Signals{EXIT, TXT, EXIT, E}}},
    // dd: the cursor's line goes, with its text on the clipboard.
    {Kind::normal, {"a\nbb\nc", 3}, "dd", {"a\nc", 2, "bb", Signals{TXT, EXIT}}},
    {Kind::normal, {EA + "\n" + OU + OU + "\nc", 3}, "dd", {EA + "\nc", 3, OU + OU}},
    // D: up to the end of the line; nothing on a line feed.
    {Kind::normal, {"abc\ndef", 1}, "D", {"a\ndef", 1, "bc", Signals{EXIT, TXT, EXIT}}},
    {Kind::normal, {"abc\ndef", 3}, "D", {"abc\ndef", 3, "CLIP", Signals{}}},
    {Kind::normal, {"a" + EA + "b\nc", 1}, "D", {"a\nc", 1, EA + "b"}},
    // P before the cursor, p after the character under it; the cursor ends
    // on the last pasted character.
    {Kind::normal, {"ab", 1, std::nullopt, "XY"}, "P", {"aXYb", 2, "XY", Signals{TXT, EXIT}}},
    {Kind::normal, {"ab", 1, std::nullopt, EA + OU}, "P", {"a" + EA + OU + "b", 3, EA + OU}},
    {Kind::normal, {"ab", 0, std::nullopt, EA}, "p", {"a" + EA + "b", 1, EA}},
    {Kind::normal, {"ab\ncd", 2, std::nullopt, "X"}, "p", {"abX\ncd", 2, "X"}},
    {Kind::normal, {"ab", 1, std::nullopt, std::nullopt}, "p", {"ab", 1, std::nullopt, Signals{}}},
    // A deleted line is pasted as a line of its own: below with p, above with P.
    {Kind::normal, {"x\ny", 0}, "ddp", {"y\nx", 2, "x"}},
    {Kind::normal, {"x\ny", 0}, "ddP", {"x\ny", 0, "x"}},
    {Kind::normal, {EA + "\n" + OU, 0}, "ddp", {OU + "\n" + EA, 3, EA}},
    // o and O open a line and ask for typing.
    {Kind::normal, {"ab", 0}, "o", {"ab\n", 3, "CLIP", Signals{TXT, E}}},
    {Kind::normal, {"ab", 1}, "O", {"\nab", 0, "CLIP", Signals{TXT, CUR, E}}},
    {Kind::normal, {"a\n" + EA + "b", 4}, "O", {"a\n\n" + EA + "b", 2}},
    {Kind::normal, {EA + "\nb", 0}, "o", {EA + "\n\nb", 3}},
    // x takes the character under the cursor, the last one at the end.
    {Kind::normal, {"abc", 1}, "x", {"ac", 1, "b", Signals{EXIT, TXT, EXIT}}},
    {Kind::normal, {"a" + EA + "b", 1}, "x", {"ab", 1, EA}},
    {Kind::normal, {"a" + EA, 3}, "<C-x>", {"a", 1, EA}},
    {Kind::normal, {"a" + EA + "b", 1}, "<Del>", {"ab", 1, "CLIP", Signals{TXT, EXIT}}},
    // y copies the selected range; without one only the exit is asked for.
    {Kind::normal, {"a" + EA + "b", 0, std::pair{1, 3}}, "y", {"a" + EA + "b", 0, EA, Signals{EXIT}}},
    {Kind::normal, {"abc", 1}, "y", {"abc", 1, "CLIP", Signals{EXIT}}},
  };
  for (const KeyCase& c : cases)
    run_keys(c);
}

TEST(CtrlTextEditorKeys, CursorKeysOfTheNormalEditor)
{
  const std::string two_lines = "a" + EA + "\n" + OU + "cd";
  const std::vector<KeyCase> cases = {
    {Kind::normal, {EA + "a", 0}, "l", {EA + "a", 2, "CLIP", Signals{CUR}}},
    {Kind::normal, {EA + "a", 2}, "h", {EA + "a", 0}},
    {Kind::normal, {EA + "a", 2}, "<BS>", {EA + "a", 0}},
    {Kind::normal, {EA + "a", 0}, "<Right><Right>", {EA + "a", 3}},
    // j and k keep the column the cursor was given by a sideways move.
    {Kind::normal, {"ab\nab", 0}, "lj", {"ab\nab", 4}},
    {Kind::normal, {"ab\nab", 0}, "l<CR>k", {"ab\nab", 1}},
    {Kind::normal, {"ab\nab", 0}, "k", {"ab\nab", 0, "CLIP", Signals{"overstep(0,-1)"}}},
    {Kind::normal, {two_lines, 0}, "$", {two_lines, 3}},
    {Kind::normal, {two_lines, 7}, "0", {two_lines, 4}},
    {Kind::normal, {two_lines, 1}, "G", {two_lines, 8}},
    {Kind::normal, {two_lines, 6}, "gg", {two_lines, 0, "CLIP", Signals{CUR}}},
    // An unbound key does nothing; one that begins no binding ends a
    // pending one without running it.
    {Kind::normal, {"ab", 0}, "z", {"ab", 0, "CLIP", Signals{}}},
    {Kind::normal, {"ab", 0}, "dz", {"ab", 0, "CLIP", Signals{}}},
  };
  for (const KeyCase& c : cases)
    run_keys(c);
}

TEST(CtrlTextEditorKeys, KeysOfTheInsertEditor)
{
  const std::vector<KeyCase> cases = {
    {Kind::insert, {"a" + EA + "b", 3}, "<BS>", {"ab", 1, "CLIP", Signals{TXT}}},
    {Kind::insert, {"a" + EA + "b", 1}, "<Del>", {"ab", 1, "CLIP", Signals{TXT, EXIT}}},
    {Kind::insert, {"ab", 1}, "<CR>", {"a\nb", 2, "CLIP", Signals{TXT}}},
    // The cursor stands between characters: a paste leaves it after the text.
    {Kind::insert, {"ab", 1, std::nullopt, EA}, "<C-v>", {"a" + EA + "b", 3, EA, Signals{TXT, EXIT}}},
    {Kind::insert, {"a" + EA + "b", 1, std::pair{1, 3}}, "<C-c>", {"a" + EA + "b", 1, EA, Signals{EXIT}}},
    // Its cut takes the selected range only.
    {Kind::insert, {"a" + EA + "b", 1, std::pair{1, 3}}, "<C-x>", {"ab", 1, EA, Signals{EXIT, TXT, EXIT}}},
    {Kind::insert, {"abc", 1}, "<C-x>", {"abc", 1, "CLIP", Signals{}}},
    {Kind::insert, {"a" + EA, 3}, "<Left>", {"a" + EA, 1, "CLIP", Signals{CUR}}},
    {Kind::insert, {"a" + EA, 1}, "<Right><Right>", {"a" + EA, 3, "CLIP", Signals{CUR, "overstep(1,0)"}}},
    {Kind::insert, {"ab\ncd", 1}, "<Down>", {"ab\ncd", 3}},
    // Letters are typed through the input method, not the key table.
    {Kind::insert, {"ab", 1}, "x", {"ab", 1, "CLIP", Signals{}}},
    {Kind::insert, {"ab", 1}, "dd", {"ab", 1, "CLIP", Signals{}}},
  };
  for (const KeyCase& c : cases)
    run_keys(c);
}

TEST(CtrlTextEditorKeys, NewLinesRefusedStillAskForTyping)
{
  const auto ite = TestText::create("ab", 1);
  const auto editor = CtrlTextEditorNormal::create_with_ctrl({});
  editor->set_ite(ite);
  editor->set_new_line_allowed(false);
  SignalLog log(*editor, ite);

  EXPECT_TRUE(press_pattern(*editor, "o"));
  EXPECT_EQ(ite->get_text(), "ab");
  EXPECT_EQ(log.log, (Signals{E}));

  log.log.clear();
  EXPECT_TRUE(press_pattern(*editor, "O"));
  EXPECT_EQ(ite->get_text(), "ab");
  // The move up from the only line runs past the start.
  EXPECT_EQ(log.log, (Signals{"overstep(0,-1)", E}));
}

TEST(CtrlTextEditorKeys, AnEditorDroppedByAHandlerFinishesItsAction)
{
  for (const std::string keys : {"l", "cw", "x", "O"}) {
    SCOPED_TRACE(keys);
    const auto ite = TestText::create("ab cd", 0);
    std::shared_ptr<CtrlTextEditorNormal> owner = CtrlTextEditorNormal::create_with_ctrl({});
    owner->set_ite(ite);
    owner->set_clipboard(std::make_shared<TestClipboard>());
    const std::weak_ptr<CtrlTextEditorNormal> editor = owner;
    Signals log;
    owner->signal_update().connect([&owner](const std::shared_ptr<CtrlITextEditable>&, bool) { owner.reset(); });
    owner->signal_enter_request().connect([&log] { log.push_back(E); });

    CtrlIActionHandler& handler = *owner;
    EXPECT_TRUE(press_pattern(handler, keys));
    EXPECT_TRUE(editor.expired());
    // Compound actions run to their end.
    EXPECT_EQ(log, keys == "cw" || keys == "O" ? Signals{E} : Signals{});
  }
}

} // namespace
} // namespace velkaro
