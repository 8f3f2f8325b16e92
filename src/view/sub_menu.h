#pragma once
// ViewSubMenu: a menu-bar entry ("_Edit") with its menu, filled from a
// table of rows.
//
// Menus are data: a table is a title and rows of {label, action, kind}.
// - label null: a separator;
// - action null: the label, as shown, is also the action's name;
// - kind check: an entry bound to a boolean setting (ViewCheckMenuItem),
//   when the menu is built with a context; otherwise a plain entry.
// Labels are message ids: they are looked up in the program's catalogue
// when the menu is built (mark them with N_()); titles are shown as
// written. Every build makes new widgets. A table refers to its rows
// without copying them: keep the rows in a static array.

#include <memory>
#include <span>

#include <glibmm/ustring.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>

#include "view/menu_item.h"

namespace velkaro {

class CtrlContext;

enum class ViewMenuKind { plain, check };

struct ViewMenuRow {
  const char* label;
  const char* action = nullptr;
  ViewMenuKind kind = ViewMenuKind::plain;
};

struct ViewMenuTable {
  const char* title;
  std::span<const ViewMenuRow> rows;
};

class ViewSubMenu : public Gtk::MenuItem {
public:
  // An entry titled name (with mnemonic) and an empty menu.
  explicit ViewSubMenu(const Glib::ustring& name);
  // The menu of table: plain entries call callback with their action name;
  // with ctx, check rows become entries bound to ctx's settings.
  ViewSubMenu(const ViewMenuTable& table, const ViewMenuCallback& callback,
              const std::shared_ptr<CtrlContext>& ctx = nullptr);

  // Appends item (managed: the menu takes it) to the menu.
  void append_item(Gtk::MenuItem& item);
  Gtk::Menu& get_menu() { return *m_menu; }

private:
  Gtk::Menu* m_menu;
};

} // namespace velkaro
