// The command line in the main window, through the key path the display's
// keys take (the toplevel, its focus widget, the binders): whatever a
// command comes to, and whatever dialog it raised, the line ends closed and
// empty with the canvas taking the next key.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "ctrl/text/text_editor_insert.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"
#include "view/canvas.h"
#include "view/command_bar.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

namespace fs = std::filesystem;

class MainWindowCommandLine : public MainWindowFixture {
protected:
  void SetUp() override
  {
    MainWindowFixture::SetUp();
    if (!app)
      return;
    window = make_window();
    // The input method every display has, so that what it does with a key
    // is known.
    gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(cmd().get_text_editor()->get_im_context()),
                                       "gtk-im-context-simple");
    window->show_all();
    frame(*window);
  }

  CtrlCmdCtrl& cmd() const { return *window->get_command_bar().get_cmd(); }
  bool line_open() const { return cmd().get_is_active(); }

  void key(guint keyval, guint state = 0) { press(*window, keyval, state); }
  // Types ":" on the canvas, then text into the line, then Return.
  void command(const std::string& text)
  {
    key(GDK_KEY_colon, GDK_SHIFT_MASK);
    ASSERT_TRUE(line_open());
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p))
      key(gdk_unicode_to_keyval(g_utf8_get_char(p)));
    ASSERT_EQ(cmd().get_text(), text);
    key(GDK_KEY_Return);
  }

  // The line is closed and empty, the canvas is the window's focus widget,
  // and a "j" typed next moves the cursor down instead of going into the line.
  void expect_line_closed_and_canvas_takes_keys()
  {
    EXPECT_FALSE(line_open());
    EXPECT_EQ(cmd().get_text(), "");
    EXPECT_TRUE(window->get_ctrl()->get_is_active());
    EXPECT_EQ(window->get_focus(), &window->get_canvas());
    const CellPos before = window->get_ctrl()->get_now_cell();
    key(GDK_KEY_j);
    EXPECT_FALSE(line_open());
    EXPECT_EQ(cmd().get_text(), "");
    EXPECT_EQ(window->get_ctrl()->get_now_cell().y, before.y + 1);
  }

  // A life line at the cursor through the cell mode's "i": the document is
  // then modified.
  void insert_life_line()
  {
    key(GDK_KEY_i);
    ASSERT_TRUE(window->get_ws()->modified);
  }

  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowCommandLine, QuitWhoseQuestionIsCancelledClosesTheLine)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line();
  dialogs.question_answers = {Gtk::RESPONSE_CANCEL};
  command("q");
  EXPECT_EQ(dialogs.questions.size(), 1u);
  EXPECT_TRUE(window->get_visible());
  expect_line_closed_and_canvas_takes_keys();
}

TEST_F(MainWindowCommandLine, AFailedWriteIsShownAndClosesTheLine)
{
  VELKARO_REQUIRE_GTK();
  insert_life_line();
  // A document never saved has no file to write to.
  command("w");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(window->get_ws()->modified);
  expect_line_closed_and_canvas_takes_keys();
}

TEST_F(MainWindowCommandLine, ARefusedReadClosesTheLineSoThatItsAdviceCanBeFollowed)
{
  VELKARO_REQUIRE_GTK();
  const std::string other = dir.file("other.xml");
  ASSERT_TRUE(ModelWorkspace::create<SeqWorkspace>()->save(other));
  insert_life_line();
  command("r " + other);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("\"w\""), std::string::npos) << dialogs.messages[0];
  expect_line_closed_and_canvas_takes_keys();

  // The advice: write them first. The line runs exactly that.
  const std::string mine = dir.file("mine.xml");
  command("w " + mine);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(fs::exists(mine));
  EXPECT_FALSE(window->get_ws()->modified);
  EXPECT_EQ(window->get_ws()->get_file_path(), mine);
  expect_line_closed_and_canvas_takes_keys();
}

} // namespace
} // namespace velkaro::test
