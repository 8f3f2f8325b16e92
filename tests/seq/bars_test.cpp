// The sequence editor's menu bar and tool bar in a window on a SeqContext:
// their entries and buttons in order, enabled by what can run in each mode
// after the refresh delay ("manual" always), the View menu's check entry
// writing its setting once, the right-click popup built from the "_Edit"
// menu, and the icons the buttons name.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "ctrl/gdk_events_for_test.h"
#include "seq/main_menu.h"
#include "seq/seq_modes_for_test.h"
#include "seq/tool_bar.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/check_menu_item.h"
#include "view/context_menu.h"
#include "view/icon_bundle.h"
#include "view/kind_bars_for_test.h"
#include "view/tool_button.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;
using Names = CtrlIActionHandler::NameSet;

// The sequence controller with the menu bar and the tool bar in a window of
// their own, and the popup wired as the main window wires it.
struct BarsKit : KindBars<SeqKit, SeqMainMenu, SeqToolBar> {
  BarsKit()
  {
    popup = std::make_shared<ViewContextMenu>(*bars.menu_bar);
    kit.ctx->set_context_menu(popup);
  }
  ~BarsKit()
  {
    if (Gtk::Menu* menu = popup->get_popup())
      menu->popdown();
  }

  // A right press on the cell (right_press_popup()).
  Gtk::Menu* right_press(const CellPos& cell)
  {
    const auto pt = kit.centre(cell);
    return right_press_popup(*popup, kit.canvas->get_window()->gobj(), pt.get_x(), pt.get_y());
  }

  std::shared_ptr<ViewContextMenu> popup;
};

TEST(SeqBars, TheEditMenuSitsBetweenFileAndViewWithItsRowsInOrder)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  expect_menu_bar_holds(b.bars, {"_File", "_Edit", "_View", "_Help"},
                        {{"_Edit", joined_lines({EDIT_MENU_HEAD_LINES,
                                                 {
                                                   "_Insert LifeLine -> insert-life-line",
                                                   "Insert _Message -> insert-message",
                                                   "Insert Combined _Fragment -> insert-fragment",
                                                   "Append _Text -> append-text",
                                                   "---",
                                                   "_Edit -> change",
                                                   "---",
                                                   "Insert r_ow -> insert-row",
                                                   "Insert co_lumn -> insert-col",
                                                   "_Delete row -> delete-row",
                                                   "Delete co_lumn -> delete-col",
                                                 },
                                                 EDIT_MENU_TAIL_LINES})}});
  // The popup offers the same menu.
  const auto context_menus = b.bars.menu_bar->make_context_menu();
  ASSERT_EQ(context_menus.size(), 1u);
  EXPECT_EQ(lines_of(context_menus[0]->get_menu()), lines_of(b.bars.menu("_Edit")));

  // Its entry "_Edit" changes what the cursor is on: on a text, the normal
  // text mode.
  put(*b.kit.ws, SeqTextElement::create(), 2, 2);
  b.kit.go(2, 2);
  wait_for_actionable_refresh();
  find_item(b.bars.menu("_Edit"), "_Edit")->activate();
  EXPECT_EQ(b.kit.mode_name(), "NORMAL MODE (TEXT)");
}

TEST(SeqBars, TheToolBarHoldsTheSixteenButtonsWithTheirSeparators)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  expect_tool_bar_holds(b.bars, joined_lines({TOOL_BAR_HEAD_LINES, {"Insert element -> insert-element", "|"},
                                              TOOL_BAR_LINE_LINES, TOOL_BAR_HELP_LINES}));
  // Right after construction the buttons follow what can run now.
  EXPECT_EQ(expect_buttons_follow(b.bars, b.kit.ctx->enum_actionable_name()), 16);
}

TEST(SeqBars, EveryIconABarButtonNamesIsInTheBundleAndTintedWithTheThemeColour)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  const auto tint = ViewToolButton::tint_of(Gdk::RGBA("#9ade00"));
  EXPECT_EQ(tint, (ViewToolButton::Rgb{139, 201, 0}));
  int buttons = 0;
  b.bars.tool_bar->foreach_tool_btn([&](ViewToolButton& button) {
    ++buttons;
    SCOPED_TRACE(button.action_name);
    std::string error;
    const auto resource = view_icon_load(button.action_name + ".png", 16, 16, &error);
    ASSERT_TRUE(resource) << error;
    EXPECT_EQ(resource->get_n_channels(), 4);
    const auto icon = button.get_icon();
    ASSERT_TRUE(icon);
    const auto shown = pixels_of(icon);
    const auto loaded = pixels_of(resource);
    ASSERT_EQ(shown.size(), loaded.size());
    const ViewToolButton::Rgb rgb = button.get_sensitive() ? tint : ViewToolButton::DISABLED_RGB;
    for (std::size_t i = 0; i < shown.size(); ++i)
      ASSERT_EQ(shown[i], (Rgba{rgb[0], rgb[1], rgb[2], loaded[i].a})) << "pixel " << i;
  });
  EXPECT_EQ(buttons, 16);
}

TEST(SeqBars, EntriesAndButtonsFollowWhatCanRunAfterTheRefreshDelay)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  life_line(*b.kit.ws, 1, 1, 5);
  put(*b.kit.ws, SeqTextElement::create(), 4, 4);

  // Each state: the keys that lead there from the cell mode at a cell.
  const BarsState states[] = {
    {"an empty cell", CellPos{6, 6}, "", "CELL MODE"},
    {"a life-line cell", CellPos{1, 3}, "", "CELL MODE"},
    {"a text, after a yank", CellPos{4, 4}, "y", "CELL MODE"},
    {"a selection", CellPos{3, 3}, "vlj", "SELECT CELL MODE"},
    {"a new execution box", CellPos{1, 3}, "i", "RANGE MODE"},
    {"a life line with one step to undo", CellPos{1, 3}, "i<Enter>", "CELL MODE"},
  };
  expect_bars_follow_states(b.kit, b.bars, states, [&b](const BarsState& s, const Names&, const BarsCounts& counts) {
    EXPECT_GT(counts.entries, 20);
    // The menus' own rows reach the modes' own actions.
    if (std::string(s.mode) == "SELECT CELL MODE") {
      EXPECT_TRUE(b.bars.entry("_Edit", "Insert Combined _Fragment")->get_sensitive());
    }
  });
}

TEST(SeqBars, TheMenuBarCheckEntryWritesItsSettingOnce)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  auto& ctx = *b.kit.ctx;
  auto* entry = find_item<ViewCheckMenuItem>(b.bars.menu("_View"), "Show Menubar");
  ASSERT_TRUE(entry);
  ASSERT_TRUE(entry->get_active());
  Lines writes;
  ctx.signal_config_changed().connect([&writes](const std::string& key, const std::optional<std::string>& value) {
    writes.push_back(key + "=" + value.value_or("(none)"));
  });
  entry->activate();
  EXPECT_EQ(writes, (Lines{"show-menubar=false"}));
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "false");
  EXPECT_FALSE(entry->get_active());
}

// What the popup shows of the "_Edit" rows for names: the entries that can
// run, and a separator after every group.
Lines expected_popup(const Names& names)
{
  Lines lines;
  for (const ViewMenuRow& row : SeqMainMenu::edit_rows()) {
    if (!row.label)
      lines.push_back("---");
    else if (names.count(row.action))
      lines.push_back(row.label);
  }
  lines.push_back("---");
  return lines;
}

TEST(SeqBars, ARightPressPopsUpTheEditEntriesThatCanRunWithEveryGroupsSeparator)
{
  VELKARO_REQUIRE_GTK();
  BarsKit b;
  // On an empty cell with nothing to undo or paste.
  Gtk::Menu* menu = b.right_press({6, 6});
  ASSERT_TRUE(menu);
  EXPECT_EQ(b.kit.cursor(), (CellPos{6, 6}));
  EXPECT_TRUE(menu->get_visible());
  EXPECT_EQ(visible_lines(*menu), (Lines{
                                     "---",
                                     "---",
                                     "_Insert LifeLine",
                                     "Insert _Message",
                                     "Append _Text",
                                     "---",
                                     "---",
                                     "Insert r_ow",
                                     "Insert co_lumn",
                                     "_Delete row",
                                     "Delete co_lumn",
                                     "---",
                                     "Toggle HV Mode",
                                     "---",
                                     "---",
                                   }));
  menu->popdown();

  // On a life head after a yank, in another state: what can run then.
  life_line(*b.kit.ws, 1, 1, 5);
  b.kit.go(1, 1);
  b.kit.keys("y");
  menu = b.right_press({1, 1});
  ASSERT_TRUE(menu);
  const Names names = b.kit.ctx->enum_actionable_name();
  EXPECT_TRUE(names.count("copy"));
  EXPECT_TRUE(names.count("paste"));
  EXPECT_EQ(visible_lines(*menu), expected_popup(names));
  // Its entries run their action: "_Paste" next to the copied life line.
  menu->popdown();
  b.kit.go(3, 1);
  find_item(*menu, "_Paste")->activate();
  EXPECT_TRUE(at<SeqLifeHead>(*b.kit.ws, 3, 1));
}

} // namespace
} // namespace velkaro::test
