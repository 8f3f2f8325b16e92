#pragma once
// ViewContextMenu: the right-click popup of the canvas, built anew at every
// right press from the menus of the window's menu bar.
//
// show_menu() takes the context's actionable set of that moment and moves
// the plain entries of fresh copies of the bar's context menus (the diagram
// kind's menus) into a new popup: entries whose action is not actionable
// are insensitive and stay hidden; every group of entries that the source
// menu separates ends with a separator, even when all its entries are
// hidden; check entries and nested menus only end a group. While the
// setting "show-menubar" is off, fresh "_File", "_View" and "_Help" menus
// follow as whole submenus, their entries insensitive but shown when not
// actionable, so that every command stays reachable. No entry is exempt
// ("_Manual" included). The popup then pops up at the pointer of the event
// being handled; with no current event it is built and kept, not shown.
//
// The entries keep running their actions through the menu bar. The popup
// shows the state of the moment it was built; the next show_menu() releases
// it.
//
// Ownership: the context holds this object; it links to the menu bar
// weakly, and does nothing once the bar is gone.

#include <memory>

#include <gtkmm/menu.h>

#include "ctrl/ports/icontext_menu.h"
#include "view/main_menu.h"

namespace Gtk {
class Widget;
}

namespace velkaro {

class ViewSubMenu;

class ViewContextMenu : public CtrlIContextMenu {
public:
  using NameSet = ViewMainMenu::NameSet;

  explicit ViewContextMenu(const ViewMainMenu& menu_bar);
  ~ViewContextMenu() override;

  void show_menu(CtrlContext& ctx) override;

  // The last popup built, or null.
  Gtk::Menu* get_popup() const { return m_popup.get(); }
  // The actionable set the last popup was built from.
  const NameSet& get_actionable_set() const { return m_actionable; }

private:
  void add_sub(ViewSubMenu& item);
  void add(std::unique_ptr<ViewSubMenu> item);
  void check_name(Gtk::Widget& widget, bool keep_shown) const;
  void append_separator();

  std::weak_ptr<const ViewMainMenu::Link> m_bar;
  std::unique_ptr<Gtk::Menu> m_popup;
  NameSet m_actionable;
};

} // namespace velkaro
