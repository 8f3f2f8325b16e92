#pragma once
// ViewMainMenu: the window's menu bar, bound to one controller context.
// From left to right: "_File", the diagram kind's menus, "_View", "_Help".
// Every entry runs an action of the context by name; no entry has behaviour
// of its own.
//
// A diagram kind supplies its menus as tables (ViewMenuTable, see
// sub_menu.h) given to the constructor (the class diagram's "_Edit" and
// "_Connector": ClsMainMenu::type_menus()). The same tables give the menus
// whose entries the right-click popup shows (make_context_menu(), used by
// ViewContextMenu).
//
// Enabled state: a plain entry of a menu of the bar is sensitive exactly
// when its action is in the context's actionable set, or is "manual". The
// bar applies the set once when it is built and then at every
// signal_update_actionable_name_sig() of the context. The View menu's check
// entries are always sensitive (check_menu_item.h). Entries in menus nested
// deeper than the bar's own menus are not updated.
//
// Ownership: the bar holds the context; entries reach the bar through a link
// that dies with it, so an entry moved into a popup that outlives the bar
// does nothing when activated. Every builder makes new widgets; nothing is
// cached.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtkmm/menubar.h>

#include "common/i18n.h"
#include "common/scoped_connection.h"
#include "ctrl/keys/iaction_handler.h"
#include "view/sub_menu.h"

namespace velkaro {

class CtrlContext;
class ViewMenuItem;

// The groups of entries every diagram kind's "_Edit" menu has (joined_rows()
// makes a kind's table of them and its own): first undo, redo and the
// clipboard; last the HV toggle and the key setting. Labels are translated.
inline constexpr ViewMenuRow VIEW_EDIT_HISTORY_CLIPBOARD_ROWS[] = {
  {N_("_Undo"), "undo"},
  {N_("_Redo"), "redo"},
  {nullptr},
  {N_("_Copy"), "copy"},
  {N_("Cu_t"), "cut"},
  {N_("_Paste"), "paste"},
  {nullptr},
};
inline constexpr ViewMenuRow VIEW_EDIT_SETTING_ROWS[] = {
  {nullptr},
  {N_("Toggle HV Mode"), "toggle-hv"},
  {nullptr},
  {N_("_Key setting"), "key-setting"},
};

class ViewMainMenu : public Gtk::MenuBar {
public:
  using NameSet = CtrlIActionHandler::NameSet;
  using SubMenus = std::vector<std::unique_ptr<ViewSubMenu>>;
  // What entries keep to reach the bar: bar is cleared when the bar goes.
  struct Link {
    ViewMainMenu* bar = nullptr;
  };

  // Builds the bar for ctx: File, the type menus, View, Help; then applies
  // ctx's actionable set.
  ViewMainMenu(const std::shared_ptr<CtrlContext>& ctx, std::vector<ViewMenuTable> type_menus);
  ~ViewMainMenu() override;

  const std::shared_ptr<CtrlContext>& get_ctrl() const { return m_ctx; }
  // Binds the bar to ctx: the set updates of the former context no longer
  // reach the bar, those of ctx do.
  void set_ctrl(const std::shared_ptr<CtrlContext>& ctx);

  // New menus, built on every call.
  std::unique_ptr<ViewSubMenu> new_file_menu() const;
  // The check entries are bound to the bound context.
  std::unique_ptr<ViewSubMenu> new_view_menu() const;
  std::unique_ptr<ViewSubMenu> new_help_menu() const;
  // A menu of table whose entries run their actions through this bar.
  std::unique_ptr<ViewSubMenu> new_sub_menu(const ViewMenuTable& table) const;
  // The diagram kind's menus.
  SubMenus make_type_menus() const;
  // The menus whose plain entries the right-click popup shows: the type menus.
  SubMenus make_context_menu() const;

  // Runs the action name on the bound context; an unknown name does nothing.
  void on_activate_menu_item(const std::string& action_name);
  // Each plain entry of the bar's menus: sensitive exactly when names holds
  // its action or the action is "manual".
  void on_update_actionable_name(const NameSet& names);
  // Calls fn on every plain entry of the bar's own menus, in order.
  void foreach_menu_item(const std::function<void(ViewMenuItem&)>& fn);

  std::weak_ptr<const Link> get_link() const { return m_link; }

private:
  ViewMenuCallback activate_callback() const;
  void append_menu(std::unique_ptr<ViewSubMenu> menu);

  std::shared_ptr<CtrlContext> m_ctx;
  std::vector<ViewMenuTable> m_type_menus;
  std::shared_ptr<Link> m_link;
  ScopedConnection m_update_connection;
};

} // namespace velkaro
