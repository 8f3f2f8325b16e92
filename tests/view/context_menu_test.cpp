// The right-click popup: a right press on the canvas builds it anew from the
// menu bar's context menus, moving their plain entries in, hiding those that
// cannot run and keeping every group's separator; with the menu bar hidden
// it adds the File, View and Help menus whole.

#include <memory>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "ctrl/context.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"
#include "view/bars_for_test.h"
#include "view/check_menu_item.h"
#include "view/context_menu.h"
#include "view/kind_bars_for_test.h"
#include "view/main_menu.h"
#include "view/menu_item.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

// A context whose one mode runs the given actions (each logs its name), a
// canvas widget in a shown window, the menu bar and the popup.
struct PopupKit {
  explicit PopupKit(std::vector<std::string> actions)
    : kit([actions](KindContext& ctx) {
        auto mode = std::make_shared<KindMode>(ctx, "POPUP MODE");
        for (const auto& name : actions)
          mode->void_action(name, {}, [mode = mode.get(), name] { mode->note(name); }, std::nullopt);
        return std::vector<CtrlContext::ModePtr>{mode};
      })
  {
    area.set_size_request(300, 200);
    window.add(area);
    window.show_all();
    settle();
    kit.canvas->widget = &area;
    kit.ctx->set_canvas(kit.canvas);
    bar = std::make_unique<ViewMainMenu>(kit.ctx, kind_menus());
    popup = std::make_shared<ViewContextMenu>(*bar);
    kit.ctx->set_context_menu(popup);
    kit.take_log();
  }

  ~PopupKit()
  {
    if (Gtk::Menu* menu = popup->get_popup())
      menu->popdown();
  }

  // A right press on the canvas (right_press_popup()).
  Gtk::Menu& right_press()
  {
    Gtk::Menu* menu = right_press_popup(*popup, area.get_window()->gobj(), 20, 20);
    EXPECT_TRUE(menu);
    return *menu;
  }

  KindKit kit;
  Gtk::Window window;
  Gtk::DrawingArea area;
  std::unique_ptr<ViewMainMenu> bar;
  std::shared_ptr<ViewContextMenu> popup;
};

TEST(ContextMenu, ARightPressShowsTheRunnableEntriesWithEveryGroupsSeparator)
{
  VELKARO_REQUIRE_GTK();
  PopupKit p({"copy"});
  Gtk::Menu& menu = p.right_press();

  EXPECT_TRUE(menu.get_visible());
  // "_Undo" and "_Redo" hidden, "_Copy", then the separators of the hidden
  // groups of "_Edit" and of "_Link".
  EXPECT_EQ(visible_lines(menu), (Lines{"---", "_Copy", "---", "---", "---", "---", "---", "---"}));
  // Every plain entry of both menus moved in: 14 of "_Edit", 4 of
  // "_Link"; the hidden ones cannot run.
  int entries = 0;
  for (Gtk::MenuItem* item : items_of(menu))
    if (auto* entry = dynamic_cast<ViewMenuItem*>(item)) {
      ++entries;
      EXPECT_EQ(entry->get_sensitive(), entry->action_name == "copy") << entry->action_name;
      EXPECT_EQ(entry->get_visible(), entry->action_name == "copy") << entry->action_name;
    }
  EXPECT_EQ(entries, 18);
  // The bar's own menus are untouched.
  EXPECT_EQ(items_of(*find_item(*p.bar, "_Edit")->get_submenu()).size(), 19u);

  // The popup's entries run their action through the bar.
  find_item(menu, "_Copy")->activate();
  EXPECT_EQ(p.kit.take_log(), (Log{"POPUP MODE:copy"}));
}

TEST(ContextMenu, EachRightPressBuildsANewPopupFromTheStateOfThatMoment)
{
  VELKARO_REQUIRE_GTK();
  PopupKit p({"copy", "undo", "redo"});
  Gtk::Menu* first = &p.right_press();
  EXPECT_EQ(visible_lines(*first), (Lines{"_Undo", "_Redo", "---", "_Copy", "---", "---", "---", "---", "---", "---"}));
  first->popdown();

  p.kit.ctx->get_now_mode()->set_is_actionable(false);
  Gtk::Menu* second = &p.right_press();
  EXPECT_NE(first, second);
  EXPECT_EQ(visible_lines(*second), (Lines{"---", "---", "---", "---", "---", "---", "---"}));
}

TEST(ContextMenu, WithTheMenuBarHiddenTheFileViewAndHelpMenusFollowWhole)
{
  VELKARO_REQUIRE_GTK();
  PopupKit p({"copy", "open-file"});
  auto& ctx = *p.kit.ctx;
  ctx.save_config("show-menubar", "false");
  Gtk::Menu& menu = p.right_press();

  const Lines lines = visible_lines(menu);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"_File", "_View", "_Help"}));

  // Their entries show, insensitive when they cannot run; "_Manual" too.
  Gtk::Menu& file = *find_item(menu, "_File")->get_submenu();
  Gtk::Menu& help = *find_item(menu, "_Help")->get_submenu();
  for (Gtk::MenuItem* item : items_of(file))
    if (auto* entry = dynamic_cast<ViewMenuItem*>(item)) {
      EXPECT_TRUE(entry->get_visible()) << entry->action_name;
      EXPECT_EQ(entry->get_sensitive(), entry->action_name == "open-file") << entry->action_name;
    }
  EXPECT_FALSE(find_item(help, "_Manual")->get_sensitive());
  EXPECT_TRUE(find_item(help, "_Manual")->get_visible());

  // The popup's View menu switches the setting like the bar's, with one write.
  auto* popup_entry = find_item<ViewCheckMenuItem>(*find_item(menu, "_View")->get_submenu(), "Show Menubar");
  auto* bar_entry = find_item<ViewCheckMenuItem>(*find_item(*p.bar, "_View")->get_submenu(), "Show Menubar");
  ASSERT_TRUE(popup_entry && bar_entry);
  EXPECT_FALSE(popup_entry->get_active());
  int writes = 0;
  ctx.signal_config_changed().connect([&writes](const std::string&, const std::optional<std::string>&) { ++writes; });
  popup_entry->activate();
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(stored_setting(ctx, "show-menubar"), "true");
  EXPECT_TRUE(bar_entry->get_active());
}

TEST(ContextMenu, WithoutAPointerEventThePopupIsBuiltButNotShown)
{
  VELKARO_REQUIRE_GTK();
  PopupKit p({"copy"});
  p.popup->show_menu(*p.kit.ctx);
  ASSERT_TRUE(p.popup->get_popup());
  EXPECT_FALSE(p.popup->get_popup()->get_visible());
  EXPECT_EQ(visible_lines(*p.popup->get_popup()).size(), 8u);
  EXPECT_TRUE(p.popup->get_actionable_set().contains("copy"));
}

TEST(ContextMenu, EntriesOfAPopupThatOutlivesTheMenuBarDoNothing)
{
  VELKARO_REQUIRE_GTK();
  PopupKit p({"copy"});
  Gtk::Menu& menu = p.right_press();
  menu.popdown();
  p.bar.reset();
  find_item(menu, "_Copy")->activate();
  EXPECT_TRUE(p.kit.take_log().empty());
  // Nor does a later right press build anything.
  p.popup->show_menu(*p.kit.ctx);
  EXPECT_EQ(p.popup->get_popup(), &menu);
}

} // namespace
} // namespace velkaro::test
