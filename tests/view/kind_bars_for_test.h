#pragma once
// A diagram kind's menu bar and tool bar for the tests of its bars: both in
// a window of their own on the context of the kind's editor kit, and the
// checks every kind's bars share, each fed with the kind's own rows: what
// the bars hold, in order, and in which states of the editor what they
// enable follows what can run; and the right-click popup brought up. Needs
// a display.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
#include <gtkmm/window.h>

#include "common/cell_pos.h"
#include "ctrl/context.h"
#include "view/editor_kit_for_test.h"
#include "view/main_menu.h"
#include "view/tool_bar.h"

namespace velkaro {
class ViewContextMenu;
class ViewMenuItem;
class ViewToolButton;
} // namespace velkaro

namespace velkaro::test {

using BarLines = std::vector<std::string>;

// Shows menu_bar above tool_bar in a window; takes them out of it again
// before the window goes.
struct BarsWindow {
  BarsWindow(std::unique_ptr<ViewMainMenu> menu_bar, std::unique_ptr<ViewToolBar> tool_bar);
  ~BarsWindow();
  BarsWindow(const BarsWindow&) = delete;
  BarsWindow& operator=(const BarsWindow&) = delete;

  // The menu of the menu bar titled title (a failure when there is none).
  Gtk::Menu& menu(const std::string& title);
  // The entry labelled label of that menu, or null.
  ViewMenuItem* entry(const std::string& title, const std::string& label);
  // The button of action, or null.
  ViewToolButton* button(const std::string& action);

  std::unique_ptr<ViewMainMenu> menu_bar;
  std::unique_ptr<ViewToolBar> tool_bar;
  Gtk::Window window;
  Gtk::Box box{Gtk::ORIENTATION_VERTICAL};
};

// The kit of a kind and its bars, built on its context.
template <class Kit, class MenuBar, class ToolBar>
struct KindBars {
  Kit kit;
  BarsWindow bars{std::make_unique<MenuBar>(kit.ctx), std::make_unique<ToolBar>(kit.ctx)};
};

// The lines (lines_of) of the menu titled title.
struct MenuLines {
  std::string title;
  BarLines lines;
};

// The groups every kind's bars share, as lines_of writes them: "_Edit"
// starts with the history and the clipboard and ends with the setting
// rows; the tool bar starts with the file, history, axis and clipboard
// groups (each group followed by "|"), has the line group further on and
// ends with the help button.
extern const BarLines EDIT_MENU_HEAD_LINES;
extern const BarLines EDIT_MENU_TAIL_LINES;
extern const BarLines TOOL_BAR_HEAD_LINES;
extern const BarLines TOOL_BAR_LINE_LINES;
extern const BarLines TOOL_BAR_HELP_LINES;
// The groups one after the other.
BarLines joined_lines(std::initializer_list<BarLines> groups);

// The menu bar's menus are titled titles, in order, and each of menus
// holds its lines.
void expect_menu_bar_holds(BarsWindow& bars, const BarLines& titles, const std::vector<MenuLines>& menus);
// The tool bar's buttons and separators are lines; each button's tooltip
// is its label, and its icon is in the bundle.
void expect_tool_bar_holds(BarsWindow& bars, const BarLines& lines);

// How many plain entries and buttons the bars have.
struct BarsCounts {
  int entries = 0;
  int buttons = 0;
};
// Every button is enabled exactly when its action is one of names or is
// "manual"; the number of buttons.
int expect_buttons_follow(BarsWindow& bars, const CtrlIActionHandler::NameSet& names);
// The same of every plain entry and every button; "_Help"'s "_Manual" is
// enabled and its "_Version info." is not.
BarsCounts expect_bars_follow(BarsWindow& bars, const CtrlIActionHandler::NameSet& names);

// A state of the editor: from the cell mode at cell at (or, without at,
// from the state before), keys lead to mode.
struct BarsState {
  const char* name;
  std::optional<CellPos> at;
  const char* keys;
  const char* mode;
};
// What a kind checks of its own in a state, with the names that can run
// there and what expect_bars_follow() counted.
using BarsStateCheck =
  std::function<void(const BarsState& state, const CtrlIActionHandler::NameSet& names, const BarsCounts& counts)>;
// Each state in turn: reached through kit, the refresh of what can run
// waited for, the bars follow what can run; then also checks.
void expect_bars_follow_states(EditorKit& kit, BarsWindow& bars, std::span<const BarsState> states,
                               const BarsStateCheck& also);

// A right press at (x, y) of window through GTK's dispatch (so that it is
// the current event popup pops up for); popup's menu then, or null. The
// tests share one X server: while another one's popup holds the pointer
// grab, a popup cannot show, so the press is made again until it does (for
// a while).
Gtk::Menu* right_press_popup(ViewContextMenu& popup, GdkWindow* window, double x, double y);

} // namespace velkaro::test
