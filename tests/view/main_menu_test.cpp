// The menu bar: its menus come from tables, plain entries follow the
// context's actionable names (and "manual"), entries run their actions by
// name, and the View menu's check entries show and switch their settings,
// writing each switch once.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include "ctrl/context.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/check_menu_item.h"
#include "view/main_menu.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

Gtk::Menu& menu_of(ViewMainMenu& bar, const std::string& title)
{
  auto* top = find_item(bar, title);
  EXPECT_TRUE(top) << title;
  return *top->get_submenu();
}

TEST(MainMenu, TheBarHoldsFileTheKindsMenusViewAndHelpAsTheirTablesGiveThem)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  ViewMainMenu bar(kit.ctx, kind_menus());

  Lines titles;
  for (auto* item : items_of(bar))
    titles.push_back(item->get_label());
  EXPECT_EQ(titles, (Lines{"_File", "_Edit", "_Link", "_View", "_Help"}));

  const std::vector<std::pair<std::string, Lines>> menus = {
    {"_File",
     {"_Open -> open-file", "_Save -> save-file", "Save _as -> save-as-file", "_Export PNG image -> export-png-n", "---",
      "E_xit -> exit"}},
    {"_Edit",
     {"_Undo -> undo", "_Redo -> redo", "---", "_Copy -> copy", "Cu_t -> cut", "_Paste -> paste", "---",
      "_Insert element -> insert-element", "Insert _part -> insert-part", "Delete p_art -> delete-part", "---", "Insert r_ow -> insert-row", "Insert co_lumn -> insert-col",
      "_Delete row -> delete-row", "D_elete column -> delete-col", "---", "Toggle HV Mode -> toggle-hv", "---",
      "_Key setting -> key-setting"}},
    {"_Link",
     {"_First link -> link-first", "_Second link -> link-second", "_Third link -> link-third",
      "F_ourth link -> link-fourth"}},
    {"_View",
     {"[x] Use Overlay Scrolling", "[x] Show Menubar", "[x] Show Toolbar", "---", "Zoom In -> zoom-in",
      "Zoom Out -> zoom-out", "Zoom Reset -> zoom-reset", "Show All -> show-all"}},
    {"_Help", {"_Manual -> manual", "_Version info. -> version"}},
  };
  for (const auto& [title, lines] : menus)
    EXPECT_EQ(lines_of(menu_of(bar, title)), lines) << title;

  // Titles and plain labels take mnemonics; check labels are shown as written.
  EXPECT_TRUE(find_item(bar, "_Edit")->get_use_underline());
  EXPECT_TRUE(find_item(menu_of(bar, "_Edit"), "Cu_t")->get_use_underline());
  EXPECT_FALSE(find_item(menu_of(bar, "_View"), "Show Menubar")->get_use_underline());
}

TEST(MainMenu, ADiagramKindSuppliesItsMenusAsTables)
{
  VELKARO_REQUIRE_GTK();
  static constexpr ViewMenuRow ROWS[] = {
    {"_Copy", "copy"},
    {nullptr},
    {"run-by-label"},
    // A check row of a menu built without a context is a plain entry.
    {"Checked", "some-key", ViewMenuKind::check},
  };
  KindKit kit;
  ViewMainMenu bar(kit.ctx, {{"_Kind", ROWS}});

  Lines titles;
  for (auto* item : items_of(bar))
    titles.push_back(item->get_label());
  EXPECT_EQ(titles, (Lines{"_File", "_Kind", "_View", "_Help"}));
  EXPECT_EQ(lines_of(menu_of(bar, "_Kind")),
            (Lines{"_Copy -> copy", "---", "run-by-label -> run-by-label", "Checked -> some-key"}));
  // Every call builds new widgets from the same tables.
  const auto first = bar.make_type_menus();
  const auto second = bar.make_context_menu();
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(first[0].get(), second[0].get());
  EXPECT_EQ(lines_of(second[0]->get_menu()), lines_of(menu_of(bar, "_Kind")));
}

// Every plain entry of the bar: sensitive exactly when its action is
// actionable or is "manual".
void expect_entries_follow(ViewMainMenu& bar, const CtrlContext::NameSet& names)
{
  int seen = 0;
  bar.foreach_menu_item([&](ViewMenuItem& item) {
    ++seen;
    EXPECT_EQ(item.get_sensitive(), names.contains(item.action_name) || item.action_name == "manual")
      << item.action_name;
  });
  EXPECT_EQ(seen, 5 + 14 + 4 + 4 + 2);
}

TEST(MainMenu, PlainEntriesFollowTheActionableNamesAfterTheRefreshDelay)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ViewMainMenu bar(kit.ctx, kind_menus());
  Gtk::Menu& edit = menu_of(bar, "_Edit");
  Gtk::Menu& help = menu_of(bar, "_Help");

  // Right from the start: the cell mode copies and cuts.
  expect_entries_follow(bar, ctx.enum_actionable_name());
  EXPECT_TRUE(find_item(edit, "_Copy")->get_sensitive());
  EXPECT_FALSE(find_item(edit, "_Redo")->get_sensitive());

  // The other mode does not copy; the entries change once the delayed
  // refresh has come.
  press_keys(ctx, "o");
  ASSERT_EQ(ctx.get_now_mode()->get_name(), "KIND OTHER MODE");
  EXPECT_TRUE(find_item(edit, "_Copy")->get_sensitive());
  wait_for_actionable_refresh();
  expect_entries_follow(bar, ctx.enum_actionable_name());
  EXPECT_FALSE(find_item(edit, "_Copy")->get_sensitive());

  // No action is called "version".
  EXPECT_FALSE(find_item(help, "_Version info.")->get_sensitive());
  // Check entries stay sensitive whatever the set.
  bar.on_update_actionable_name({});
  for (auto* item : items_of(menu_of(bar, "_View"))) {
    if (auto* check = dynamic_cast<ViewCheckMenuItem*>(item)) {
      EXPECT_TRUE(check->get_sensitive()) << check->get_key();
    }
  }
  // With nothing actionable, "_Manual" is the one plain entry left enabled.
  bar.foreach_menu_item([](ViewMenuItem& item) { EXPECT_EQ(item.get_sensitive(), item.action_name == "manual"); });
}

TEST(MainMenu, AnEntryRunsItsActionOnTheContextByName)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  ViewMainMenu bar(kit.ctx, kind_menus());
  ASSERT_FALSE(kit.ctx->get_yank_elms().has_value());

  find_item(menu_of(bar, "_Edit"), "_Copy")->activate();
  EXPECT_TRUE(kit.ctx->get_yank_elms().has_value());
  // A name that nothing registers does nothing.
  find_item(menu_of(bar, "_View"), "Zoom In")->activate();
}

TEST(MainMenu, TheContextBoundLastDrivesTheEntries)
{
  VELKARO_REQUIRE_GTK();
  KindKit first;
  KindKit second;
  ViewMainMenu bar(first.ctx, kind_menus());
  bar.set_ctrl(second.ctx);
  EXPECT_EQ(bar.get_ctrl(), second.ctx);

  second.ctx->signal_update_actionable_name_sig().emit({});
  first.ctx->signal_update_actionable_name_sig().emit({"copy", "undo"});
  EXPECT_FALSE(find_item(menu_of(bar, "_Edit"), "_Undo")->get_sensitive());
  second.ctx->signal_update_actionable_name_sig().emit({"undo"});
  EXPECT_TRUE(find_item(menu_of(bar, "_Edit"), "_Undo")->get_sensitive());
  find_item(menu_of(bar, "_Edit"), "_Copy")->activate();
  EXPECT_FALSE(first.ctx->get_yank_elms().has_value());
}

// --- The View menu's check entries

struct SettingWrites {
  explicit SettingWrites(CtrlContext& ctx)
  {
    ctx.signal_config_changed().connect([this](const std::string& key, const std::optional<std::string>& value) {
      lines.push_back(key + "=" + value.value_or("(none)"));
    });
  }
  std::vector<std::string> lines;
};

TEST(MainMenuCheckEntries, ClickingShowMenubarWritesTheSettingOnce)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ViewMainMenu bar(kit.ctx, kind_menus());
  auto* entry = find_item<ViewCheckMenuItem>(menu_of(bar, "_View"), "Show Menubar");
  ASSERT_TRUE(entry);
  ASSERT_TRUE(entry->get_active());
  SettingWrites writes(ctx);

  // A click: GTK toggles the entry, then the entry runs its action.
  entry->activate();
  EXPECT_EQ(writes.lines, (Lines{"show-menubar=false"}));
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "false");
  EXPECT_FALSE(entry->get_active());

  entry->activate();
  EXPECT_EQ(writes.lines, (Lines{"show-menubar=false", "show-menubar=true"}));
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "true");
  EXPECT_TRUE(entry->get_active());
}

TEST(MainMenuCheckEntries, RunningTheActionByNameFlipsTheSettingAndEveryEntryOnce)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ViewMainMenu bar(kit.ctx, kind_menus());
  // A second View menu, as the popup builds while the bar is hidden.
  const auto other_menu = bar.new_view_menu();
  auto* entry = find_item<ViewCheckMenuItem>(menu_of(bar, "_View"), "Show Toolbar");
  auto* other = find_item<ViewCheckMenuItem>(other_menu->get_menu(), "Show Toolbar");
  ASSERT_TRUE(entry && other);
  SettingWrites writes(ctx);

  EXPECT_TRUE(ctx.action("show-toolbar"));
  EXPECT_EQ(writes.lines, (Lines{"show-toolbar=false"}));
  EXPECT_FALSE(entry->get_active());
  EXPECT_FALSE(other->get_active());

  // A click on either entry switches both back, with one write.
  other->activate();
  EXPECT_EQ(writes.lines, (Lines{"show-toolbar=false", "show-toolbar=true"}));
  EXPECT_TRUE(entry->get_active());
  EXPECT_TRUE(other->get_active());
  EXPECT_EQ(stored_setting(ctx, "show-toolbar"), "true");
}

TEST(MainMenuCheckEntries, AValueWrittenElsewhereIsShownAndStaysAsWritten)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ViewMainMenu bar(kit.ctx, kind_menus());
  auto* entry = find_item<ViewCheckMenuItem>(menu_of(bar, "_View"), "Show Menubar");
  ASSERT_TRUE(entry && entry->get_active());
  SettingWrites writes(ctx);

  ctx.save_config("show-menubar", "false");
  EXPECT_EQ(writes.lines, (Lines{"show-menubar=false"}));
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "false");
  EXPECT_FALSE(entry->get_active());
}

TEST(MainMenuCheckEntries, EntriesShowTheStoredSettingAndAStrangeValueSwitchesToTrue)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  ctx.save_config("use-overlay-scrolling", "false");
  ctx.save_config("show-menubar", "maybe");
  ViewMainMenu bar(kit.ctx, kind_menus());
  Gtk::Menu& view = menu_of(bar, "_View");
  EXPECT_EQ(lines_of(view)[0], "[ ] Use Overlay Scrolling");
  EXPECT_EQ(lines_of(view)[1], "[ ] Show Menubar");
  EXPECT_EQ(lines_of(view)[2], "[x] Show Toolbar");
  // Showing the stored state ran no action.
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "maybe");

  find_item(view, "Show Menubar")->activate();
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "true");
  EXPECT_EQ(lines_of(view)[1], "[x] Show Menubar");
}

TEST(MainMenuCheckEntries, AnEntryThatGtkMakesInsensitiveKeepsWorking)
{
  VELKARO_REQUIRE_GTK();
  KindKit kit;
  auto& ctx = *kit.ctx;
  Gtk::Window window;
  auto* bar = Gtk::make_managed<ViewMainMenu>(kit.ctx, kind_menus());
  window.add(*bar);
  window.show_all();
  settle();
  auto* entry = find_item<ViewCheckMenuItem>(menu_of(*bar, "_View"), "Show Menubar");
  ASSERT_TRUE(entry);
  // In a window whose action groups have no such action, the entry stays usable.
  EXPECT_TRUE(entry->is_sensitive());

  // As GTK does when an action name resolves to nothing: the entry drops the
  // name, keeps its key and stays sensitive.
  entry->set_sensitive(false);
  EXPECT_TRUE(entry->get_sensitive());
  EXPECT_EQ(entry->get_key(), "show-menubar");
  EXPECT_EQ(gtk_actionable_get_action_name(GTK_ACTIONABLE(entry->gobj())), nullptr);
  entry->activate();
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "false");
  EXPECT_FALSE(entry->get_active());
}

} // namespace
} // namespace velkaro::test
