#pragma once
// A small diagram kind for the controller tests, and test doubles of the
// view interfaces.
//
// Document: KindWorkspace holds text elements (which range cuts take) and
// marks (KindMark, which they do not).
//
// Controller: KindContext registers the modes its maker gives, by default
// KindCellMode (the default mode) and KindOtherMode (which derives from the
// abstract KindAOtherMode). Both include a KindBaseMode of their own, as the
// modes of a real kind include the shared key sets. Tests of other modes
// pass their own maker (KindContext::MakeModes); their modes may derive from
// KindMode to get its log, or from any CtrlMode.
//
// Log: the context, its modes and the view doubles write what happens into
// one shared log, each line "<who>:<what>": a mode under its name
// ("KIND CELL MODE:on_enter"), the doubles as "canvas:", "main_view:",
// "cmd:", "menu:", "window:", and, once KindKit::watch() was called, the
// context's signals as "update-mode:<name>", "notify:<property>",
// "leading-keys:<keys>", "config-changed:<key>=<value>" and
// "actionable:<names joined by spaces>".
//
// KindKit builds a workspace, its context and every double, and attaches
// the doubles as the main window does; press_keys() sends key presses, given as
// a key pattern text, through the same key-handler entry the key binder
// calls.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ctrl/abstract_ctrl.h"
#include "ctrl/context.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/icommand_bar.h"
#include "ctrl/ports/icontext_menu.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/ports/imain_window.h"
#include "ctrl/modes/mode.h"
#include "model/document_for_test.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"

namespace Gtk {
class Widget;
}

namespace velkaro::test {

using Log = std::vector<std::string>;

// ---------------------------------------------------------------------------
// Document

// An element that is not a text, so no range cut takes it. Writes its name.
class KindMark : public ModelElement {
public:
  static std::shared_ptr<KindMark> create(std::string name);
  KindMark() { tag = "mark"; }

  const char* get_type_name() const override { return "KindMark"; }
  ElementPtr new_instance() const override { return std::make_shared<KindMark>(); }
  void write_in_top() override;
  void read_in_top() override;

  std::string name;
};

class KindCells : public ModelElementCells {
public:
  static std::shared_ptr<KindCells> create() { return std::make_shared<KindCells>(); }
  ElementPtr bear(const std::string& name) override;
};

class KindWorkspace : public ModelWorkspace {
public:
  explicit KindWorkspace(Key key) : ModelWorkspace(key) {}
  void init() override;
};

// A new text element holding text.
std::shared_ptr<ModelElement> make_text(const std::string& text, int32_t dh = 0);
// Stores elm at (x, y) of ws; false when the workspace refused.
bool place(ModelWorkspace& ws, const std::shared_ptr<ModelElement>& elm, int32_t x, int32_t y);
// What is stored at (x, y), from the chain's head: a text as "T:<text>", a
// mark as "M:<name>".
std::vector<std::string> names_at(ModelWorkspace& ws, int32_t x, int32_t y);

// ---------------------------------------------------------------------------
// View doubles

class TestCanvas : public CtrlICanvas {
public:
  explicit TestCanvas(std::shared_ptr<Log> log) : log(std::move(log)) {}

  Gtk::Widget* get_widget() override { return widget; }
  void grab_focus() override { note("grab_focus"); }
  double get_zoom() const override { return zoom; }
  void set_zoom(double z) override;
  void zoom_by_keys(int direction, const Point& centre) override;
  void zoom_fit() override { note("zoom_fit"); }
  double get_page_x() const override { return page_x; }
  double get_page_y() const override { return page_y; }
  double get_page_width() const override { return page_width; }
  double get_page_height() const override { return page_height; }
  void set_offset(CellDir axis, double offset) override;
  void scroll(CellDir dir, int n) override;
  void scroll_page(CellDir dir, int divisor) override;
  void pull_cursor(CellDir dir) override;
  void show_cell_pos() override { note("show_cell_pos"); }
  void update() override { note("update"); }
  void release_scrolled_window() override { note("release_scrolled_window"); }

  std::shared_ptr<Log> log;
  // A real widget for the binders, or null.
  Gtk::Widget* widget = nullptr;
  double zoom = 1.0;
  double page_x = 0, page_y = 0, page_width = 400, page_height = 300;

private:
  void note(const std::string& what) const { log->push_back("canvas:" + what); }
};

class TestMainView : public CtrlIMainView {
public:
  explicit TestMainView(std::shared_ptr<Log> log) : log(std::move(log)) {}

  bool get_is_cv_active() const override { return cv_active; }
  void show_key_setting() override { log->push_back("main_view:show_key_setting"); }
  void grab_focus() override { log->push_back("main_view:grab_focus"); }
  int get_long_press_time() const override { return long_press_time; }

  std::shared_ptr<Log> log;
  bool cv_active = true;
  int long_press_time = 500;
};

// The command-line controller as the context sees it.
class TestCmdCtrl : public CtrlAbstractCtrl {
public:
  explicit TestCmdCtrl(std::shared_ptr<Log> log) : log(std::move(log)) {}
  void active(bool b) override;

  std::shared_ptr<Log> log;
};

class TestCommandBar : public CtrlICommandBar {
public:
  explicit TestCommandBar(std::shared_ptr<Log> log) : cmd(std::make_shared<TestCmdCtrl>(std::move(log))) {}
  std::shared_ptr<CtrlAbstractCtrl> get_cmd_ctrl() override { return cmd; }

  std::shared_ptr<TestCmdCtrl> cmd;
};

class TestContextMenu : public CtrlIContextMenu {
public:
  explicit TestContextMenu(std::shared_ptr<Log> log) : log(std::move(log)) {}
  // Logs "menu:show <the current mode's name>".
  void show_menu(CtrlContext& ctx) override;

  std::shared_ptr<Log> log;
};

class TestMainWindow : public CtrlIMainWindow {
public:
  explicit TestMainWindow(std::shared_ptr<Log> log) : log(std::move(log)) {}

  bool raise_delete_request() override;
  void destroy() override { log->push_back("window:destroy"); }
  bool activate_action(const std::string& name, const std::optional<std::string>& parameter) override;
  void show_alert(const std::string& message) override { alerts.push_back(message); }
  // Logs "window:document_replaced".
  void document_replaced() override;

  std::shared_ptr<Log> log;
  // What raise_delete_request() answers: the user cancelled the close.
  bool stop_delete = false;
  // The window actions activate_action() knows.
  std::vector<std::string> actions{"export-png"};
  std::vector<std::string> alerts;
  // How often document_replaced() was called.
  int replaced = 0;
};

// ---------------------------------------------------------------------------
// Controller

class KindContext : public CtrlContext {
public:
  using MakeModes = std::function<std::vector<ModePtr>(KindContext&)>;

  // Registers the modes make_modes gives (null: KindCellMode, KindOtherMode).
  KindContext(Key key, std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<Log> log, const MakeModes& make_modes,
              const std::string& exename);
  std::string get_name() const override { return "KindContext"; }

  std::shared_ptr<Log> log;
};

// A mode that logs its on_enter and on_exit (with the next mode's name) and
// its pointer events, and can be made not enterable.
class KindMode : public CtrlMode {
public:
  KindMode(CtrlContext& ctrl, std::string name) : CtrlMode(ctrl), m_name(std::move(name)) {}

  std::string get_name() const override { return m_name; }
  bool get_is_enterable() const override { return enterable; }
  void on_enter() override { note("on_enter"); }
  void on_exit() override;
  bool on_press_left_button(const Point& pt) override;
  bool on_release_left_button(const Point& pt) override;
  bool on_double_press_left_button(const Point& pt) override;

  // Writes "<name>:<what>" into the context's log.
  void note(const std::string& what) const;

  bool enterable = true;

private:
  std::string m_name;
};

// The shared key set: "manual" ("<F1>") runs the context's "manual";
// "undo" ("u"); "cancel" ("<Esc>") goes back to the default mode; the four
// cursor moves ("h", "j", "k", "l"); logged actions "base-b" ("b"),
// "shared" ("s") and "delete-line" ("dd").
class KindBaseMode : public KindMode {
public:
  explicit KindBaseMode(CtrlContext& ctrl);
};

// "KIND CELL MODE", the default mode. Includes a KindBaseMode and replaces
// its "shared" with a logged action of its own. Own keys: "own-x" ("x",
// logged); "insert-text" ("i", undoable: a text "new" at the cursor cell,
// refused on an occupied cell); "copy" ("y"), "cut" ("c", undoable),
// "paste" ("p", undoable); "to-other" ("o") switches to the other mode.
// Sets the context's in_cell_mode while current.
class KindCellMode : public KindMode {
public:
  explicit KindCellMode(CtrlContext& ctrl);
  void on_enter() override;
  void on_exit() override;
};

// The class other modes are looked up by.
class KindAOtherMode : public KindMode {
public:
  using KindMode::KindMode;
};

// "KIND OTHER MODE". Includes a KindBaseMode and binds "dd" itself
// ("cut-range", logged), as a select-cell mode does.
class KindOtherMode : public KindAOtherMode {
public:
  explicit KindOtherMode(CtrlContext& ctrl);
};

// ---------------------------------------------------------------------------
// Kit

// The view doubles a kit gives its context, all writing into one log.
struct TestDoubles {
  TestDoubles();
  // Attaches the doubles to ctx as the main window does (no canvas).
  void attach_to(CtrlContext& ctx) const;

  std::shared_ptr<Log> log = std::make_shared<Log>();
  std::shared_ptr<TestMainView> main_view;
  std::shared_ptr<TestCommandBar> command_bar;
  std::shared_ptr<TestContextMenu> context_menu;
  std::shared_ptr<TestMainWindow> main_window;
};

struct KindKit : TestDoubles {
  // A context over a new KindWorkspace with the modes of make_modes and all
  // the view doubles attached (no canvas widget).
  explicit KindKit(const KindContext::MakeModes& make_modes = {}, const std::string& exename = "seq");

  // Logs the context's signals into the log from now on.
  void watch();
  // The log so far, emptied.
  Log take_log();

  std::shared_ptr<KindWorkspace> ws;
  std::shared_ptr<KindContext> ctx;
  std::shared_ptr<TestCanvas> canvas;
};

// Presses the keys of the key pattern text one after the other on handler
// (as the key binder does) and returns the last press's result.
bool press_keys(CtrlIKeyHandler& handler, std::string_view keys);
// The same on the context's current mode.
bool press_keys(CtrlContext& ctx, std::string_view keys);

} // namespace velkaro::test
