#include "view/kind_bars_for_test.h"

#include <gtest/gtest.h>

#include "ctrl/gdk_events_for_test.h"
#include "view/bars_for_test.h"
#include "view/context_menu.h"
#include "view/icon_bundle.h"
#include "view/menu_item.h"
#include "view/tool_button.h"

namespace velkaro::test {

const BarLines EDIT_MENU_HEAD_LINES = {
  "_Undo -> undo", "_Redo -> redo", "---", "_Copy -> copy", "Cu_t -> cut", "_Paste -> paste", "---",
};
const BarLines EDIT_MENU_TAIL_LINES = {"---", "Toggle HV Mode -> toggle-hv", "---", "_Key setting -> key-setting"};
const BarLines TOOL_BAR_HEAD_LINES = {
  "New -> new-file", "Open -> open-file", "Save -> save-file", "Export PNG image -> export-png-n", "|",
  "Undo -> undo",    "Redo -> redo",      "|",                 "Toggle HV Modes -> toggle-hv",     "|",
  "Copy -> copy",    "Cut -> cut",        "Paste -> paste",    "|",
};
const BarLines TOOL_BAR_LINE_LINES = {
  "Insert row -> insert-row", "Insert column -> insert-col", "Delete row -> delete-row",
  "Delete column -> delete-col", "|",
};
const BarLines TOOL_BAR_HELP_LINES = {"Help -> manual"};

BarLines joined_lines(std::initializer_list<BarLines> groups)
{
  BarLines lines;
  for (const BarLines& group : groups)
    lines.insert(lines.end(), group.begin(), group.end());
  return lines;
}

BarsWindow::BarsWindow(std::unique_ptr<ViewMainMenu> menu_bar, std::unique_ptr<ViewToolBar> tool_bar)
  : menu_bar(std::move(menu_bar)), tool_bar(std::move(tool_bar))
{
  box.pack_start(*this->menu_bar, false, false);
  box.pack_start(*this->tool_bar, false, false);
  window.add(box);
  window.show_all();
  settle();
}

BarsWindow::~BarsWindow()
{
  box.remove(*menu_bar);
  box.remove(*tool_bar);
}

Gtk::Menu& BarsWindow::menu(const std::string& title)
{
  auto* top = find_item(*menu_bar, title);
  EXPECT_TRUE(top) << title;
  return *top->get_submenu();
}

ViewMenuItem* BarsWindow::entry(const std::string& title, const std::string& label)
{
  return find_item<ViewMenuItem>(menu(title), label);
}

ViewToolButton* BarsWindow::button(const std::string& action)
{
  ViewToolButton* found = nullptr;
  tool_bar->foreach_tool_btn([&](ViewToolButton& b) {
    if (b.action_name == action)
      found = &b;
  });
  return found;
}

void expect_menu_bar_holds(BarsWindow& bars, const BarLines& titles, const std::vector<MenuLines>& menus)
{
  BarLines shown;
  for (Gtk::MenuItem* item : items_of(*bars.menu_bar))
    shown.push_back(item->get_label());
  EXPECT_EQ(shown, titles);
  for (const MenuLines& menu : menus) {
    SCOPED_TRACE(menu.title);
    auto* top = find_item(*bars.menu_bar, menu.title);
    ASSERT_TRUE(top && top->get_submenu());
    EXPECT_EQ(lines_of(*top->get_submenu()), menu.lines);
  }
}

void expect_tool_bar_holds(BarsWindow& bars, const BarLines& lines)
{
  EXPECT_EQ(lines_of(*bars.tool_bar), lines);
  bars.tool_bar->foreach_tool_btn([](ViewToolButton& button) {
    // The display name is the tooltip too.
    ASSERT_TRUE(button.get_child());
    EXPECT_EQ(button.get_child()->get_tooltip_text(), button.get_label());
    // Its icon is drawn into the bundle at build time.
    std::string error;
    const auto icon = view_icon_load(button.action_name + ".png", 16, 16, &error);
    EXPECT_TRUE(icon) << button.action_name << ": " << error;
  });
}

int expect_buttons_follow(BarsWindow& bars, const CtrlIActionHandler::NameSet& names)
{
  int buttons = 0;
  bars.tool_bar->foreach_tool_btn([&](ViewToolButton& button) {
    ++buttons;
    EXPECT_EQ(button.get_sensitive(), names.contains(button.action_name) || button.action_name == "manual")
      << button.action_name;
  });
  return buttons;
}

BarsCounts expect_bars_follow(BarsWindow& bars, const CtrlIActionHandler::NameSet& names)
{
  BarsCounts counts;
  bars.menu_bar->foreach_menu_item([&](ViewMenuItem& item) {
    ++counts.entries;
    EXPECT_EQ(item.get_sensitive(), names.contains(item.action_name) || item.action_name == "manual")
      << item.get_label();
  });
  counts.buttons = expect_buttons_follow(bars, names);
  EXPECT_FALSE(bars.entry("_Help", "_Version info.")->get_sensitive());
  EXPECT_TRUE(bars.entry("_Help", "_Manual")->get_sensitive());
  EXPECT_TRUE(bars.button("manual")->get_sensitive());
  return counts;
}

void expect_bars_follow_states(EditorKit& kit, BarsWindow& bars, std::span<const BarsState> states,
                               const BarsStateCheck& also)
{
  for (const BarsState& s : states) {
    SCOPED_TRACE(s.name);
    if (s.at) {
      kit.context().change_to_cell_mode();
      kit.go(s.at->x, s.at->y);
    }
    kit.keys(s.keys);
    ASSERT_EQ(kit.mode_name(), s.mode);
    wait_for_actionable_refresh();
    const CtrlIActionHandler::NameSet names = kit.context().enum_actionable_name();
    const BarsCounts counts = expect_bars_follow(bars, names);
    if (also)
      also(s, names, counts);
  }
}

Gtk::Menu* right_press_popup(ViewContextMenu& popup, GdkWindow* window, double x, double y)
{
  for (int attempt = 0; attempt < 100; ++attempt) {
    gtk_main_do_event(button_event(GDK_BUTTON_PRESS, window, GDK_BUTTON_SECONDARY, x, y).get());
    Gtk::Menu* menu = popup.get_popup();
    if (!menu || menu->get_visible())
      break;
    menu->popdown();
    settle();
    g_usleep(20000);
  }
  return popup.get_popup();
}

} // namespace velkaro::test
