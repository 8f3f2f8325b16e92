// Undo of text edits: text editors made for a context record every text
// change through the undo processor; a run of changes is one undo step, it
// chains with an action of another kind in the right order, and the
// document counts as modified after an edit, its undo and its redo.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>
#include <pangomm/layout.h>

#include "common/c_resource.h"
#include "common/text_join.h"
#include "ctrl/action_handler_for_test.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/text/text_editor_insert.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text_editor_test_support.h"
#include "ctrl/text/update_text_action.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::SignalLog;
using test::TestClipboard;
using test::TestText;
using test::settle;
using Log = std::vector<std::string>;

const std::string ACUTE = "\xC3\xA9";

std::string document_text(ModelWorkspace& ws)
{
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)ws.write(*writer);
  EXPECT_TRUE(writer->finish()) << writer->get_error();
  return writer->get_text();
}

// A processor with a cursor holder, and editors that record through it, as a
// controller context makes them. The editors edit the text element at the
// cursor cell unless given a target.
struct Recorder {
  Recorder() { proc->set_ctrl(cursor); }

  CtrlTextEditorContextParts parts()
  {
    CtrlTextEditorContextParts p;
    p.link.get_now_text_elm = [weak_ws = std::weak_ptr<ModelWorkspace>(ws),
                               cursor = cursor]() -> std::shared_ptr<CtrlITextEditable> {
      const auto ws = weak_ws.lock();
      return ws ? std::dynamic_pointer_cast<ModelTextElement>(ws->elm_at(cursor->now)) : nullptr;
    };
    p.action_proc = proc;
    p.ws = ws;
    return p;
  }
  std::shared_ptr<CtrlTextEditorInsert> insert_editor() { return CtrlTextEditorInsert::create_with_ctrl(parts()); }
  std::shared_ptr<CtrlTextEditorNormal> normal_editor() { return CtrlTextEditorNormal::create_with_ctrl(parts()); }

  // A text element with text at cell, stored outside the history.
  std::shared_ptr<ModelTextElement> add_text(const CellPos& cell, const std::string& text)
  {
    EXPECT_TRUE(ws->add_text(cell));
    const auto elm = std::dynamic_pointer_cast<ModelTextElement>(ws->elm_at(cell));
    elm->set_text(text);
    ws->modified = false;
    return elm;
  }

  size_t undo_steps() const { return proc->get_undo_stack().size(); }

  std::shared_ptr<ModelWorkspace> ws = ModelWorkspace::create();
  std::shared_ptr<CtrlActionProcessor> proc = CtrlActionProcessor::create();
  std::shared_ptr<test::FakeCursor> cursor = std::make_shared<test::FakeCursor>();
};

void commit_chars(CtrlTextEditor& editor, const std::string& chars)
{
  for (const char c : chars)
    editor.commit_cb(std::string(1, c));
}

TEST(CtrlUpdateTextAction, ARunOfTypingIsOneUndoStepAndMarksTheDocumentModified)
{
  Recorder r;
  r.cursor->now = {1, 2};
  const auto text = r.add_text({1, 2}, "");
  const std::string before = document_text(*r.ws);
  const auto editor = r.insert_editor();
  SignalLog log(*editor, text);

  commit_chars(*editor, "xyz");
  EXPECT_EQ(text->get_text(), "xyz");
  EXPECT_EQ(r.undo_steps(), 1u);
  // Each change is announced once, by the action's execution.
  EXPECT_EQ(log.log, (Log{"update:text", "update:text", "update:text"}));
  // The edit changed the document without any cell changing.
  EXPECT_TRUE(r.ws->modified);
  const std::string after = document_text(*r.ws);
  EXPECT_NE(after, before);

  r.ws->modified = false;
  log.log.clear();
  r.proc->undo(true);
  EXPECT_EQ(text->get_text(), "");
  EXPECT_EQ(text->get_cursor_index(), 0);
  EXPECT_EQ(document_text(*r.ws), before);
  EXPECT_EQ(log.log, (Log{"update:text"}));
  EXPECT_TRUE(r.ws->modified);
  EXPECT_FALSE(r.proc->get_has_undo_stack());

  r.ws->modified = false;
  r.proc->redo();
  EXPECT_EQ(text->get_text(), "xyz");
  EXPECT_EQ(text->get_cursor_index(), 3);
  EXPECT_EQ(document_text(*r.ws), after);
  EXPECT_TRUE(r.ws->modified);
  // The undo step is recorded on the cursor cell of the run's start.
  EXPECT_EQ(r.proc->get_undo_stack().back()->get_cursor_cell(), (CellPos{1, 2}));
}

// What a text mode does with the keys the input method lets through: they
// go to the mode's handlers, here the editor alone.
class EditorKeys : public CtrlIKeyHandler {
public:
  explicit EditorKeys(std::shared_ptr<CtrlIActionHandler> editor) : m_editor(std::move(editor)) {}
  bool key_press(GdkEventKey& event) override { return m_editor->action_by_eventkey(to_key_event(event)); }
  bool key_release(GdkEventKey&) override { return false; }

private:
  std::shared_ptr<CtrlIActionHandler> m_editor;
};

// A key press as the display delivers it, to the toplevel window.
void press_on(Gtk::Window& window, guint keyval)
{
  gtk_main_do_event(test::key_event(GDK_KEY_PRESS, window.get_window()->gobj(), keyval).get());
}

TEST(CtrlUpdateTextAction, KeysTypedOnTheCanvasAreOneUndoStep)
{
  VELKARO_REQUIRE_GTK();
  Recorder r;
  r.cursor->now = {0, 0};
  const auto text = r.add_text({0, 0}, "a");
  text->set_cursor_index(1);
  const std::string before = document_text(*r.ws);
  {
    Gtk::Window window;
    Gtk::DrawingArea canvas;
    canvas.set_size_request(200, 100);
    window.add(canvas);
    window.show_all();

    CtrlTextEditorContextParts parts = r.parts();
    parts.link.get_canvas = [&canvas]() -> Gtk::Widget* { return &canvas; };
    const auto editor = CtrlTextEditorInsert::create_with_ctrl(std::move(parts));
    gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(editor->get_im_context()), "gtk-im-context-simple");
    const auto mode = std::make_shared<EditorKeys>(editor);
    const auto binder = CtrlKeyBinder::create(canvas, mode);
    canvas.grab_focus();
    settle();
    editor->activate();

    // Letters through the input method, the backspace on through the key
    // binder to the editor's key table.
    for (const guint keyval : {GDK_KEY_x, GDK_KEY_y, GDK_KEY_BackSpace, GDK_KEY_z})
      press_on(window, keyval);
    settle();
    EXPECT_EQ(text->get_text(), "axz");
    EXPECT_EQ(r.undo_steps(), 1u);
    EXPECT_TRUE(r.ws->modified);
    editor->deactivate();
  }
  settle();
  r.proc->undo(true);
  EXPECT_EQ(text->get_text(), "a");
  EXPECT_EQ(text->get_cursor_index(), 1);
  EXPECT_EQ(document_text(*r.ws), before);
}

TEST(CtrlUpdateTextAction, CursorMotionsAreNotRecorded)
{
  Recorder r;
  const auto text = TestText::create("abc", 1);
  const auto editor = r.normal_editor();
  editor->set_ite(text);
  editor->move_char(1);
  editor->move_cursor_at_eol();
  editor->forward();
  EXPECT_FALSE(r.proc->get_has_undo_stack());
  EXPECT_FALSE(r.ws->modified);
}

// One edit, then undo and redo: the text and cursor after each.
struct UndoCase {
  const char* name;
  bool normal;
  std::string text;
  int cursor;
  std::optional<std::string> clipboard;
  std::function<void(CtrlTextEditor&)> edit;
  std::pair<std::string, int> edited;
  std::pair<std::string, int> undone;
};

TEST(CtrlUpdateTextAction, UndoKeepsTheCursorsDistanceFromTheEndAndRedoPutsItBack)
{
  const std::vector<UndoCase> cases = {
    {"typing b", false, "ac", 1, std::nullopt, [](CtrlTextEditor& e) { e.commit_cb("b"); }, {"abc", 2}, {"ac", 1}},
    {"x", true, "abc", 1, std::nullopt, [](CtrlTextEditor& e) { e.cut_or_del(); }, {"ac", 1}, {"abc", 2}},
    {"backspace over e-acute", false, "a" + ACUTE, 3, std::nullopt, [](CtrlTextEditor& e) { e.bs(); }, {"a", 1},
     {"a" + ACUTE, 3}},
    {"dd", true, "a\nbb\nc", 3, std::nullopt, [](CtrlTextEditor& e) { e.del_line(); }, {"a\nc", 2}, {"a\nbb\nc", 5}},
    // The recorded cursor less the growth would be -1: it stays at the start.
    {"paste at the start", true, "ab", 0, "XY", [](CtrlTextEditor& e) { e.paste(false); }, {"XYab", 1}, {"ab", 0}},
    {"paste of several bytes at the start", true, "ab", 0, ACUTE + ACUTE, [](CtrlTextEditor& e) { e.paste(false); },
     {ACUTE + ACUTE + "ab", 2}, {"ab", 0}},
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder r;
    const auto text = TestText::create(c.text, c.cursor);
    std::shared_ptr<CtrlTextEditorWithAction> editor;
    if (c.normal)
      editor = r.normal_editor();
    else
      editor = r.insert_editor();
    editor->set_ite(text);
    const auto board = std::make_shared<TestClipboard>();
    board->text = c.clipboard;
    editor->set_clipboard(board);

    c.edit(*editor);
    EXPECT_EQ(std::pair(text->get_text(), text->get_cursor_index()), c.edited);
    ASSERT_EQ(r.undo_steps(), 1u);
    r.proc->undo(true);
    EXPECT_EQ(std::pair(text->get_text(), text->get_cursor_index()), c.undone);
    r.proc->redo();
    EXPECT_EQ(std::pair(text->get_text(), text->get_cursor_index()), c.edited);
  }
}

TEST(CtrlUpdateTextAction, ANonMergeableHeadEndsTheRun)
{
  Recorder r;
  const auto text = TestText::create("", 0);
  const auto editor = r.insert_editor();
  editor->set_ite(text);

  commit_chars(*editor, "ab");
  // As a text mode does when it leaves the text.
  r.proc->set_head_mergeable(false);
  commit_chars(*editor, "cd");
  EXPECT_EQ(r.undo_steps(), 2u);

  r.proc->undo(true);
  EXPECT_EQ(text->get_text(), "ab");
  r.proc->undo(true);
  EXPECT_EQ(text->get_text(), "");
  r.proc->redo();
  r.proc->redo();
  EXPECT_EQ(text->get_text(), "abcd");

  // A new change drops what could be redone.
  r.proc->undo(true);
  commit_chars(*editor, "!");
  EXPECT_FALSE(r.proc->get_has_redo_stack());
  EXPECT_EQ(text->get_text(), "ab!");
}

TEST(CtrlUpdateTextAction, ARunAcrossTwoTextsIsUndoneAtOnceAndAnnouncedOnce)
{
  Recorder r;
  const auto first = TestText::create("one", 3);
  const auto second = TestText::create("two", 0);
  const auto editor = r.insert_editor();
  editor->set_ite(first);
  commit_chars(*editor, "1");
  // The cursor crossed into the neighbour with the same editor.
  editor->set_ite(second);
  commit_chars(*editor, "2");
  editor->bs();
  commit_chars(*editor, "3");
  ASSERT_EQ(r.undo_steps(), 1u);
  const auto head = std::dynamic_pointer_cast<CtrlUpdateTextAction>(r.proc->get_undo_stack().back());
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->get_buffers().size(), 2u);
  EXPECT_EQ(head->get_buffer(*second)->before, "two");
  EXPECT_EQ(head->get_buffer(*second)->after, "3two");

  SignalLog log(*editor, second);
  r.proc->undo(true);
  EXPECT_EQ(first->get_text(), "one");
  EXPECT_EQ(first->get_cursor_index(), 3);
  EXPECT_EQ(second->get_text(), "two");
  EXPECT_EQ(second->get_cursor_index(), 0);
  // Once, naming the text changed last.
  EXPECT_EQ(log.log, (Log{"update:text"}));

  log.log.clear();
  r.proc->redo();
  EXPECT_EQ(first->get_text(), "one1");
  EXPECT_EQ(second->get_text(), "3two");
  EXPECT_EQ(second->get_cursor_index(), 1);
  EXPECT_EQ(log.log, (Log{"update:text"}));

  // Back into the first text: it is the one changed last now.
  r.proc->undo(true);
  r.proc->redo();
  editor->set_ite(first);
  commit_chars(*editor, "!");
  SignalLog first_log(*editor, first);
  r.proc->undo(true);
  EXPECT_EQ(first_log.log, (Log{"update:text"}));
  EXPECT_EQ(first->get_text(), "one");
  EXPECT_EQ(second->get_text(), "two");
}

// An action of another kind that logs what the text held when it was
// undone and redone.
class WitnessAction : public CtrlAction {
public:
  WitnessAction(Log& log, std::shared_ptr<CtrlITextEditable> text) : m_log(log), m_text(std::move(text)) {}
  void undo() override
  {
    m_log.push_back("undo saw '" + m_text->get_text() + "'");
    CtrlAction::undo();
  }
  void redo() override
  {
    m_log.push_back("redo saw '" + m_text->get_text() + "'");
    CtrlAction::redo();
  }

private:
  Log& m_log;
  std::shared_ptr<CtrlITextEditable> m_text;
};

TEST(CtrlUpdateTextAction, TypingIntoANewTextIsUndoneWithItsInsertionTextFirst)
{
  Recorder r;
  r.cursor->now = {2, 3};
  const std::string empty = document_text(*r.ws);
  // As the cell mode's insert-text: the text element is added in a recorded
  // action that makes itself the mergeable head, so the typing that follows
  // is chained behind it.
  ASSERT_TRUE(r.proc->record(r.ws, CtrlRecord::diff, [&r] {
    if (!r.ws->add_text(r.cursor->now))
      return false;
    r.proc->set_last_mergeable(true);
    return true;
  }));
  const auto text = std::dynamic_pointer_cast<ModelTextElement>(r.ws->elm_at({2, 3}));
  ASSERT_NE(text, nullptr);

  const auto editor = r.insert_editor();
  commit_chars(*editor, "xy");
  EXPECT_EQ(text->get_text(), "xy");
  ASSERT_EQ(r.undo_steps(), 1u);
  EXPECT_NE(r.proc->get_undo_stack().back()->get_next_action(), nullptr);
  const std::string typed = document_text(*r.ws);

  // What the text held, and whether it was still in the document, when its
  // change was announced.
  Log seen;
  sigc::connection watch = editor->signal_update().connect([&](const std::shared_ptr<CtrlITextEditable>& ite, bool) {
    seen.push_back(text_join({"'", ite->get_text(), "' ", r.ws->elm_at({2, 3}) ? "stored" : "gone"}));
  });

  r.proc->undo(true);
  // The text went back first, while it was still stored; then it went.
  EXPECT_EQ(seen, (Log{"'' stored"}));
  EXPECT_EQ(r.ws->elm_at({2, 3}), nullptr);
  EXPECT_EQ(document_text(*r.ws), empty);

  seen.clear();
  r.proc->redo();
  // The text came back first, then its typing.
  EXPECT_EQ(seen, (Log{"'xy' stored"}));
  EXPECT_EQ(r.ws->elm_at({2, 3}), text);
  EXPECT_EQ(document_text(*r.ws), typed);
  watch.disconnect();
}

TEST(CtrlUpdateTextAction, AnActionMergedIntoATextActionIsUndoneBeforeAndRedoneAfterIt)
{
  Recorder r;
  const auto text = TestText::create("", 0);
  const auto editor = r.insert_editor();
  editor->set_ite(text);
  commit_chars(*editor, "x");

  Log log;
  const auto other = std::make_shared<WitnessAction>(log, text);
  ASSERT_TRUE(r.proc->execute(other));
  ASSERT_EQ(r.undo_steps(), 1u);
  EXPECT_EQ(r.proc->get_undo_stack().back()->get_next_action(), other);

  r.proc->undo(true);
  EXPECT_EQ(log, (Log{"undo saw 'x'"}));
  EXPECT_EQ(text->get_text(), "");
  r.proc->redo();
  EXPECT_EQ(log, (Log{"undo saw 'x'", "redo saw 'x'"}));

  // A text change after it folds into the text action, not into it.
  commit_chars(*editor, "y");
  EXPECT_EQ(r.undo_steps(), 1u);
  r.proc->undo(true);
  EXPECT_EQ(text->get_text(), "");
}

TEST(CtrlUpdateTextAction, TheHistoryOutlivesItsEditorAndTexts)
{
  Recorder r;
  auto kept = TestText::create("", 0);
  auto dropped = TestText::create("", 0);
  {
    const auto editor = r.insert_editor();
    editor->set_ite(dropped);
    commit_chars(*editor, "a");
    editor->set_ite(kept);
    commit_chars(*editor, "b");
  }
  // The history holds neither the editor nor the texts.
  const std::weak_ptr<TestText> gone = dropped;
  dropped.reset();
  EXPECT_TRUE(gone.expired());

  r.proc->undo(true);
  EXPECT_EQ(kept->get_text(), "");
  r.proc->redo();
  EXPECT_EQ(kept->get_text(), "b");
}

TEST(CtrlUpdateTextAction, AnEditorOnABareWidgetAnnouncesItsChangesItself)
{
  VELKARO_REQUIRE_GTK();
  Gtk::DrawingArea area;
  const auto text = TestText::create("a" + ACUTE, 3);
  // As the command line makes its editor: no context, no history.
  const auto editor = CtrlTextEditorInsert::create(area, text);
  EXPECT_EQ(editor->get_widget(), &area);
  EXPECT_EQ(editor->get_data_ah().action_proc, nullptr);
  EXPECT_EQ(editor->get_data_ah().ws, nullptr);
  EXPECT_EQ(editor->get_data_ah().store, nullptr);
  SignalLog log(*editor, text);

  GdkEventKey backspace{};
  backspace.type = GDK_KEY_PRESS;
  backspace.keyval = GDK_KEY_BackSpace;
  EXPECT_TRUE(editor->action_by_eventkey(to_key_event(backspace)));
  EXPECT_EQ(text->get_text(), "a");
  EXPECT_EQ(text->get_cursor_index(), 1);
  EXPECT_EQ(log.log, (Log{"update:text"}));

  // At the start nothing changes and nothing is announced.
  editor->move_char(-1);
  log.log.clear();
  EXPECT_TRUE(editor->bs());
  EXPECT_EQ(log.log, Log{});

  const auto normal = CtrlTextEditorNormal::create(area, text);
  EXPECT_FALSE(normal->get_can_edit());
  EXPECT_EQ(normal->get_data_ah().action_proc, nullptr);
}

} // namespace
} // namespace velkaro
