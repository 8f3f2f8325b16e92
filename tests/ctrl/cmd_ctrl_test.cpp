// The command line on its widget: typed scripts through GTK's own key
// dispatch (the text editor's input method first, then the key binder), the
// commands and what they leave behind, and the layouts the command bar
// draws. Needs a display.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>
#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/layout.h>

#include "ctrl/undo/action_processor.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/ports/icommand_bar.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/test_kind.h"
#include "ctrl/text/text_editor_insert.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::KindKit;
using test::Log;
using test::settle;
using Words = std::vector<std::string>;

std::string read_file(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What GLib logs at debug level, as warnings and as critical messages.
struct LogCapture : test::LogCapture {
  LogCapture()
    : test::LogCapture(static_cast<GLogLevelFlags>(G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL))
  {
  }
};

// The command bar as the window has it: it hands the context its command line.
class Bar : public CtrlICommandBar {
public:
  std::shared_ptr<CtrlAbstractCtrl> get_cmd_ctrl() override { return cmd; }
  std::shared_ptr<CtrlCmdCtrl> cmd;
};

// A main window whose destroy() also runs a function of the test's.
class DestroyingWindow : public test::TestMainWindow {
public:
  using TestMainWindow::TestMainWindow;
  void destroy() override
  {
    TestMainWindow::destroy();
    if (on_destroy)
      on_destroy();
  }
  std::function<void()> on_destroy;
};

// Layouts on PangoCairo's font map, so that they do not depend on the widget.
Glib::RefPtr<Pango::Context> cairo_pango_context()
{
  return Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
}

// A shown window holding the bar's drawing area, and a command line on it
// serving a test diagram's context, switched off as the window leaves it.
struct Stage {
  explicit Stage(KindKit given = KindKit()) : kit(std::move(given))
  {
    window.add(area);
    window.show_all();
    settle();
    cmd = CtrlCmdCtrl::create(area, kit.ctx, cairo_pango_context());
    bar->cmd = cmd;
    kit.ctx->set_command_bar(bar);
    // The input method every display has, so that what it does with a key
    // is known.
    gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(cmd->get_text_editor()->get_im_context()),
                                       "gtk-im-context-simple");
    kit.ctx->activate_edit_ctrl();
    kit.take_log();
  }
  ~Stage() { settle(); }

  // As the context's "activat-cmd-ctrl" does.
  void open() { kit.ctx->activate_cmd_ctrl(); }

  // Key presses go to the toplevel, which hands them to its focus widget, as
  // the display's keys come.
  void press(guint keyval, guint state = 0)
  {
    gtk_main_do_event(test::key_event(GDK_KEY_PRESS, window.get_window()->gobj(), keyval, state).get());
    settle();
  }
  // Types each character of text as a key press.
  void type(const std::string& text)
  {
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p))
      press(gdk_unicode_to_keyval(g_utf8_get_char(p)));
  }
  // Presses the keys of a key pattern text ("<CR>", "<C-[>").
  void keys(const std::string& pattern)
  {
    const CtrlKeyActionMapKeyPattern parsed(pattern);
    for (const auto& key : parsed.get_keys())
      press(key.get_keyval(), key.get_state());
  }

  bool is_open() const { return cmd->get_is_active(); }

  KindKit kit;
  Gtk::Window window;
  Gtk::DrawingArea area;
  std::shared_ptr<Bar> bar = std::make_shared<Bar>();
  std::shared_ptr<CtrlCmdCtrl> cmd;
};

TEST(CtrlCmdCtrl, TypedWriteSavesThenTypedReadLoadsWithoutHistory)
{
  VELKARO_REQUIRE_GTK();
  test::TempDir dir;
  const std::string file = dir.file("a.xml");
  Stage stage;
  auto& ws = *stage.kit.ws;
  ASSERT_TRUE(test::place(ws, test::make_text("hello"), 1, 2));
  ws.modified = true;
  const std::string saved = test::document_of(ws);

  stage.open();
  EXPECT_TRUE(stage.is_open());
  EXPECT_FALSE(stage.kit.ctx->get_is_active());
  EXPECT_TRUE(stage.area.is_focus());
  stage.type("w " + file);
  EXPECT_EQ(stage.cmd->get_text(), "w " + file);
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_TRUE(stage.kit.ctx->get_is_active());
  EXPECT_NE(read_file(file).find("hello"), std::string::npos);
  EXPECT_EQ(ws.get_file_path(), file);
  EXPECT_FALSE(ws.modified);

  // An undoable edit, then the file read back over it.
  ASSERT_TRUE(test::press_keys(*stage.kit.ctx, "i"));
  ASSERT_NE(test::document_of(ws), saved);
  ASSERT_TRUE(stage.kit.ctx->get_action_proc()->get_has_undo_stack());
  ws.signal_update(); // announced as a diagram kind's insertion announces itself
  ASSERT_TRUE(ws.modified);
  // A file is never read over changes that are not saved; the line closes
  // all the same, so that the advice can be followed.
  const std::string edited = test::document_of(ws);
  stage.open();
  stage.type("r " + file);
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(stage.cmd->get_text(), "");
  EXPECT_TRUE(stage.kit.ctx->get_is_active());
  EXPECT_EQ(test::document_of(ws), edited);
  EXPECT_TRUE(stage.kit.ctx->get_action_proc()->get_has_undo_stack());
  EXPECT_EQ(stage.kit.main_window->alerts.size(), 1u);
  stage.kit.main_window->alerts.clear();
  // Written elsewhere first, the changes are safe and the file reads over them.
  stage.open();
  stage.type("w " + dir.file("b.xml"));
  stage.keys("<CR>");
  ASSERT_FALSE(ws.modified);
  stage.open();
  stage.type("r " + file);
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(test::document_of(ws), saved);
  EXPECT_FALSE(ws.modified);
  EXPECT_FALSE(stage.kit.ctx->get_action_proc()->get_has_undo_stack());
  // The history went with the document it belonged to.
  test::press_keys(*stage.kit.ctx, "u");
  EXPECT_EQ(test::document_of(ws), saved);
  EXPECT_TRUE(stage.kit.main_window->alerts.empty());
}

TEST(CtrlCmdCtrl, AColonTypedOnTheCanvasOpensTheLineThatThenWritesAndReads)
{
  VELKARO_REQUIRE_GTK();
  test::TempDir dir;
  const std::string file = dir.file("typed.xml");
  // The canvas and the bar side by side in one window, the canvas with the
  // context's own binders, as the main window has them.
  Stage stage(test::host_kit());
  Gtk::DrawingArea canvas_area;
  canvas_area.set_can_focus(true);
  stage.window.remove();
  Gtk::Box box;
  box.pack_start(canvas_area);
  box.pack_start(stage.area);
  stage.window.add(box);
  stage.window.show_all();
  stage.kit.canvas->widget = &canvas_area;
  stage.kit.ctx->set_canvas(stage.kit.canvas);
  auto& ws = *stage.kit.ws;
  ASSERT_TRUE(test::place(ws, test::make_text("typed"), 2, 1));
  const std::string saved = test::document_of(ws);

  canvas_area.grab_focus();
  test::settle();
  stage.press(GDK_KEY_colon, GDK_SHIFT_MASK);
  ASSERT_TRUE(stage.is_open());
  EXPECT_TRUE(stage.area.is_focus());
  EXPECT_EQ(stage.cmd->get_text(), "") << "the colon opens the line and is not typed into it";
  stage.type("w " + file);
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_NE(read_file(file).find("typed"), std::string::npos);
  EXPECT_FALSE(ws.modified);

  ASSERT_TRUE(test::place(ws, test::make_text("later"), 0, 3));
  ASSERT_TRUE(ws.save(dir.file("elsewhere.xml")));
  canvas_area.grab_focus();
  test::settle();
  stage.press(GDK_KEY_colon, GDK_SHIFT_MASK);
  ASSERT_TRUE(stage.is_open());
  stage.type("r " + file);
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(test::document_of(ws), saved);
  EXPECT_EQ(ws.get_file_path(), file);
}

TEST(CtrlCmdCtrl, ReadLeavesTheCurrentModeBeforeTheDocumentIsReplaced)
{
  VELKARO_REQUIRE_GTK();
  test::TempDir dir;
  const std::string file = dir.file("other.xml");
  Stage stage;
  auto& ws = *stage.kit.ws;
  ASSERT_TRUE(ws.save(file));
  stage.kit.ctx->change_to<test::KindOtherMode>();
  ASSERT_EQ(test::mode_name(stage.kit), "KIND OTHER MODE");
  stage.open();
  stage.kit.take_log();
  stage.cmd->set_text("r " + file);
  test::press_keys(*stage.cmd, "<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(test::mode_name(stage.kit), "KIND CELL MODE");
  const Log log = stage.kit.take_log();
  EXPECT_NE(std::find(log.begin(), log.end(), "KIND OTHER MODE:on_exit next=KIND CELL MODE"), log.end());
}

TEST(CtrlCmdCtrl, BackspaceDeletesThenClosesAnEmptyLineAndCancelCloses)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  stage.open();
  stage.type("ab");
  stage.keys("<BS>");
  EXPECT_EQ(stage.cmd->get_text(), "a");
  EXPECT_TRUE(stage.is_open());
  stage.keys("<BS>");
  EXPECT_EQ(stage.cmd->get_text(), "");
  EXPECT_TRUE(stage.is_open());
  stage.keys("<BS>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_TRUE(stage.kit.ctx->get_is_active());
  EXPECT_FALSE(stage.cmd->get_text_editor()->get_is_activated());

  for (const char* cancel : {"<Esc>", "<C-[>"}) {
    SCOPED_TRACE(cancel);
    stage.open();
    // Opening starts from an empty line.
    EXPECT_EQ(stage.cmd->get_text(), "");
    stage.type("w x");
    stage.keys(cancel);
    EXPECT_FALSE(stage.is_open());
    EXPECT_TRUE(stage.kit.ctx->get_is_active());
  }
}

TEST(CtrlCmdCtrl, ALineThatRunsNoCommandStaysOpenWithItsText)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  for (const char* text : {"", "  ", "nope a", "W", "ww"}) {
    SCOPED_TRACE(text);
    stage.open();
    stage.type(text);
    stage.keys("<CR>");
    EXPECT_TRUE(stage.is_open());
    EXPECT_EQ(stage.cmd->get_text(), text);
    stage.kit.ctx->activate_edit_ctrl();
  }
  EXPECT_EQ(stage.kit.main_window->alerts, Words{});
}

TEST(CtrlCmdCtrl, QuitAsksTheWindowAndDestroysItOnlyWhenNotStopped)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  stage.kit.main_window->stop_delete = true;
  stage.open();
  stage.type("q");
  stage.keys("<CR>");
  // Stopped: the window stays, and the line closes (the main view takes the
  // keyboard back), so that a key typed next is not appended to "q".
  EXPECT_EQ(stage.kit.take_log(), (Log{"window:delete_request", "main_view:grab_focus"}));
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(stage.cmd->get_text(), "");
  EXPECT_TRUE(stage.kit.ctx->get_is_active());
  stage.type("j");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(stage.cmd->get_text(), "");

  stage.kit.main_window->stop_delete = false;
  stage.open();
  stage.type("q");
  stage.keys("<CR>");
  EXPECT_EQ(stage.kit.take_log(), (Log{"window:delete_request", "canvas:release_scrolled_window", "window:destroy",
                                       "main_view:grab_focus"}));
}

TEST(CtrlCmdCtrl, QuitSurvivesTheWindowDroppingTheCommandLine)
{
  VELKARO_REQUIRE_GTK();
  // Through the widget's key binder, and straight to the key handler by a
  // caller that holds no reference to the command line.
  for (const bool through_widget : {true, false}) {
    SCOPED_TRACE(through_widget ? "through the widget" : "to the handler");
    Stage stage;
    // As the real window does: destroying it destroys the bar, which owns
    // the command line that is running "q".
    const auto window = std::make_shared<DestroyingWindow>(stage.kit.log);
    window->on_destroy = [&stage] {
      stage.kit.ctx->set_command_bar(nullptr);
      stage.bar.reset();
      stage.cmd.reset();
    };
    stage.kit.ctx->set_main_window(window);
    const std::weak_ptr<CtrlCmdCtrl> cmd = stage.cmd;
    stage.open();
    stage.cmd->set_text("q");
    if (through_widget)
      stage.keys("<CR>");
    else
      test::press_keys(*stage.cmd, "<CR>");
    EXPECT_EQ(stage.kit.take_log(), (Log{"window:delete_request", "canvas:release_scrolled_window",
                                         "window:destroy", "main_view:grab_focus"}));
    EXPECT_TRUE(cmd.expired());
  }
}

TEST(CtrlCmdCtrl, WriteOnADocumentNeverSavedFailsVisibly)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  auto& ws = *stage.kit.ws;
  ASSERT_TRUE(test::place(ws, test::make_text("unsaved"), 0, 0));
  ws.modified = true;
  LogCapture log;
  stage.open();
  stage.type("w");
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(stage.cmd->get_text(), "");
  EXPECT_TRUE(stage.kit.ctx->get_is_active());
  EXPECT_TRUE(ws.modified);
  EXPECT_EQ(ws.get_file_path(), "");
  ASSERT_EQ(stage.kit.main_window->alerts.size(), 1u);
  EXPECT_FALSE(stage.kit.main_window->alerts[0].empty());
  EXPECT_EQ(log.warnings, stage.kit.main_window->alerts);
}

TEST(CtrlCmdCtrl, FailedWriteOrReadLeavesTheDocumentAndItsHistory)
{
  VELKARO_REQUIRE_GTK();
  test::TempDir dir;
  const std::string bad = dir.file("bad.xml");
  std::ofstream(bad) << "this is not a document";
  const std::string unwritable = dir.file("no/such/dir/a.xml");

  Stage stage;
  auto& ws = *stage.kit.ws;
  ASSERT_TRUE(test::press_keys(*stage.kit.ctx, "i"));
  ws.modified = true;
  const std::string before = test::document_of(ws);

  for (const std::string& text : {"r " + bad, "w " + unwritable}) {
    SCOPED_TRACE(text);
    LogCapture log;
    stage.kit.main_window->alerts.clear();
    stage.open();
    stage.type(text);
    stage.keys("<CR>");
    EXPECT_FALSE(stage.is_open());
    EXPECT_EQ(stage.cmd->get_text(), "");
    EXPECT_TRUE(stage.kit.ctx->get_is_active());
    EXPECT_EQ(test::document_of(ws), before);
    EXPECT_TRUE(ws.modified);
    EXPECT_EQ(ws.get_file_path(), "");
    EXPECT_EQ(stage.kit.main_window->alerts.size(), 1u);
    EXPECT_EQ(log.warnings, stage.kit.main_window->alerts);
  }
  EXPECT_FALSE(std::filesystem::exists(unwritable));
  // The edit can still be undone.
  test::press_keys(*stage.kit.ctx, "u");
  EXPECT_EQ(test::names_at(ws, 0, 0), Words{});
}

TEST(CtrlCmdCtrl, CommandsAndTheirEffects)
{
  VELKARO_REQUIRE_GTK();
  test::TempDir dir;
  const std::string a = dir.file("a.xml");
  const std::string b = dir.file("b.xml");
  struct Case {
    std::string text;
    bool stays_open;
    Log log;
    Words files;
  };
  const Case cases[] = {
    {"  w \t " + a + "  ", false, {}, {a}},
    {"w " + a + "  " + b, false, {}, {a}},
    {"xp " + dir.file("p.png"), false, {"window:activate export-png " + dir.file("p.png")}, {}},
    {"xp", false, {}, {}},
    {"xp " + a + " " + b, false, {}, {}},
    {"r", false, {}, {}},
    {"r " + a + " " + b, false, {}, {}},
    // It leaves first, then the key-binding editor is shown and takes the
    // focus; the line's close afterwards hands the main view the focus again.
    {"set", false, {"main_view:grab_focus", "main_view:show_key_setting"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Stage stage;
    stage.open();
    stage.kit.take_log();
    stage.cmd->set_text(c.text);
    test::press_keys(*stage.cmd, "<CR>");
    EXPECT_EQ(stage.is_open(), c.stays_open);
    Log log = stage.kit.take_log();
    // What closing the line logs.
    if (!c.stays_open) {
      ASSERT_FALSE(log.empty());
      EXPECT_EQ(log.back(), "main_view:grab_focus");
      log.pop_back();
    }
    EXPECT_EQ(log, c.log);
    for (const std::string& file : {a, b})
      EXPECT_EQ(std::filesystem::exists(file), std::count(c.files.begin(), c.files.end(), file) == 1) << file;
    std::filesystem::remove(a);
  }
}

TEST(CtrlCmdCtrl, ParseLogsItsArgumentsAndCloses)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  LogCapture log;
  stage.open();
  stage.type("parse a  b");
  stage.keys("<CR>");
  EXPECT_FALSE(stage.is_open());
  EXPECT_EQ(log.debug_from("cmdctrl:"), (Words{"cmdctrl:160: parse result:", "cmdctrl:164:   [0]:a",
                                               "cmdctrl:164:   [1]:b", "cmdctrl:166: ----------"}));
}

TEST(CtrlCmdCtrl, TheBarsLayoutsFollowTheContext)
{
  VELKARO_REQUIRE_GTK();
  Stage stage;
  auto& ctx = *stage.kit.ctx;
  EXPECT_EQ(stage.cmd->get_prompt_layout()->get_text(), ":");
  EXPECT_EQ(stage.cmd->get_mode_layout()->get_text(), "KIND CELL MODE");
  EXPECT_EQ(stage.cmd->get_leading_keys_layout()->get_text(), "");
  EXPECT_EQ(stage.cmd->get_mode_layout()->get_font_description().to_string(), "Sans 16px");

  // Pending keys of a set the current mode includes, then none once they
  // complete; the same for the mode's own keys.
  test::press_keys(ctx, "d");
  EXPECT_EQ(stage.cmd->get_leading_keys_layout()->get_text(), "d");
  test::press_keys(ctx, "d");
  EXPECT_EQ(stage.cmd->get_leading_keys_layout()->get_text(), "");
  test::press_keys(ctx, "o");
  test::press_keys(ctx, "d");
  EXPECT_EQ(stage.cmd->get_mode_layout()->get_text(), "KIND OTHER MODE");
  EXPECT_EQ(stage.cmd->get_leading_keys_layout()->get_text(), "d");
  test::press_keys(ctx, "d");
  EXPECT_EQ(stage.cmd->get_leading_keys_layout()->get_text(), "");

  // The mode shown follows switches made while the line is open.
  stage.open();
  stage.cmd->get_mode_layout()->set_text("stale");
  ctx.change_to_cell_mode();
  EXPECT_EQ(stage.cmd->get_mode_layout()->get_text(), "KIND CELL MODE");
  stage.cmd->get_mode_layout()->set_text("stale");
  // Closing shows the current mode again.
  stage.keys("<Esc>");
  EXPECT_EQ(stage.cmd->get_mode_layout()->get_text(), "KIND CELL MODE");

  // The command text is laid out in a layout of the same kind.
  stage.open();
  stage.type("w");
  EXPECT_EQ(stage.cmd->get_pango_layout()->get_text(), "w");
  EXPECT_EQ(stage.cmd->get_pango_layout()->get_font_description().to_string(), "Sans 16px");
  EXPECT_TRUE(stage.cmd->get_is_editing());
}

TEST(CtrlCmdCtrl, IsFreedWithItsBarAndKeepsNoContextAlive)
{
  VELKARO_REQUIRE_GTK();
  std::weak_ptr<CtrlCmdCtrl> cmd;
  std::weak_ptr<CtrlContext> ctx;
  {
    Stage stage;
    stage.open();
    stage.type("w");
    cmd = stage.cmd;
    ctx = stage.kit.ctx;
  }
  EXPECT_TRUE(cmd.expired());
  EXPECT_TRUE(ctx.expired());

  // Without a context there is no command line.
  Gtk::DrawingArea area;
  LogCapture log;
  EXPECT_EQ(CtrlCmdCtrl::create(area, nullptr), nullptr);
  EXPECT_EQ(log.criticals.size(), 1u);
}

} // namespace
} // namespace velkaro
