// The text editor with GTK: the system clipboard and the widget it works on.
// Needs a display.

#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/drawingarea.h>

#include "common/text_range.h"
#include "ctrl/text_editor_test_support.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::TestText;

GtkClipboard* system_clipboard()
{
  return gtk_clipboard_get_for_display(gdk_display_get_default(), GDK_SELECTION_CLIPBOARD);
}

std::optional<std::string> system_clipboard_text()
{
  gchar* text = gtk_clipboard_wait_for_text(system_clipboard());
  if (!text)
    return std::nullopt;
  std::string s = text;
  g_free(text);
  return s;
}

// One test for everything that uses the system clipboard: test processes
// running side by side on one display would otherwise take it from each
// other.
TEST(CtrlTextEditorGtk, TheSystemClipboard)
{
  VELKARO_REQUIRE_GTK();
  {
    SCOPED_TRACE("copy, then paste in another text");
    const auto source = TestText::create("hello w\xC3\xB6rld", 6);
    const auto copier = CtrlTextEditor::create(nullptr, source);
    source->get_text_range()->set_range(6, 12);
    EXPECT_TRUE(copier->copy());
    EXPECT_EQ(system_clipboard_text(), std::optional<std::string>("w\xC3\xB6rld"));

    const auto target = TestText::create("<>", 1);
    const auto paster = CtrlTextEditor::create(nullptr, target);
    paster->set_insert_style(true);
    EXPECT_TRUE(paster->paste());
    EXPECT_EQ(target->get_text(), "<w\xC3\xB6rld>");
    EXPECT_EQ(target->get_cursor_index(), 7);

    // What another program put there is pasted as well.
    gtk_clipboard_set_text(system_clipboard(), "other", -1);
    EXPECT_TRUE(paster->paste());
    EXPECT_EQ(target->get_text(), "<w\xC3\xB6rldother>");
  }
  {
    SCOPED_TRACE("line deletion, then a linewise paste");
    const auto ite = TestText::create("first\nsecond", 8);
    const auto editor = CtrlTextEditor::create(nullptr, ite);
    EXPECT_TRUE(editor->del_line());
    EXPECT_EQ(ite->get_text(), "first");
    EXPECT_EQ(system_clipboard_text(), std::optional<std::string>("second"));
    EXPECT_TRUE(editor->paste());
    EXPECT_EQ(ite->get_text(), "second\nfirst");
    EXPECT_EQ(ite->get_cursor_index(), 0);
  }
  {
    SCOPED_TRACE("a clipboard without text");
    gtk_clipboard_set_text(system_clipboard(), "gone", -1);
    gtk_clipboard_clear(system_clipboard());
    ASSERT_EQ(system_clipboard_text(), std::nullopt);
    const auto ite = TestText::create("ab", 1);
    const auto editor = CtrlTextEditor::create(nullptr, ite);
    test::SignalLog signals(*editor, ite);
    EXPECT_TRUE(editor->paste(true));
    EXPECT_EQ(ite->get_text(), "ab");
    EXPECT_TRUE(signals.log.empty());
  }
}

TEST(CtrlTextEditorGtk, TheContextsCanvasStandsInForAMissingWidget)
{
  VELKARO_REQUIRE_GTK();
  Gtk::DrawingArea canvas;
  auto* own = new Gtk::DrawingArea;

  const auto plain = CtrlTextEditor::create(own);
  EXPECT_EQ(plain->get_widget(), own);
  delete own;
  EXPECT_EQ(plain->get_widget(), nullptr);

  CtrlTextEditorContextLink link;
  link.get_canvas = [&canvas]() -> Gtk::Widget* { return &canvas; };
  class ContextEditor : public CtrlTextEditor {
  public:
    explicit ContextEditor(CtrlTextEditorContextLink link) : CtrlTextEditor(nullptr, std::move(link)) {}
  };
  const auto editor = std::make_shared<ContextEditor>(link);
  EXPECT_EQ(editor->get_widget(), &canvas);
  Gtk::DrawingArea other;
  editor->set_widget(&other);
  EXPECT_EQ(editor->get_widget(), &other);
  editor->set_widget(nullptr);
  EXPECT_EQ(editor->get_widget(), &canvas);
}

} // namespace
} // namespace velkaro
