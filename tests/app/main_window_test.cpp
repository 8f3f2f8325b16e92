// The main window in-process: how it is built, its title, the bars, the
// save question and what each answer does.

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>
#include <glibmm/miscutils.h>
#include <gtkmm/grid.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "ctrl/undo/action_processor.h"
#include "seq/canvas.h"
#include "seq/context.h"
#include "seq/main_menu.h"
#include "seq/tool_bar.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"
#include "view/command_bar.h"
#include "view/main_view.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

namespace fs = std::filesystem;

// The process's current directory for one test.
class CurrentDir {
public:
  explicit CurrentDir(const fs::path& dir) : m_old(fs::current_path()) { fs::current_path(dir); }
  ~CurrentDir() { fs::current_path(m_old); }

private:
  fs::path m_old;
};

// A folder in which nobody may create a file: one without write permission,
// or, for root, who may write anywhere else, /proc.
fs::path unwritable_dir(const TempDir& dir)
{
  if (geteuid() == 0)
    return "/proc";
  const fs::path locked = dir.path() / "locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  return locked;
}

class MainWindowTest : public MainWindowFixture {
protected:
  static std::string read_file(const fs::path& path)
  {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(MainWindowTest, BuildsTheSequenceEditorInItsLayout)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  EXPECT_EQ(w->get_title(), "VelkaroSEQ");
  int width = 0, height = 0;
  w->get_default_size(width, height);
  EXPECT_EQ(width, 900);
  EXPECT_EQ(height, 600);

  const auto& ctx = w->get_ctrl();
  EXPECT_EQ(ctx->get_ws(), std::static_pointer_cast<ModelWorkspace>(w->get_ws()));
  EXPECT_EQ(ctx->get_main_window(), w->get_iface());
  EXPECT_EQ(ctx->get_canvas().get(), static_cast<CtrlICanvas*>(&w->get_canvas()));
  EXPECT_NE(dynamic_cast<SeqCanvas*>(&w->get_canvas()), nullptr);
  EXPECT_EQ(ctx->get_main_view().get(), static_cast<CtrlIMainView*>(&w->get_main_view()));
  EXPECT_EQ(ctx->get_command_bar().get(), static_cast<CtrlICommandBar*>(&w->get_command_bar()));
  EXPECT_NE(ctx->get_context_menu(), nullptr);
  EXPECT_NE(dynamic_cast<SeqToolBar*>(&w->get_tool_bar()), nullptr);
  EXPECT_NE(dynamic_cast<SeqMainMenu*>(&w->get_menu_bar()), nullptr);
  EXPECT_TRUE(w->get_canvas().get_hexpand() && w->get_canvas().get_vexpand());

  // Menu bar, tool bar, main view, command bar from top to bottom.
  Gtk::Grid& grid = w->get_layout();
  EXPECT_EQ(grid.get_child_at(0, 0), &w->get_menu_bar());
  EXPECT_EQ(grid.get_child_at(0, 1), &w->get_tool_bar());
  EXPECT_EQ(grid.get_child_at(0, 2), &w->get_main_view());
  EXPECT_EQ(grid.get_child_at(0, 3), &w->get_command_bar());

  // Editing is on and the canvas is the window's focus widget.
  EXPECT_TRUE(ctx->get_is_active());
  EXPECT_EQ(w->get_focus(), &w->get_canvas());
  ASSERT_TRUE(w->get_icon());
  EXPECT_EQ(w->get_icon()->get_width(), 48);
}

TEST_F(MainWindowTest, TheNineCommandsAreWindowActionsAndKeylessContextActions)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  const char* names[] = {"new-file", "open-file", "save-file",    "save-as-file", "exit",
                         "manual",   "export-png-n", "export-png", "key-setting"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const auto action = w->lookup_action(name);
    ASSERT_TRUE(action);
    const bool takes_path = std::string(name) == "export-png";
    EXPECT_EQ(action->get_parameter_type().gobj() != nullptr, takes_path);
    const auto& map = w->get_ctrl()->get_ah_map();
    const auto it = map.find(name);
    ASSERT_NE(it, map.end());
    EXPECT_TRUE(it->second->get_assigned().empty());
    EXPECT_FALSE(it->second->get_description());
  }
}

TEST_F(MainWindowTest, KeysStopAtTheLayoutOnlyWhileTheCanvasPageShows)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  w->show_all();
  frame(*w);
  GdkEventKey event{};
  event.type = GDK_KEY_PRESS;
  event.keyval = GDK_KEY_F24;
  auto emit = [&] {
    gboolean stopped = FALSE;
    g_signal_emit_by_name(w->get_layout().gobj(), "key-press-event", &event, &stopped);
    return stopped != FALSE;
  };
  EXPECT_TRUE(emit());
  w->get_main_view().toggle_view();
  frame(*w);
  EXPECT_FALSE(emit());
}

TEST_F(MainWindowTest, TitleShowsTheFileRelativeBelowTheCurrentDirectoryElseAbsolute)
{
  VELKARO_REQUIRE_GTK();
  const fs::path work = dir.path() / "work";
  fs::create_directories(work / "sub");
  CurrentDir here(work);
  auto w = make_window();
  ASSERT_TRUE(w->get_ws()->save("t.xml"));
  EXPECT_EQ(w->get_title(), "VelkaroSEQ - t.xml");
  ASSERT_TRUE(w->get_ws()->save((work / "sub" / "u.xml").string()));
  EXPECT_EQ(w->get_title(), "VelkaroSEQ - sub/u.xml");
  const fs::path elsewhere = dir.path() / "elsewhere.xml";
  ASSERT_TRUE(w->get_ws()->save(elsewhere.string()));
  EXPECT_EQ(w->get_title(), "VelkaroSEQ - " + elsewhere.string());
  EXPECT_EQ(w->get_display_file_name(), elsewhere.string());
}

TEST(MainWindowText, TitleAndQuestion)
{
  EXPECT_EQ(MainWindow::title_base("seq"), "VelkaroSEQ");
  EXPECT_EQ(MainWindow::title_base("cls"), "VelkaroCLS");
  EXPECT_EQ(MainWindow::save_question_text(""), "This workspace has been updated.\nDo you save the file?");
  EXPECT_EQ(MainWindow::save_question_text("a b/t.xml"), "\"a b/t.xml\" has been updated.\nDo you save the file?");
}

TEST_F(MainWindowTest, BarVisibilityIsKeptThroughTheNoShowAllFlag)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  w->show_all();
  frame(*w);
  Gtk::Widget& bar = w->get_tool_bar();
  ASSERT_TRUE(bar.get_visible());
  MainWindow::set_visible_to(bar, false);
  EXPECT_FALSE(bar.get_visible());
  EXPECT_TRUE(bar.get_no_show_all());
  w->show_all();
  EXPECT_FALSE(bar.get_visible());
  MainWindow::set_visible_to(bar, true);
  EXPECT_TRUE(bar.get_visible());
  EXPECT_FALSE(bar.get_no_show_all());

  // The setting reaches the bar through "config-changed".
  w->get_ctrl()->save_config("show-menubar", "false");
  EXPECT_FALSE(w->get_menu_bar().get_visible());
  w->get_ctrl()->save_config("show-menubar", "true");
  EXPECT_TRUE(w->get_menu_bar().get_visible());
}

TEST_F(MainWindowTest, AHiddenMenuBarStaysHiddenFromTheFirstShowing)
{
  VELKARO_REQUIRE_GTK();
  const fs::path conf = fs::path(std::getenv("XDG_CONFIG_HOME")) / "velkaro" / "velkaro_seq.conf";
  fs::create_directories(conf.parent_path());
  std::ofstream(conf) << "[general]\nshow-menubar=false\n";
  auto w = make_window();
  w->show_all();
  frame(*w);
  EXPECT_FALSE(w->get_menu_bar().get_visible());
  EXPECT_TRUE(w->get_tool_bar().get_visible());
}

// ---------------------------------------------------------------------------
// The save question

TEST_F(MainWindowTest, AnUnmodifiedDocumentIsClosedWithoutAQuestion)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  EXPECT_FALSE(w->raise_delete_request());
  EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(MainWindowTest, EachAnswerToTheQuestion)
{
  VELKARO_REQUIRE_GTK();
  const fs::path locked = unwritable_dir(dir);
  struct Case {
    const char* name;
    bool has_file;
    int answer;
    std::optional<std::string> chooser;
    bool may_close;
    bool still_modified;
    size_t choosers;
    size_t messages;
  };
  const std::string fresh = (dir.path() / "fresh.xml").string();
  const std::string unwritable = (locked / "t.xml").string();
  const Case cases[] = {
    {"don't save", false, Gtk::RESPONSE_NO, {}, true, true, 0, 0},
    {"cancel", false, Gtk::RESPONSE_CANCEL, {}, false, true, 0, 0},
    {"closing the question", false, Gtk::RESPONSE_DELETE_EVENT, {}, false, true, 0, 0},
    {"save to its file", true, Gtk::RESPONSE_YES, {}, true, false, 0, 0},
    {"save, chosen file", false, Gtk::RESPONSE_YES, fresh, true, false, 1, 0},
    {"save, chooser cancelled", false, Gtk::RESPONSE_YES, std::nullopt, false, true, 1, 0},
    {"save fails", false, Gtk::RESPONSE_YES, unwritable, false, true, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs = FakeDialogs{};
    CurrentDir here(dir.path());
    auto w = make_window();
    if (c.has_file) {
      ASSERT_TRUE(w->get_ws()->save((dir.path() / "own.xml").string()));
    }
    insert_life_line(*w, {1, 1});
    ASSERT_TRUE(w->get_ws()->modified);
    dialogs.question_answers = {c.answer};
    dialogs.chooser_answers = {c.chooser};
    const std::string question =
      c.has_file ? "\"own.xml\" has been updated.\nDo you save the file?" : MainWindow::save_question_text("");
    EXPECT_EQ(w->confirm_to_save_update(), c.may_close);
    EXPECT_EQ(w->get_ws()->modified, c.still_modified);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0], question);
    EXPECT_EQ(dialogs.question_buttons[0], (std::vector<std::string>{"_Cancel", "_Save", "_Don't save"}));
    EXPECT_EQ(dialogs.choosers.size(), c.choosers);
    EXPECT_EQ(dialogs.messages.size(), c.messages);
  }
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_FALSE(fs::exists(unwritable));
}

TEST_F(MainWindowTest, AFailedSaveStopsExitAndQuitAndTheQuestionComesAgain)
{
  VELKARO_REQUIRE_GTK();
  const fs::path locked = unwritable_dir(dir);
  auto w = make_window();
  w->show_all();
  frame(*w);
  insert_life_line(*w, {0, 0});
  dialogs.question_answers = {Gtk::RESPONSE_YES, Gtk::RESPONSE_CANCEL};
  dialogs.chooser_answers = {(locked / "t.xml").string()};
  w->get_ctrl()->action("exit");
  EXPECT_TRUE(w->get_visible());
  EXPECT_TRUE(w->get_ws()->modified);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("t.xml"), std::string::npos) << dialogs.messages[0];
  // ":q" asks again; cancelled, the window stays.
  EXPECT_TRUE(w->raise_delete_request());
  EXPECT_EQ(dialogs.questions.size(), 2u);
  EXPECT_TRUE(w->get_visible());
  // "_Don't save" lets it go.
  dialogs.question_answers = {Gtk::RESPONSE_NO};
  w->get_ctrl()->action("exit");
  EXPECT_FALSE(w->get_visible());
}

TEST_F(MainWindowTest, NewFileKeepsTheDocumentUnlessTheUserAllows)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  insert_life_line(*w, {0, 0});
  dialogs.question_answers = {Gtk::RESPONSE_CANCEL};
  w->get_ctrl()->action("new-file");
  EXPECT_NE(w->get_ws()->elm_at({0, 0}), nullptr);
  EXPECT_TRUE(w->get_ws()->modified);
  EXPECT_FALSE(w->get_ctrl()->get_action_proc()->get_undo_stack().empty());

  dialogs.question_answers = {Gtk::RESPONSE_NO};
  w->get_ctrl()->action("new-file");
  EXPECT_EQ(w->get_ws()->elm_at({0, 0}), nullptr);
  EXPECT_FALSE(w->get_ws()->modified);
  EXPECT_TRUE(w->get_ctrl()->get_action_proc()->get_undo_stack().empty());
  EXPECT_EQ(w->get_title(), "VelkaroSEQ");
}

// ---------------------------------------------------------------------------
// Files

TEST_F(MainWindowTest, FileChoosersHaveTheirTitlesButtonsAndFilters)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  w->get_ctrl()->action("open-file");
  w->get_ctrl()->action("save-file");
  w->get_ctrl()->action("save-as-file");
  w->get_ctrl()->action("export-png-n");
  // A path-taking export reached by name asks for the path too.
  w->get_ctrl()->action("export-png");
  ASSERT_EQ(dialogs.choosers.size(), 5u);
  const std::vector<std::string> xml{"Velkaro data (XML)", "All"};
  const std::vector<std::string> png{"PNG image", "All"};
  struct Expected {
    const char* title;
    Gtk::FileChooserAction action;
    const char* accept;
    const std::vector<std::string>& filters;
  };
  const Expected expected[] = {
    {"Open file", Gtk::FILE_CHOOSER_ACTION_OPEN, "_Open", xml},
    {"Save file", Gtk::FILE_CHOOSER_ACTION_SAVE, "_Save", xml},
    {"Save file", Gtk::FILE_CHOOSER_ACTION_SAVE, "_Save", xml},
    {"Export PNG file", Gtk::FILE_CHOOSER_ACTION_SAVE, "_Export", png},
    {"Export PNG file", Gtk::FILE_CHOOSER_ACTION_SAVE, "_Export", png},
  };
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(expected[i].title);
    const auto& seen = dialogs.choosers[i];
    EXPECT_EQ(seen.title, expected[i].title);
    EXPECT_EQ(seen.action, expected[i].action);
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"_Cancel", expected[i].accept}));
    EXPECT_EQ(seen.filters, expected[i].filters);
    EXPECT_TRUE(seen.overwrite_confirmation);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, SaveFileWithoutAFileAsksForOneThenUsesIt)
{
  VELKARO_REQUIRE_GTK();
  auto w = make_window();
  insert_life_line(*w, {0, 0});
  const std::string path = dir.file("a.xml");
  dialogs.chooser_answers = {path};
  EXPECT_TRUE(w->save_file(true));
  EXPECT_EQ(dialogs.choosers.size(), 1u);
  EXPECT_FALSE(w->get_ws()->modified);
  EXPECT_EQ(w->get_ws()->get_file_path(), path);
  insert_life_line(*w, {2, 0});
  EXPECT_TRUE(w->save_file(true));
  EXPECT_EQ(dialogs.choosers.size(), 1u);
  EXPECT_NE(read_file(path).find("h=\"2\""), std::string::npos);
}

TEST_F(MainWindowTest, OpeningAFileClearsTheHistory)
{
  VELKARO_REQUIRE_GTK();
  const std::string path = dir.file("a.xml");
  {
    auto first = make_window();
    insert_life_line(*first, {3, 0});
    ASSERT_TRUE(first->get_ws()->save(path));
  }
  auto w = make_window();
  insert_life_line(*w, {0, 0});
  dialogs.question_answers = {Gtk::RESPONSE_NO};
  dialogs.chooser_answers = {path};
  EXPECT_TRUE(w->open_file());
  EXPECT_EQ(w->get_ws()->elm_at({0, 0}), nullptr);
  EXPECT_NE(w->get_ws()->elm_at({3, 0}), nullptr);
  EXPECT_TRUE(w->get_ctrl()->get_action_proc()->get_undo_stack().empty());
  EXPECT_FALSE(w->get_ws()->modified);
  EXPECT_EQ(w->get_display_file_name(), path);
}

TEST_F(MainWindowTest, ARefusedFileLeavesDocumentPathFlagAndHistoryAsTheyWere)
{
  VELKARO_REQUIRE_GTK();
  const std::string own = dir.file("own.xml");
  const std::string broken = dir.file("broken.xml");
  std::ofstream(broken) << "<workspace><element_cells><cell";
  auto w = make_window();
  ASSERT_TRUE(w->get_ws()->save(own));
  insert_life_line(*w, {1, 2});
  const auto history = w->get_ctrl()->get_action_proc()->get_undo_stack().size();
  ASSERT_GT(history, 0u);
  dialogs.question_answers = {Gtk::RESPONSE_NO};
  dialogs.chooser_answers = {broken};
  w->get_ctrl()->action("open-file");
  EXPECT_NE(w->get_ws()->elm_at({1, 2}), nullptr);
  EXPECT_TRUE(w->get_ws()->modified);
  EXPECT_EQ(w->get_ws()->get_file_path(), own);
  EXPECT_EQ(w->get_ctrl()->get_action_proc()->get_undo_stack().size(), history);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("broken.xml"), std::string::npos) << dialogs.messages[0];
  // The history still fits the document: undo takes the life line away.
  EXPECT_TRUE(w->get_ctrl()->action("undo"));
  EXPECT_EQ(w->get_ws()->elm_at({1, 2}), nullptr);
}

} // namespace
} // namespace velkaro::test
