// The text editor beyond single operations: runs of operations, the target
// it edits, the place every text change passes through, the pointer and the
// remembered horizontal position. Runs without a display.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/text_range.h"
#include "ctrl/keys/mouse_binder.h"
#include "ctrl/text_editor_test_support.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

using test::SignalLog;
using test::TestClipboard;
using test::TestText;

struct Editing {
  explicit Editing(const std::string& text, int32_t cursor = 0)
    : ite(TestText::create(text, cursor)), editor(CtrlTextEditor::create(nullptr, ite))
  {
    editor->set_clipboard(board);
  }

  std::shared_ptr<TestClipboard> board = std::make_shared<TestClipboard>();
  std::shared_ptr<TestText> ite;
  std::shared_ptr<CtrlTextEditor> editor;
};

TEST(CtrlTextEditor, WholeLineDeletionThenPasteIsLinewise)
{
  Editing after("x\ny");
  after.editor->del_line();
  EXPECT_EQ(after.ite->get_text(), "y");
  EXPECT_EQ(after.ite->get_cursor_index(), 0);
  after.editor->paste(true);
  EXPECT_EQ(after.ite->get_text(), "y\nx");
  EXPECT_EQ(after.ite->get_cursor_index(), 2);

  Editing before("x\ny");
  before.editor->del_line();
  before.editor->paste();
  EXPECT_EQ(before.ite->get_text(), "x\ny");
  EXPECT_EQ(before.ite->get_cursor_index(), 0);
}

TEST(CtrlTextEditor, CopyBetweenLineDeletionAndPasteMakesThePasteCharacterWise)
{
  Editing e("x\ny");
  e.editor->del_line();
  ASSERT_EQ(CtrlTextEditor::get_line_yank_text(), std::optional<std::string>("x"));
  e.editor->copy();
  EXPECT_EQ(CtrlTextEditor::get_line_yank_text(), std::nullopt);
  EXPECT_EQ(e.board->text, std::optional<std::string>("x"));
  e.editor->paste(true);
  EXPECT_EQ(e.ite->get_text(), "yx");
  EXPECT_EQ(e.ite->get_cursor_index(), 1);
}

TEST(CtrlTextEditor, LineYankTextIsSharedByEveryEditor)
{
  Editing first("one\ntwo");
  Editing second("a");
  second.editor->set_clipboard(first.board);
  first.editor->del_line();
  second.editor->paste();
  EXPECT_EQ(second.ite->get_text(), "one\na");
}

TEST(CtrlTextEditor, OverstepCarriesTheRememberedX)
{
  Editing e("abc", 3);
  SignalLog signals(*e.editor, e.ite);
  e.editor->move_char(1);
  ASSERT_EQ(signals.overstep_x.size(), 1u);
  EXPECT_EQ(signals.overstep_x[0], e.ite->x_at(3));
  EXPECT_GT(signals.overstep_x[0], 0);

  // A vertical motion keeps x, so a neighbour entered from above or below
  // gets the column the cursor came from.
  e.editor->take_over_cursor(0, 2, 77);
  ASSERT_EQ(signals.overstep_x.size(), 2u);
  EXPECT_EQ(signals.overstep_x[1], 77);
}

TEST(CtrlTextEditor, VerticalMotionsKeepTheColumn)
{
  Editing e("abcd\nab\nabcd", 3);
  e.editor->update_cursor_point_x();
  const int x = e.editor->get_cursor_point_x();
  ASSERT_EQ(x, e.ite->x_at(3));
  EXPECT_TRUE(e.editor->move_line(1));
  EXPECT_EQ(e.ite->get_cursor_index(), 7); // the end of the short line
  EXPECT_TRUE(e.editor->move_line(1));
  EXPECT_EQ(e.ite->get_cursor_index(), 11);
  EXPECT_TRUE(e.editor->move_line(-2));
  EXPECT_EQ(e.ite->get_cursor_index(), 3);
  EXPECT_EQ(e.editor->get_cursor_point_x(), x);

  // A horizontal motion takes the new column.
  e.editor->move_char(-1);
  EXPECT_EQ(e.editor->get_cursor_point_x(), e.ite->x_at(2));
}

TEST(CtrlTextEditor, CursorLeftBeyondAChangedLayoutIsBroughtBack)
{
  Editing e("abcdef", 6);
  // The layout's text replaced behind the record's back.
  e.ite->get_pango_layout()->set_text("ab");
  e.editor->move_char(-1);
  EXPECT_EQ(e.ite->get_cursor_index(), 1);
  e.editor->commit_cb("x");
  EXPECT_EQ(e.ite->get_text(), "axb");

  Editing del("abcdef", 6);
  del.ite->get_pango_layout()->set_text("ab");
  EXPECT_TRUE(del.editor->del());
  EXPECT_EQ(del.ite->get_text(), "ab");
}

// Records what every text change hands to the overridable notification.
class RecordingEditor : public CtrlTextEditor {
public:
  RecordingEditor() : CtrlTextEditor(nullptr, nullptr) {}

  void emit_update_text(const std::string& prev) override
  {
    const auto ite = get_ite();
    changes.push_back({prev, ite->get_text(), ite->get_cursor_index()});
    CtrlTextEditor::emit_update_text(prev);
  }

  struct Change {
    std::string prev;
    std::string now;
    int32_t cursor;
    bool operator==(const Change&) const = default;
  };
  std::vector<Change> changes;
};

TEST(CtrlTextEditor, EveryTextChangePassesThroughOnePlaceWithTheFinalCursor)
{
  struct Case {
    const char* name;
    std::string text;
    int32_t cursor;
    std::function<void(CtrlTextEditor&)> op;
    std::vector<RecordingEditor::Change> expected;
  };
  const Case cases[] = {
    {"del", "abc", 1, [](CtrlTextEditor& e) { e.del(); }, {{"abc", "ac", 1}}},
    {"bs", "abc", 1, [](CtrlTextEditor& e) { e.bs(); }, {{"abc", "bc", 0}}},
    {"insert", "abc", 1, [](CtrlTextEditor& e) { e.insert("xy"); }, {{"abc", "axybc", 2}}},
    {"commit_cb", "abc", 1, [](CtrlTextEditor& e) { e.commit_cb("xy"); }, {{"abc", "axybc", 3}}},
    {"new_line", "abc", 1, [](CtrlTextEditor& e) { e.new_line(); }, {{"abc", "a\nbc", 2}}},
    {"del_line", "a\nb", 0, [](CtrlTextEditor& e) { e.del_line(); }, {{"a\nb", "b", 0}}},
    {"cut_or_del", "abc", 0, [](CtrlTextEditor& e) { e.cut_or_del(); }, {{"abc", "bc", 0}}},
    {"paste over a range", "abc", 0,
     [](CtrlTextEditor& e) {
       e.get_ite()->get_text_range()->set_range(0, 2);
       e.paste();
     },
     {{"abc", "c", 0}, {"c", "Pc", 0}}},
    {"motions", "ab\ncd", 0,
     [](CtrlTextEditor& e) {
       e.move_char(1);
       e.move_line(1);
       e.move_cursor_at_eol();
       e.move_cursor_at_sol();
       e.take_over_cursor(-1, 0, 0);
     },
     {}},
    {"nothing to change", "", 0,
     [](CtrlTextEditor& e) {
       e.del();
       e.bs();
       e.insert("");
       e.cut();
     },
     {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto editor = std::make_shared<RecordingEditor>();
    const auto board = std::make_shared<TestClipboard>();
    board->text = "P";
    editor->set_clipboard(board);
    editor->set_ite(TestText::create(c.text, c.cursor));
    c.op(*editor);
    EXPECT_EQ(editor->changes, c.expected);
  }
}

TEST(CtrlTextEditor, AChangeThatWouldMakeATextLargerThanItMayHoldDoesNothing)
{
  const std::string full_lines =
    std::string(ModelTextElement::MAX_LINES - 1, '\n') + "ab";
  const std::string full_bytes(ModelTextElement::MAX_BYTES, 'x');
  std::string full_marks = "a";
  for (int64_t i = 0; i < ModelTextElement::MAX_MARKS; ++i)
    full_marks += "\xCC\x81"; // U+0301 COMBINING ACUTE ACCENT
  struct Case {
    const char* name;
    const std::string& text;
    std::function<void(CtrlTextEditor&)> op;
    bool changes;
  };
  const Case cases[] = {
    {"a new line beyond the last one", full_lines, [](CtrlTextEditor& e) { e.new_line(); }, false},
    {"a paste of lines", full_lines,
     [](CtrlTextEditor& e) {
       e.del_line();
       e.paste();
     },
     true},
    {"typing on the last line", full_lines, [](CtrlTextEditor& e) { e.insert("c"); }, true},
    {"typing beyond the last byte", full_bytes, [](CtrlTextEditor& e) { e.insert("c"); }, false},
    {"deleting", full_bytes, [](CtrlTextEditor& e) { e.bs(); }, true},
    {"one more mark on a letter", full_marks, [](CtrlTextEditor& e) { e.insert("\xCC\x81"); }, false},
    {"a letter after the marks", full_marks, [](CtrlTextEditor& e) { e.insert("b\xCC\x81"); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto text = ModelTextElement::create();
    text->set_text(c.text);
    text->set_cursor_index(static_cast<int32_t>(c.text.size()));
    const auto editor = std::make_shared<RecordingEditor>();
    const auto board = std::make_shared<TestClipboard>();
    board->text = "\n\n";
    editor->set_clipboard(board);
    editor->set_ite(text);
    c.op(*editor);
    EXPECT_EQ(text->get_text() != c.text, c.changes);
    EXPECT_FALSE(ModelTextElement::too_large(text->get_text()));
  }
}

TEST(CtrlTextEditor, AnEditorWithNothingToEditWorksOnOneSharedPlaceholder)
{
  const auto first = CtrlTextEditor::create();
  const auto second = CtrlTextEditor::create();
  const auto placeholder = first->get_ite();
  ASSERT_TRUE(placeholder);
  EXPECT_EQ(second->get_ite(), placeholder);

  first->commit_cb("typed");
  EXPECT_EQ(second->get_ite()->get_text(), "typed");
  second->take_over_cursor(-1, 0, 0);
  EXPECT_TRUE(second->move_line(0));
  // Leave the shared text as it was.
  placeholder->set_text("");
  placeholder->set_cursor_index(0);
}

TEST(CtrlTextEditor, TheEditedTextIsTheTargetElseTheContextsElseThePlaceholder)
{
  std::shared_ptr<CtrlITextEditable> now_text_elm;
  CtrlTextEditorContextLink link;
  link.get_now_text_elm = [&] { return now_text_elm; };
  link.get_zoom = [] { return 2.5; };

  // An editor for a context, made as the context makes it; the context
  // itself is not needed by what is tested here.
  class ContextEditor : public CtrlTextEditor {
  public:
    explicit ContextEditor(CtrlTextEditorContextLink link) : CtrlTextEditor(nullptr, std::move(link)) {}
  };
  const auto editor = std::make_shared<ContextEditor>(link);
  const auto placeholder = CtrlTextEditor::create()->get_ite();

  EXPECT_EQ(editor->get_ite(), placeholder);
  const auto elm = TestText::create("elm");
  now_text_elm = elm;
  EXPECT_EQ(editor->get_ite(), elm);
  const auto target = TestText::create("target");
  editor->set_ite(target);
  EXPECT_EQ(editor->get_ite(), target);
  editor->set_ite(nullptr);
  EXPECT_EQ(editor->get_ite(), elm);

  EXPECT_DOUBLE_EQ(editor->get_zoom(), 2.5);
  EXPECT_DOUBLE_EQ(CtrlTextEditor::create()->get_zoom(), 1.0);
}

TEST(CtrlTextEditor, SwitchingTheTargetMovesTheEditingFlag)
{
  const auto a = TestText::create("a");
  const auto b = TestText::create("b");
  const auto editor = CtrlTextEditor::create(nullptr, a);
  std::vector<std::string> notified;
  editor->signal_notify().connect([&](const char* name) { notified.push_back(name); });

  a->set_is_editing(true);
  editor->set_ite(b);
  EXPECT_FALSE(a->get_is_editing());
  // Not activated: the new target is not being edited yet.
  EXPECT_FALSE(b->get_is_editing());
  EXPECT_EQ(notified, std::vector<std::string>{"ite"});

  // Without a target, the context's text element is the one edited so far.
  std::shared_ptr<CtrlITextEditable> elm = TestText::create("elm");
  CtrlTextEditorContextLink link;
  link.get_now_text_elm = [&] { return elm; };
  class ContextEditor : public CtrlTextEditor {
  public:
    explicit ContextEditor(CtrlTextEditorContextLink link) : CtrlTextEditor(nullptr, std::move(link)) {}
  };
  const auto context_editor = std::make_shared<ContextEditor>(link);
  elm->set_is_editing(true);
  context_editor->set_ite(a);
  EXPECT_FALSE(elm->get_is_editing());
}

TEST(CtrlTextEditor, ThePointerPlacesTheCursorAndDragsSelect)
{
  for (const bool insert_style : {false, true}) {
    SCOPED_TRACE(insert_style ? "insert style" : "normal style");
    Editing e("abcd");
    e.editor->set_insert_style(insert_style);
    // The layout stands at (10, 5) in the coordinates points arrive in.
    e.ite->set_pango_layout_offset(Point(10, 5));
    const auto at_char = [&](int i, double fraction) {
      const Pango::Rectangle pos = e.ite->get_pango_layout()->index_to_pos(i);
      return 10 + (pos.get_x() + fraction * pos.get_width()) / PANGO_SCALE;
    };
    const auto binder = CtrlMouseDispatcher::create(e.editor);
    const double y = 5 + 3;

    e.editor->set_is_selecting(true);
    // The right half of 'b': on it in normal style, after it in insert style.
    EXPECT_TRUE(binder->button_press(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, at_char(1, 0.75), y));
    EXPECT_EQ(e.ite->get_cursor_index(), insert_style ? 2 : 1);
    EXPECT_FALSE(e.editor->get_is_selecting());
    EXPECT_FALSE(e.ite->get_has_range());

    EXPECT_TRUE(binder->motion_notify(GDK_BUTTON1_MASK, at_char(3, 0.25), y));
    EXPECT_TRUE(e.editor->get_is_selecting());
    EXPECT_EQ(e.ite->get_cursor_index(), 3);
    const int anchor = insert_style ? 2 : 1;
    EXPECT_EQ(e.ite->get_text_range()->start, anchor);
    EXPECT_EQ(e.ite->get_text_range()->end, 4);

    EXPECT_TRUE(binder->button_release(GDK_BUTTON_PRIMARY, at_char(3, 0.25), y));
    EXPECT_EQ(e.ite->get_text_range()->start, anchor);
    // A new click drops the selection.
    EXPECT_TRUE(binder->button_press(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, at_char(0, 0.25), y));
    EXPECT_EQ(e.ite->get_cursor_index(), 0);
    EXPECT_FALSE(e.ite->get_has_range());
  }
}

TEST(CtrlTextEditor, TheMouseOffsetIsCopied)
{
  const auto editor = CtrlTextEditor::create();
  std::vector<std::string> notified;
  editor->signal_notify().connect([&](const char* name) { notified.push_back(name); });
  Point pt(-3, 4);
  editor->set_mouse_offset_pt(pt);
  pt.set_x(100);
  EXPECT_DOUBLE_EQ(editor->get_mouse_offset_pt().get_x(), -3);
  EXPECT_DOUBLE_EQ(editor->get_mouse_offset_pt().get_y(), 4);
  EXPECT_EQ(notified, std::vector<std::string>{"mouse-offset-pt"});
}

TEST(CtrlTextEditor, AHandlerMayDropTheEditorDuringACompoundEdit)
{
  Editing e("abc");
  e.ite->get_text_range()->set_range(0, 2);
  std::shared_ptr<CtrlTextEditor> owner = e.editor;
  std::weak_ptr<CtrlTextEditor> weak = e.editor;
  e.editor.reset();
  owner->signal_exit_request().connect([&] { owner.reset(); });
  CtrlTextEditor* raw = owner.get();
  EXPECT_TRUE(raw->cut());
  EXPECT_EQ(e.ite->get_text(), "c");
  EXPECT_TRUE(weak.expired());
}

TEST(CtrlTextEditor, HandlersRunWhileThePasteWaitsMayDropTheEditor)
{
  Editing e("ab");
  e.board->text = "X";
  std::shared_ptr<CtrlTextEditor> owner = std::move(e.editor);
  const std::weak_ptr<CtrlTextEditor> weak = owner;
  e.board->during_wait = [&] {
    owner->set_clipboard(std::make_shared<TestClipboard>());
    owner.reset();
  };
  CtrlTextEditor* raw = owner.get();
  EXPECT_TRUE(raw->paste(true));
  EXPECT_EQ(e.ite->get_text(), "aXb");
  EXPECT_TRUE(weak.expired());
}

} // namespace
} // namespace velkaro
