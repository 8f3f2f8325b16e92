// The class editor's menu bar and tool bar on a ClsContext: their menus,
// entries and buttons in order with their labels, mnemonics and tooltips,
// the popup built from the same two menus, every button's icon in the
// bundle, and in each mode every entry and button enabled exactly when its
// action can run there ("manual" always, "version" never).

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/cls_ctrl_kit_for_test.h"
#include "ctrl/gdk_events_for_test.h"
#include "cls/main_menu.h"
#include "cls/tool_bar.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/icon_bundle.h"
#include "view/kind_bars_for_test.h"
#include "view/tool_button.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;
using Names = CtrlIActionHandler::NameSet;

using ClsBarsKit = KindBars<ClsKit, ClsMainMenu, ClsToolBar>;

TEST(ClsBars, TheMenuBarHoldsFileEditConnectorViewAndHelpWithTheirRowsInOrder)
{
  VELKARO_REQUIRE_GTK();
  ClsBarsKit b;
  expect_menu_bar_holds(b.bars, {"_File", "_Edit", "_Connector", "_View", "_Help"},
                        {
                          {"_Edit", joined_lines({EDIT_MENU_HEAD_LINES,
                                                  {
                                                    "_Insert class element -> insert-class",
                                                    "Insert _block in class -> insert-block",
                                                    "Delete black i_n class -> delete-block",
                                                    "---",
                                                    "Insert r_ow -> insert-row",
                                                    "Insert co_lumn -> insert-col",
                                                    "_Delete row -> delete-row",
                                                    "D_elete column -> delete-col",
                                                  },
                                                  EDIT_MENU_TAIL_LINES})},
                          // Four kinds: generalizations are drawn from the key or the tool bar.
                          {"_Connector",
                           {"_Dependency -> connect-dependency", "_Association -> connect-association",
                            "A_ggregation -> connect-aggregation", "_Composition -> connect-composition"}},
                          {"_Help", {"_Manual -> manual", "_Version info. -> version"}},
                        });
  // Labels carry their mnemonics.
  EXPECT_TRUE(find_item(*b.bars.menu_bar, "_Connector")->get_use_underline());
  EXPECT_TRUE(b.bars.entry("_Connector", "A_ggregation")->get_use_underline());
  EXPECT_TRUE(b.bars.entry("_Edit", "Delete black i_n class")->get_use_underline());
  // The popup offers the same two menus.
  const auto popup = b.bars.menu_bar->make_context_menu();
  ASSERT_EQ(popup.size(), 2u);
  EXPECT_EQ(lines_of(popup[0]->get_menu()), lines_of(b.bars.menu("_Edit")));
  EXPECT_EQ(lines_of(popup[1]->get_menu()), lines_of(b.bars.menu("_Connector")));
}

TEST(ClsBars, TheToolBarHoldsTheTwentyThreeButtonsInEightGroupsEachWithItsIcon)
{
  VELKARO_REQUIRE_GTK();
  ClsBarsKit b;
  expect_tool_bar_holds(b.bars, joined_lines({TOOL_BAR_HEAD_LINES,
                                              {
                                                "Insert class element -> insert-class",
                                                "Insert block in class -> insert-block",
                                                "Delete block in class -> delete-block",
                                                "|",
                                              },
                                              TOOL_BAR_LINE_LINES,
                                              {
                                                "Connect as association -> connect-association",
                                                "Connect as dependency -> connect-dependency",
                                                "Connect as generalization -> connect-generalization",
                                                "Connect as aggregation -> connect-aggregation",
                                                "Connect as composition -> connect-composition",
                                                "|",
                                              },
                                              TOOL_BAR_HELP_LINES}));
  EXPECT_EQ(ClsToolBar::rows().size(), 23u);
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

  // From the cell mode on the class at (1, 1): each mode in turn, back to
  // the cell mode with <Esc> between them.
  const BarsState states[] = {
    {"CELL MODE", std::nullopt, "", "CELL MODE"},
    {"SELECT CELL MODE", std::nullopt, "v", "SELECT CELL MODE"},
    {"CONNECT MODE", std::nullopt, "<Esc>D", "CONNECT MODE"},
    {"SELECT CONNECTOR MODE", std::nullopt, "<Esc>r", "SELECT CONNECTOR MODE"},
    {"NORMAL MODE (CLASS)", std::nullopt, "<Esc><CR>", "NORMAL MODE (CLASS)"},
  };
  expect_bars_follow_states(k, b.bars, states, [&b](const BarsState& s, const Names&, const BarsCounts& counts) {
    EXPECT_EQ(counts.entries, 5 + 14 + 4 + 4 + 2);
    EXPECT_EQ(counts.buttons, 23);
    if (std::string(s.mode) == "CELL MODE") {
      // A class under the cursor: connectors can start there; its
      // compartments are edited from a text mode only.
      EXPECT_TRUE(b.bars.entry("_Connector", "_Dependency")->get_sensitive());
      EXPECT_TRUE(b.bars.button("connect-generalization")->get_sensitive());
      EXPECT_FALSE(b.bars.entry("_Edit", "Delete black i_n class")->get_sensitive());
      EXPECT_FALSE(b.bars.button("delete-block")->get_sensitive());
      EXPECT_FALSE(b.bars.entry("_Edit", "Insert _block in class")->get_sensitive());
    }
  });
}

} // namespace
} // namespace velkaro::test
