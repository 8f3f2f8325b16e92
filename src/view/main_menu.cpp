#include "view/main_menu.h"

#include <utility>

#include "common/check.h"
#include "ctrl/context.h"
#include "view/menu_item.h"

namespace velkaro {

ViewMainMenu::ViewMainMenu(const std::shared_ptr<CtrlContext>& ctx, std::vector<ViewMenuTable> type_menus)
  : m_type_menus(std::move(type_menus)), m_link(std::make_shared<Link>(Link{this}))
{
  VK_CHECK(ctx);
  set_ctrl(ctx);
  append_menu(new_file_menu());
  for (auto& menu : make_type_menus())
    append_menu(std::move(menu));
  append_menu(new_view_menu());
  append_menu(new_help_menu());
  // Right before the first delayed update arrives.
  on_update_actionable_name(m_ctx->enum_actionable_name());
}

ViewMainMenu::~ViewMainMenu() { m_link->bar = nullptr; }

void ViewMainMenu::set_ctrl(const std::shared_ptr<CtrlContext>& ctx)
{
  VK_CHECK(ctx);
  m_ctx = ctx;
  m_update_connection = m_ctx->signal_update_actionable_name_sig().connect(
    sigc::mem_fun(*this, &ViewMainMenu::on_update_actionable_name));
}

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_sub_menu(const ViewMenuTable& table) const
{
  return std::make_unique<ViewSubMenu>(table, activate_callback());
}

ViewMainMenu::SubMenus ViewMainMenu::make_type_menus() const
{
  SubMenus menus;
  for (const auto& table : m_type_menus)
    menus.push_back(new_sub_menu(table));
  return menus;
}

ViewMainMenu::SubMenus ViewMainMenu::make_context_menu() const { return make_type_menus(); }

void ViewMainMenu::on_activate_menu_item(const std::string& action_name)
{
  // Held: the action may replace the bar's context.
  if (const auto ctx = m_ctx)
    ctx->action(action_name);
}

void ViewMainMenu::on_update_actionable_name(const NameSet& names)
{
  foreach_menu_item([&names](ViewMenuItem& item) {
    item.set_sensitive(item.action_name == "manual" || names.contains(item.action_name));
  });
}

void ViewMainMenu::foreach_menu_item(const std::function<void(ViewMenuItem&)>& fn)
{
  for (Gtk::Widget* child : get_children()) {
    auto* top = dynamic_cast<Gtk::MenuItem*>(child);
    Gtk::Menu* menu = top ? top->get_submenu() : nullptr;
    if (!menu)
      continue;
    for (Gtk::Widget* entry : menu->get_children())
      if (auto* item = dynamic_cast<ViewMenuItem*>(entry))
        fn(*item);
  }
}

ViewMenuCallback ViewMainMenu::activate_callback() const
{
  return [link = std::weak_ptr<const Link>(m_link)](const std::string& action_name) {
    if (const auto alive = link.lock(); alive && alive->bar)
      alive->bar->on_activate_menu_item(action_name);
  };
}

void ViewMainMenu::append_menu(std::unique_ptr<ViewSubMenu> menu) { append(*Gtk::manage(menu.release())); }

} // namespace velkaro
