// The class editor's menu bar and tool bar on a ClsContext: their menus,
// entries and buttons in order with their labels, mnemonics and tooltips,
// the popup built from the same two menus, every button's icon in the
// bundle, and in each mode every entry and button enabled exactly when its
// action can run there ("manual" always, "version" never).

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/window.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "ctrl/gdk_events_for_test.h"
#include "cls/main_menu.h"
#include "cls/tool_bar.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/icon_bundle.h"
#include "view/tool_button.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;
using Names = CtrlIActionHandler::NameSet;

struct ClsBarsKit {
  ClsBarsKit()
  {
    menu_bar = std::make_unique<ClsMainMenu>(kit.ctx);
    tool_bar = std::make_unique<ClsToolBar>(kit.ctx);
    box.pack_start(*menu_bar, false, false);
    box.pack_start(*tool_bar, false, false);
    window.add(box);
    window.show_all();
    settle();
  }
  ~ClsBarsKit()
  {
    box.remove(*menu_bar);
    box.remove(*tool_bar);
  }

  Gtk::Menu& menu(const std::string& title)
  {
    auto* top = find_item(*menu_bar, title);
    EXPECT_TRUE(top) << title;
    return *top->get_submenu();
  }
  ViewMenuItem* entry(const std::string& title, const std::string& label)
  {
    return find_item<ViewMenuItem>(menu(title), label);
  }
  ViewToolButton* button(const std::string& action)
  {
    ViewToolButton* found = nullptr;
    tool_bar->foreach_tool_btn([&](ViewToolButton& b) {
      if (b.action_name == action)
        found = &b;
    });
    return found;
  }

  ClsKit kit;
  std::unique_ptr<ClsMainMenu> menu_bar;
  std::unique_ptr<ClsToolBar> tool_bar;
  Gtk::Window window;
  Gtk::Box box{Gtk::ORIENTATION_VERTICAL};
};

TEST(ClsBars, TheMenuBarHoldsFileEditConnectorViewAndHelpWithTheirRowsInOrder)
{
  VELKARO_REQUIRE_GTK();
  ClsBarsKit b;
  Lines titles;
  for (Gtk::MenuItem* item : items_of(*b.menu_bar))
    titles.push_back(item->get_label());
  EXPECT_EQ(titles, (Lines{"_File", "_Edit", "_Connector", "_View", "_Help"}));
  EXPECT_EQ(lines_of(b.menu("_Edit")), (Lines{
                                          "_Undo -> undo",
                                          "_Redo -> redo",
                                          "---",
                                          "_Copy -> copy",
                                          "Cu_t -> cut",
                                          "_Paste -> paste",
                                          "---",
                                          "_Insert class element -> insert-class",
                                          "Insert _block in class -> insert-block",
                                          "Delete black i_n class -> delete-block",
                                          "---",
                                          "Insert r_ow -> insert-row",
                                          "Insert co_lumn -> insert-col",
                                          "_Delete row -> delete-row",
                                          "D_elete column -> delete-col",
                                          "---",
                                          "Toggle HV Mode -> toggle-hv",
                                          "---",
                                          "_Key setting -> key-setting",
                                        }));
  // Four kinds: generalizations are drawn from the key or the tool bar.
  EXPECT_EQ(lines_of(b.menu("_Connector")),
            (Lines{"_Dependency -> connect-dependency", "_Association -> connect-association",
                   "A_ggregation -> connect-aggregation", "_Composition -> connect-composition"}));
  EXPECT_EQ(lines_of(b.menu("_Help")), (Lines{"_Manual -> manual", "_Version info. -> version"}));
  // Labels carry their mnemonics.
  EXPECT_TRUE(find_item(*b.menu_bar, "_Connector")->get_use_underline());
  EXPECT_TRUE(b.entry("_Connector", "A_ggregation")->get_use_underline());
  EXPECT_TRUE(b.entry("_Edit", "Delete black i_n class")->get_use_underline());
  // The popup offers the same two menus.
  const auto popup = b.menu_bar->make_context_menu();
  ASSERT_EQ(popup.size(), 2u);
  EXPECT_EQ(lines_of(popup[0]->get_menu()), lines_of(b.menu("_Edit")));
  EXPECT_EQ(lines_of(popup[1]->get_menu()), lines_of(b.menu("_Connector")));
}

TEST(ClsBars, TheToolBarHoldsTheTwentyThreeButtonsInEightGroupsEachWithItsIcon)
{
  VELKARO_REQUIRE_GTK();
  ClsBarsKit b;
  EXPECT_EQ(lines_of(*b.tool_bar), (Lines{
                                         "New -> new-file",
                                         "Open -> open-file",
                                         "Save -> save-file",
                                         "Export PNG image -> export-png-n",
                                         "|",
                                         "Undo -> undo",
                                         "Redo -> redo",
                                         "|",
                                         "Toggle HV Modes -> toggle-hv",
                                         "|",
                                         "Copy -> copy",
                                         "Cut -> cut",
                                         "Paste -> paste",
                                         "|",
                                         "Insert class element -> insert-class",
                                         "Insert block in class -> insert-block",
                                         "Delete block in class -> delete-block",
                                         "|",
                                         "Insert row -> insert-row",
                                         "Insert column -> insert-col",
                                         "Delete row -> delete-row",
                                         "Delete column -> delete-col",
                                         "|",
                                         "Connect as association -> connect-association",
                                         "Connect as dependency -> connect-dependency",
                                         "Connect as generalization -> connect-generalization",
                                         "Connect as aggregation -> connect-aggregation",
                                         "Connect as composition -> connect-composition",
                                         "|",
                                         "Help -> manual",
                                       }));
  b.tool_bar->foreach_tool_btn([](ViewToolButton& button) {
    // The display name is the tooltip too.
    ASSERT_TRUE(button.get_child());
    EXPECT_EQ(button.get_child()->get_tooltip_text(), button.get_label());
    // Its icon is drawn into the bundle at build time.
    std::string error;
    const auto icon = view_icon_load(button.action_name + ".png", 16, 16, &error);
    EXPECT_TRUE(icon) << button.action_name << ": " << error;
  });
  EXPECT_EQ(ClsToolBar::rows().size(), 23u);
}

// Every plain entry and every button: enabled exactly when its action is
// actionable now, or is "manual".
void expect_bars_follow(ClsBarsKit& b, const Names& names)
{
  int entries = 0;
  b.menu_bar->foreach_menu_item([&](ViewMenuItem& item) {
    ++entries;
    EXPECT_EQ(item.get_sensitive(), names.contains(item.action_name) || item.action_name == "manual")
      << item.get_label();
  });
  EXPECT_EQ(entries, 5 + 14 + 4 + 4 + 2);
  int buttons = 0;
  b.tool_bar->foreach_tool_btn([&](ViewToolButton& button) {
    ++buttons;
    EXPECT_EQ(button.get_sensitive(), names.contains(button.action_name) || button.action_name == "manual")
      << button.action_name;
  });
  EXPECT_EQ(buttons, 23);
  EXPECT_FALSE(b.entry("_Help", "_Version info.")->get_sensitive());
  EXPECT_TRUE(b.entry("_Help", "_Manual")->get_sensitive());
  EXPECT_TRUE(b.button("manual")->get_sensitive());
}

TEST(ClsBars, EntriesAndButtonsFollowWhatEachModeCanRun)
{
  VELKARO_REQUIRE_GTK();
  ClsBarsKit b;
  ClsKit& k = b.kit;
  // A class at (1, 1) and one at (5, 1) joined by an association.
  k.go(1, 1);
  k.keys("c");
  k.go(5, 1);
  k.keys("c");
  k.go(1, 1);
  k.keys("Rllll<CR>");
  ASSERT_EQ(k.ws->get_connectors()->size(), 1u);
  k.go(1, 1);

  struct Step {
    const char* keys;
    const char* mode;
  };
  // From the cell mode on the class at (1, 1): each mode in turn, back to
  // the cell mode with <Esc> between them.
  const Step steps[] = {
    {"", "CELL MODE"},
    {"v", "SELECT CELL MODE"},
    {"<Esc>D", "CONNECT MODE"},
    {"<Esc>r", "SELECT CONNECTOR MODE"},
    {"<Esc><CR>", "NORMAL MODE (CLASS)"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.mode);
    k.keys(s.keys);
    ASSERT_EQ(k.mode_name(), s.mode);
    wait_for_actionable_refresh();
    const Names names = k.ctx->enum_actionable_name();
    expect_bars_follow(b, names);
    if (std::string(s.mode) == "CELL MODE") {
      // A class under the cursor: connectors can start there; its
      // compartments are edited from a text mode only.
      EXPECT_TRUE(b.entry("_Connector", "_Dependency")->get_sensitive());
      EXPECT_TRUE(b.button("connect-generalization")->get_sensitive());
      EXPECT_FALSE(b.entry("_Edit", "Delete black i_n class")->get_sensitive());
      EXPECT_FALSE(b.button("delete-block")->get_sensitive());
      EXPECT_FALSE(b.entry("_Edit", "Insert _block in class")->get_sensitive());
    }
  }
}

} // namespace
} // namespace velkaro::test
