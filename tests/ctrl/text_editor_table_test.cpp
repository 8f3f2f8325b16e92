// The text editor's editing model as one table of cases: starting text,
// cursor, selection, clipboard and line-yank text; one operation; the
// resulting text, cursor, selected range, signals in order, result,
// clipboard and line-yank text. Runs without a display: the clipboard is the
// test's own.

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/text_range.h"
#include "ctrl/text_editor_test_support.h"

namespace velkaro {
namespace {

using test::SignalLog;
using test::TestClipboard;
using test::TestText;

using Op = std::function<bool(CtrlTextEditor&)>;
using Text = std::optional<std::string>;
using Range = std::pair<int, int>;

constexpr int NOT_SELECTING = INT_MIN;
// cursor_point_x left as the cursor's own x.
constexpr int NATURAL_X = INT_MIN;
constexpr int FAR_RIGHT = 9999;

const std::string C = "update:cursor";
const std::string T = "update:text";
const std::string X = "exit";
std::string overstep(int dx, int dy)
{
  return "overstep(" + std::to_string(dx) + "," + std::to_string(dy) + ")";
}

// "a", e-acute, euro sign, G clef, "x": 1, 2, 3, 4 and 1 bytes at 0, 1, 3, 6, 10.
const std::string MIXED = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9Ex";
const std::string E_ACUTE = "\xC3\xA9";
const std::string EURO = "\xE2\x82\xAC";
const std::string CLEF = "\xF0\x9D\x84\x9E";

struct Start {
  std::string text = "";
  int cursor = 0;
  // Selecting with this anchor, or not selecting.
  int anchor = NOT_SELECTING;
  // A selected range set directly on the text (a stale one may lie beyond it).
  std::optional<Range> range = std::nullopt;
  int x = 0;
  bool insert_style = false;
  bool new_line_allowed = true;
  Text clipboard = "CLIP";
  Text yank = std::nullopt;
};

struct End {
  std::string text = "";
  int cursor = 0;
  Range range{0, 0};
  std::vector<std::string> signals = {};
  bool result = true;
  Text clipboard = "CLIP";
  Text yank = std::nullopt;
};

struct Case {
  const char* op_name;
  Start start;
  Op op;
  End end;
};

Op move_char(int n) { return [n](CtrlTextEditor& e) { return e.move_char(n); }; }
Op move_line(int n) { return [n](CtrlTextEditor& e) { return e.move_line(n); }; }
Op take_over(int dx, int dy, int x) { return [=](CtrlTextEditor& e) { return e.take_over_cursor(dx, dy, x); }; }
Op insert(std::string s)
{
  return [s](CtrlTextEditor& e) {
    e.insert(s);
    return true;
  };
}
Op commit(std::string s)
{
  return [s](CtrlTextEditor& e) {
    e.commit_cb(s);
    return true;
  };
}
const Op EOL = [](CtrlTextEditor& e) { return e.move_cursor_at_eol(); };
const Op SOL = [](CtrlTextEditor& e) { return e.move_cursor_at_sol(); };
const Op UPDATE_RANGE = [](CtrlTextEditor& e) {
  e.update_text_range();
  return true;
};
const Op SELECT_ON = [](CtrlTextEditor& e) {
  e.set_is_selecting(true);
  return true;
};
const Op DEL = [](CtrlTextEditor& e) { return e.del(); };
const Op DEL_LINE = [](CtrlTextEditor& e) { return e.del_line(); };
const Op BS = [](CtrlTextEditor& e) { return e.bs(); };
const Op NEW_LINE = [](CtrlTextEditor& e) { return e.new_line(); };
const Op COPY = [](CtrlTextEditor& e) { return e.copy(); };
const Op CUT = [](CtrlTextEditor& e) { return e.cut(); };
const Op CUT_OR_DEL = [](CtrlTextEditor& e) { return e.cut_or_del(); };
const Op PASTE = [](CtrlTextEditor& e) { return e.paste(); };
const Op PASTE_AFTER = [](CtrlTextEditor& e) { return e.paste(true); };

std::string show(const std::string& s)
{
  std::string r;
  for (char c : s)
    r += c == '\n' ? std::string("\\n") : std::string(1, c);
  return "'" + r + "'";
}

// Makes yank the process's line-yank text (none: clears it) through a
// scratch editor, then puts clipboard on the clipboard.
void establish(const std::shared_ptr<TestClipboard>& board, const Text& yank, const Text& clipboard)
{
  const auto scratch = CtrlTextEditor::create(nullptr, TestText::create(yank.value_or("")));
  scratch->set_clipboard(board);
  if (yank)
    scratch->del_line();
  else
    scratch->copy();
  board->text = clipboard;
}

void run(const Case& c)
{
  SCOPED_TRACE(std::string(c.op_name) + " on " + show(c.start.text) + " at " + std::to_string(c.start.cursor));
  const auto board = std::make_shared<TestClipboard>();
  establish(board, c.start.yank, c.start.clipboard);

  const auto ite = TestText::create(c.start.text, c.start.cursor);
  const auto editor = CtrlTextEditor::create(nullptr, ite);
  editor->set_clipboard(board);
  editor->set_insert_style(c.start.insert_style);
  editor->set_new_line_allowed(c.start.new_line_allowed);
  if (c.start.x != NATURAL_X)
    editor->set_cursor_point_x(c.start.x);
  if (c.start.anchor != NOT_SELECTING) {
    editor->set_is_selecting(true);
    editor->set_selection_anchor(c.start.anchor);
    editor->update_text_range();
  }
  if (c.start.range) {
    ite->get_text_range()->start = c.start.range->first;
    ite->get_text_range()->end = c.start.range->second;
  }
  ASSERT_EQ(ite->get_cursor_index(), c.start.cursor) << "the start cursor is not on a character";

  SignalLog signals(*editor, ite);
  const bool result = c.op(*editor);

  EXPECT_EQ(show(ite->get_text()), show(c.end.text));
  EXPECT_EQ(ite->get_cursor_index(), c.end.cursor);
  EXPECT_EQ(Range(ite->get_text_range()->start, ite->get_text_range()->end), c.end.range);
  EXPECT_EQ(signals.log, c.end.signals);
  EXPECT_EQ(result, c.end.result);
  EXPECT_EQ(board->text, c.end.clipboard);
  EXPECT_EQ(CtrlTextEditor::get_line_yank_text(), c.end.yank);
}

TEST(CtrlTextEditorTable, Motions)
{
  const Case cases[] = {
    {"move_char(1)", {.text = "abc", .cursor = 2}, move_char(1), {.text = "abc", .cursor = 3, .signals = {C}}},
    {"move_char(1)", {.text = "abc", .cursor = 3}, move_char(1), {.text = "abc", .cursor = 3, .signals = {overstep(1, 0)}}},
    {"move_char(-3)", {.text = "abc", .cursor = 1}, move_char(-3), {.text = "abc", .cursor = 0, .signals = {overstep(-2, 0)}}},
    {"move_char(0)", {.text = "abc", .cursor = 1}, move_char(0), {.text = "abc", .cursor = 1, .signals = {C}}},
    {"move_char(2)", {.text = MIXED, .cursor = 1}, move_char(2), {.text = MIXED, .cursor = 6, .signals = {C}}},
    {"move_char(-1)", {.text = MIXED, .cursor = 10}, move_char(-1), {.text = MIXED, .cursor = 6, .signals = {C}}},
    {"move_char(5)", {.text = MIXED, .cursor = 3}, move_char(5), {.text = MIXED, .cursor = 11, .signals = {overstep(2, 0)}}},
    {"move_char(1)", {.text = "", .cursor = 0}, move_char(1), {.text = "", .cursor = 0, .signals = {overstep(1, 0)}}},

    {"move_line(-1)", {.text = "ab\ncd", .cursor = 1}, move_line(-1),
     {.text = "ab\ncd", .cursor = 1, .signals = {overstep(0, -1)}, .result = false}},
    {"move_line(1)", {.text = "ab\ncd", .cursor = 4}, move_line(1),
     {.text = "ab\ncd", .cursor = 4, .signals = {overstep(0, 1)}, .result = false}},
    {"move_line(3)", {.text = "ab\ncd", .cursor = 0}, move_line(3),
     {.text = "ab\ncd", .cursor = 0, .signals = {overstep(0, 3)}, .result = false}},
    {"move_line(1)", {.text = "ab\ncd", .cursor = 0}, move_line(1), {.text = "ab\ncd", .cursor = 3, .signals = {C}}},
    {"move_line(1)", {.text = "ab\ncd", .cursor = 0, .x = FAR_RIGHT}, move_line(1),
     {.text = "ab\ncd", .cursor = 5, .signals = {C}}},
    // The end of a line that ends in a line feed is that line feed.
    {"move_line(-1)", {.text = "ab\ncd", .cursor = 4, .x = FAR_RIGHT}, move_line(-1),
     {.text = "ab\ncd", .cursor = 2, .signals = {C}}},
    {"move_line(2)", {.text = "a\n\nb", .cursor = 0}, move_line(2), {.text = "a\n\nb", .cursor = 3, .signals = {C}}},
    {"move_line(1)", {.text = "a\n\nb", .cursor = 0, .x = FAR_RIGHT}, move_line(1),
     {.text = "a\n\nb", .cursor = 2, .signals = {C}}},
    {"move_line(1)", {.text = "x\n" + MIXED, .cursor = 0, .x = FAR_RIGHT}, move_line(1),
     {.text = "x\n" + MIXED, .cursor = 13, .signals = {C}}},

    {"move_cursor_at_eol", {.text = "ab\ncd", .cursor = 0}, EOL, {.text = "ab\ncd", .cursor = 2, .signals = {C}}},
    {"move_cursor_at_eol", {.text = "ab\ncd", .cursor = 2}, EOL, {.text = "ab\ncd", .cursor = 2, .signals = {C}}},
    {"move_cursor_at_eol", {.text = "ab\ncd", .cursor = 3}, EOL, {.text = "ab\ncd", .cursor = 5, .signals = {C}}},
    {"move_cursor_at_sol", {.text = "ab\ncd", .cursor = 4}, SOL, {.text = "ab\ncd", .cursor = 3, .signals = {C}}},
    {"move_cursor_at_sol", {.text = "ab\ncd", .cursor = 3}, SOL, {.text = "ab\ncd", .cursor = 3, .signals = {C}}},
    // A line feed under the cursor belongs to the cursor's line.
    {"move_cursor_at_sol", {.text = "ab\ncd", .cursor = 2}, SOL, {.text = "ab\ncd", .cursor = 0, .signals = {C}}},

    // Entering from the right, the left, below and above.
    {"take_over_cursor(-1,0)", {.text = "abc", .cursor = 0}, take_over(-1, 0, 0), {.text = "abc", .cursor = 3, .signals = {C}}},
    {"take_over_cursor(-2,0)", {.text = "abc", .cursor = 0}, take_over(-2, 0, 0), {.text = "abc", .cursor = 2, .signals = {C}}},
    {"take_over_cursor(1,0)", {.text = "abc", .cursor = 2}, take_over(1, 0, 0), {.text = "abc", .cursor = 0, .signals = {C}}},
    {"take_over_cursor(2,0)", {.text = "abc", .cursor = 2}, take_over(2, 0, 0), {.text = "abc", .cursor = 1, .signals = {C}}},
    {"take_over_cursor(-5,0)", {.text = "abc", .cursor = 1}, take_over(-5, 0, 0),
     {.text = "abc", .cursor = 0, .signals = {overstep(-1, 0)}}},
    {"take_over_cursor(0,-1)", {.text = "ab\ncd", .cursor = 0}, take_over(0, -1, 0), {.text = "ab\ncd", .cursor = 3, .signals = {C}}},
    {"take_over_cursor(0,-1)", {.text = "ab\ncd", .cursor = 0}, take_over(0, -1, FAR_RIGHT),
     {.text = "ab\ncd", .cursor = 5, .signals = {C}}},
    {"take_over_cursor(0,1)", {.text = "ab\ncd", .cursor = 4}, take_over(0, 1, FAR_RIGHT),
     {.text = "ab\ncd", .cursor = 2, .signals = {C}}},
    {"take_over_cursor(0,2)", {.text = "ab", .cursor = 1}, take_over(0, 2, 0),
     {.text = "ab", .cursor = 0, .signals = {overstep(0, 1)}, .result = false}},
  };
  for (const Case& c : cases)
    run(c);
}

TEST(CtrlTextEditorTable, SelectedRangeIncludesBothEnds)
{
  const Case cases[] = {
    {"anchor 2", {.text = "abcd", .cursor = 0, .anchor = 2}, UPDATE_RANGE, {.text = "abcd", .cursor = 0, .range = {0, 3}}},
    {"anchor 0", {.text = "abcd", .cursor = 2, .anchor = 0}, UPDATE_RANGE, {.text = "abcd", .cursor = 2, .range = {0, 3}}},
    {"anchor 1", {.text = "abcd", .cursor = 1, .anchor = 1}, UPDATE_RANGE, {.text = "abcd", .cursor = 1, .range = {1, 2}}},
    {"anchor -1", {.text = "abcd", .cursor = 1, .anchor = -1}, UPDATE_RANGE, {.text = "abcd", .cursor = 1, .range = {1, 4}}},
    {"anchor -1", {.text = "abcd", .cursor = 4, .anchor = -1}, UPDATE_RANGE, {.text = "abcd", .cursor = 4, .range = {4, 4}}},
    // Anchors outside the text count as its nearer end.
    {"anchor 99", {.text = "abcd", .cursor = 1, .anchor = 99}, UPDATE_RANGE, {.text = "abcd", .cursor = 1, .range = {1, 4}}},
    {"anchor -7", {.text = "abcd", .cursor = 1, .anchor = -7}, UPDATE_RANGE, {.text = "abcd", .cursor = 1, .range = {0, 2}}},
    {"anchor 1", {.text = MIXED, .cursor = 6, .anchor = 1}, UPDATE_RANGE, {.text = MIXED, .cursor = 6, .range = {1, 10}}},
    // An anchor inside a character counts as that character.
    {"anchor 7", {.text = MIXED, .cursor = 1, .anchor = 7}, UPDATE_RANGE, {.text = MIXED, .cursor = 1, .range = {1, 10}}},
    {"selecting on", {.text = "abcd", .cursor = 2}, SELECT_ON, {.text = "abcd", .cursor = 2, .range = {2, 3}}},
    // Motions keep the range up to date.
    {"move_char(2)", {.text = "abcd", .cursor = 0, .anchor = 0}, move_char(2),
     {.text = "abcd", .cursor = 2, .range = {0, 3}, .signals = {C}}},
  };
  for (const Case& c : cases)
    run(c);
}

TEST(CtrlTextEditorTable, Deletions)
{
  const Case cases[] = {
    {"del", {.text = "abc", .cursor = 1}, DEL, {.text = "ac", .cursor = 1, .signals = {T, X}}},
    {"del", {.text = "abc", .cursor = 3}, DEL, {.text = "abc", .cursor = 3}},
    {"del", {.text = MIXED, .cursor = 1}, DEL, {.text = "a" + EURO + CLEF + "x", .cursor = 1, .signals = {T, X}}},
    {"del", {.text = "abcd", .cursor = 0, .range = Range{1, 3}}, DEL, {.text = "ad", .cursor = 1, .signals = {T, X}}},
    // A stale range, reaching past the text, deletes nothing and says so.
    {"del", {.text = "abc", .cursor = 1, .range = Range{5, 9}}, DEL, {.text = "abc", .cursor = 1, .result = false}},
    {"del", {.text = "abc", .cursor = 1, .range = Range{2, 9}}, DEL, {.text = "abc", .cursor = 1, .result = false}},
    {"del", {.text = "abc", .cursor = 0, .range = Range{-2, 1}}, DEL, {.text = "abc", .cursor = 0, .result = false}},

    {"bs", {.text = "abc", .cursor = 2}, BS, {.text = "ac", .cursor = 1, .signals = {T}}},
    {"bs", {.text = "abc", .cursor = 0}, BS, {.text = "abc", .cursor = 0}},
    {"bs", {.text = MIXED, .cursor = 6}, BS, {.text = "a" + E_ACUTE + CLEF + "x", .cursor = 3, .signals = {T}}},
    {"bs", {.text = "abcd", .cursor = 2, .range = Range{0, 4}}, BS, {.text = "acd", .cursor = 1, .signals = {T}}},

    {"copy", {.text = "abcd", .cursor = 0, .yank = "Y"}, COPY, {.text = "abcd", .cursor = 0, .signals = {X}}},
    {"copy", {.text = "abcd", .cursor = 0, .range = Range{1, 3}}, COPY,
     {.text = "abcd", .cursor = 0, .range = {1, 3}, .signals = {X}, .clipboard = "bc"}},
    {"cut", {.text = "abcd", .cursor = 1, .yank = "Y"}, CUT, {.text = "abcd", .cursor = 1, .result = false, .yank = "Y"}},
    {"cut", {.text = "abcd", .cursor = 3, .range = Range{1, 3}}, CUT,
     {.text = "ad", .cursor = 1, .signals = {X, T, X}, .clipboard = "bc"}},
    {"cut", {.text = "abc", .cursor = 0, .range = Range{2, 9}}, CUT,
     {.text = "abc", .cursor = 0, .signals = {X}, .result = false, .clipboard = "c"}},
    {"cut_or_del", {.text = "abc", .cursor = 3}, CUT_OR_DEL, {.text = "ab", .cursor = 2, .signals = {X, T, X}, .clipboard = "c"}},
    {"cut_or_del", {.text = "abc", .cursor = 1}, CUT_OR_DEL, {.text = "ac", .cursor = 1, .signals = {X, T, X}, .clipboard = "b"}},
    {"cut_or_del", {.text = MIXED, .cursor = 6}, CUT_OR_DEL,
     {.text = "a" + E_ACUTE + EURO + "x", .cursor = 6, .signals = {X, T, X}, .clipboard = CLEF}},
    {"cut_or_del", {.text = "", .cursor = 0, .yank = "Y"}, CUT_OR_DEL, {.text = "", .cursor = 0, .signals = {X}}},
    {"cut_or_del", {.text = "abcd", .cursor = 0, .range = Range{1, 3}}, CUT_OR_DEL,
     {.text = "ad", .cursor = 1, .signals = {X, T, X}, .clipboard = "bc"}},
  };
  for (const Case& c : cases)
    run(c);
}

TEST(CtrlTextEditorTable, LineDeletion)
{
  const Case cases[] = {
    {"del_line", {.text = "a\nbb\nc", .cursor = 3}, DEL_LINE,
     {.text = "a\nc", .cursor = 2, .signals = {T, X}, .clipboard = "bb", .yank = "bb"}},
    {"del_line", {.text = "a\nbb\nc", .cursor = 3, .x = FAR_RIGHT}, DEL_LINE,
     {.text = "a\nc", .cursor = 3, .signals = {T, X}, .clipboard = "bb", .yank = "bb"}},
    {"del_line", {.text = "aa\nb", .cursor = 0}, DEL_LINE,
     {.text = "b", .cursor = 0, .signals = {T, X}, .clipboard = "aa", .yank = "aa"}},
    {"del_line", {.text = "a\nbb", .cursor = 3}, DEL_LINE,
     {.text = "a", .cursor = 0, .signals = {T, X}, .clipboard = "bb", .yank = "bb"}},
    {"del_line", {.text = "a\nbb", .cursor = 3, .x = FAR_RIGHT}, DEL_LINE,
     {.text = "a", .cursor = 1, .signals = {T, X}, .clipboard = "bb", .yank = "bb"}},
    {"del_line", {.text = "abc", .cursor = 1}, DEL_LINE,
     {.text = "", .cursor = 0, .signals = {T, X}, .clipboard = "abc", .yank = "abc"}},
    // An empty line leaves the clipboard alone and clears the line-yank text.
    {"del_line", {.text = "a\n\nb", .cursor = 2, .yank = "Y"}, DEL_LINE, {.text = "a\nb", .cursor = 2, .signals = {T, X}}},
    // The line feed at the end of a line belongs to that line.
    {"del_line", {.text = "a\nb", .cursor = 1}, DEL_LINE,
     {.text = "b", .cursor = 0, .signals = {T, X}, .clipboard = "a", .yank = "a"}},
    {"del_line", {.text = E_ACUTE + "\n" + EURO + CLEF + "\nx", .cursor = 3}, DEL_LINE,
     {.text = E_ACUTE + "\nx", .cursor = 3, .signals = {T, X}, .clipboard = EURO + CLEF, .yank = EURO + CLEF}},
    {"del_line", {.text = "ab\ncd", .cursor = 4, .range = Range{0, 1}}, DEL_LINE,
     {.text = "ab", .cursor = 0, .signals = {T, X}, .clipboard = "cd", .yank = "cd"}},
  };
  for (const Case& c : cases)
    run(c);
}

TEST(CtrlTextEditorTable, Insertions)
{
  const Case cases[] = {
    {"new_line", {.text = "ab", .cursor = 1}, NEW_LINE, {.text = "a\nb", .cursor = 2, .signals = {T}}},
    {"new_line", {.text = "ab", .cursor = 1, .new_line_allowed = false}, NEW_LINE,
     {.text = "ab", .cursor = 1, .result = false}},
    {"commit_cb('xy')", {.text = "ab", .cursor = 1}, commit("xy"), {.text = "axyb", .cursor = 3, .signals = {T}}},
    {"commit_cb", {.text = "ab", .cursor = 2, .insert_style = true}, commit(E_ACUTE),
     {.text = "ab" + E_ACUTE, .cursor = 4, .signals = {T}}},
    {"insert('xy')", {.text = "ab", .cursor = 0}, insert("xy"), {.text = "xyab", .cursor = 1, .signals = {T, X}}},
    {"insert('xy')", {.text = "ab", .cursor = 0, .insert_style = true}, insert("xy"),
     {.text = "xyab", .cursor = 2, .signals = {T, X}}},
    {"insert('')", {.text = "ab", .cursor = 0}, insert(""), {.text = "ab", .cursor = 0}},
    {"insert", {.text = "ab", .cursor = 0}, insert(E_ACUTE + EURO), {.text = E_ACUTE + EURO + "ab", .cursor = 2, .signals = {T, X}}},
    // Nothing after a NUL could be kept in the text.
    {"insert('x\\0y')", {.text = "ab", .cursor = 0, .insert_style = true}, insert(std::string("x\0y", 3)),
     {.text = "xab", .cursor = 1, .signals = {T, X}}},
  };
  for (const Case& c : cases)
    run(c);
}

TEST(CtrlTextEditorTable, Paste)
{
  const Case cases[] = {
    // Character-wise: after the character under the cursor, before a line feed.
    {"paste after", {.text = "ab\ncd", .cursor = 2, .clipboard = "X"}, PASTE_AFTER,
     {.text = "abX\ncd", .cursor = 2, .signals = {T, X}, .clipboard = "X"}},
    {"paste after", {.text = "ab\ncd", .cursor = 0, .clipboard = "X"}, PASTE_AFTER,
     {.text = "aXb\ncd", .cursor = 1, .signals = {T, X}, .clipboard = "X"}},
    {"paste after", {.text = "ab", .cursor = 2, .clipboard = "X"}, PASTE_AFTER,
     {.text = "abX", .cursor = 2, .signals = {T, X}, .clipboard = "X"}},
    {"paste after", {.text = MIXED, .cursor = 3, .clipboard = "X"}, PASTE_AFTER,
     {.text = "a" + E_ACUTE + EURO + "X" + CLEF + "x", .cursor = 6, .signals = {T, X}, .clipboard = "X"}},
    {"paste", {.text = "ab", .cursor = 1, .clipboard = "X"}, PASTE,
     {.text = "aXb", .cursor = 1, .signals = {T, X}, .clipboard = "X"}},
    {"paste", {.text = "ab", .cursor = 1, .insert_style = true, .clipboard = "XY"}, PASTE,
     {.text = "aXYb", .cursor = 3, .signals = {T, X}, .clipboard = "XY"}},
    // Linewise: the clipboard holds the line-yank text.
    {"paste after", {.text = "y", .cursor = 0, .clipboard = "x", .yank = "x"}, PASTE_AFTER,
     {.text = "y\nx", .cursor = 2, .signals = {T, X, C}, .clipboard = "x", .yank = "x"}},
    {"paste", {.text = "y", .cursor = 0, .clipboard = "x", .yank = "x"}, PASTE,
     {.text = "x\ny", .cursor = 0, .signals = {T, X, C}, .clipboard = "x", .yank = "x"}},
    {"paste after", {.text = "a\nb\nc", .cursor = 2, .clipboard = "x", .yank = "x"}, PASTE_AFTER,
     {.text = "a\nb\nx\nc", .cursor = 4, .signals = {T, X, C}, .clipboard = "x", .yank = "x"}},
    {"paste", {.text = "a\nb\nc", .cursor = 2, .clipboard = "x", .yank = "x"}, PASTE,
     {.text = "a\nx\nb\nc", .cursor = 2, .signals = {T, X, C}, .clipboard = "x", .yank = "x"}},
    // Nothing on the clipboard: only a selected range is cut.
    {"paste", {.text = "ab", .cursor = 1, .clipboard = std::nullopt, .yank = "Y"}, PASTE,
     {.text = "ab", .cursor = 1, .clipboard = std::nullopt, .yank = "Y"}},
    {"paste", {.text = "abcd", .cursor = 0, .range = Range{1, 3}, .clipboard = std::nullopt}, PASTE,
     {.text = "ad", .cursor = 1, .signals = {X, T, X}, .clipboard = "bc"}},
    // Over a selected range: replaced by the clipboard's earlier text,
    // which the replaced text takes the place of; always character-wise.
    {"paste", {.text = "abcd", .cursor = 3, .range = Range{1, 3}, .clipboard = "X"}, PASTE,
     {.text = "aXd", .cursor = 1, .signals = {X, T, X, T, X}, .clipboard = "bc"}},
    {"paste", {.text = "abcd", .cursor = 3, .range = Range{1, 3}, .clipboard = "Y", .yank = "Y"}, PASTE,
     {.text = "aYd", .cursor = 1, .signals = {X, T, X, T, X}, .clipboard = "bc"}},
  };
  for (const Case& c : cases)
    run(c);
}

} // namespace
} // namespace velkaro
