#include "view/sub_menu.h"

#include <gtkmm/separatormenuitem.h>

#include "common/i18n.h"
#include "view/check_menu_item.h"

namespace velkaro {

ViewSubMenu::ViewSubMenu(const Glib::ustring& name) : Gtk::MenuItem(name, true), m_menu(Gtk::make_managed<Gtk::Menu>())
{
  set_submenu(*m_menu);
}

ViewSubMenu::ViewSubMenu(const ViewMenuTable& table, const ViewMenuCallback& callback,
                         const std::shared_ptr<CtrlContext>& ctx)
  : ViewSubMenu(table.title)
{
  for (const ViewMenuRow& row : table.rows) {
    if (!row.label) {
      append_item(*Gtk::make_managed<Gtk::SeparatorMenuItem>());
      continue;
    }
    const Glib::ustring label = _(row.label);
    const std::string action = row.action ? row.action : label.raw();
    if (ctx && row.kind == ViewMenuKind::check)
      append_item(*Gtk::make_managed<ViewCheckMenuItem>(label, action, callback, ctx));
    else
      append_item(*Gtk::make_managed<ViewMenuItem>(label, action, callback));
  }
}

void ViewSubMenu::append_item(Gtk::MenuItem& item) { m_menu->append(item); }

} // namespace velkaro
