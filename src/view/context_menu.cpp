#include "view/context_menu.h"

#include <gtk/gtk.h>
#include <gtkmm/separatormenuitem.h>

#include "common/c_resource.h"
#include "ctrl/context.h"
#include "view/menu_item.h"
#include "view/sub_menu.h"

namespace velkaro {

ViewContextMenu::ViewContextMenu(const ViewMainMenu& menu_bar) : m_bar(menu_bar.get_link()) {}

ViewContextMenu::~ViewContextMenu() = default;

void ViewContextMenu::show_menu(CtrlContext& ctx)
{
  const auto link = m_bar.lock();
  if (!link || !link->bar)
    return;
  const ViewMainMenu& bar = *link->bar;
  m_popup = std::make_unique<Gtk::Menu>();
  m_actionable = ctx.enum_actionable_name();
  // The source menus are fresh copies; they go when the loop is done, with
  // whatever was not moved out of them.
  for (const auto& item : bar.make_context_menu())
    add_sub(*item);
  if (!ctx.config_b("show-menubar")) {
    add(bar.new_file_menu());
    add(bar.new_view_menu());
    add(bar.new_help_menu());
  }
  m_popup->show_all();
  const CPtr<GdkEvent, gdk_event_free> event(gtk_get_current_event());
  if (event)
    m_popup->popup_at_pointer(event.get());
}

void ViewContextMenu::add_sub(ViewSubMenu& item)
{
  bool moved = false;
  for (Gtk::Widget* child : item.get_menu().get_children()) {
    auto* entry = dynamic_cast<ViewMenuItem*>(child);
    if (!entry) {
      if (moved)
        append_separator();
      moved = false;
      continue;
    }
    // Held while it has no parent.
    entry->reference();
    item.get_menu().remove(*entry);
    check_name(*entry, false);
    m_popup->append(*entry);
    entry->unreference();
    moved = true;
  }
  if (moved)
    append_separator();
}

void ViewContextMenu::add(std::unique_ptr<ViewSubMenu> item)
{
  for (Gtk::Widget* child : item->get_menu().get_children())
    check_name(*child, true);
  m_popup->append(*Gtk::manage(item.release()));
}

void ViewContextMenu::check_name(Gtk::Widget& widget, bool keep_shown) const
{
  auto* entry = dynamic_cast<ViewMenuItem*>(&widget);
  if (!entry)
    return;
  const bool actionable = m_actionable.contains(entry->action_name);
  entry->set_sensitive(actionable);
  if (!keep_shown)
    entry->set_no_show_all(!actionable);
}

void ViewContextMenu::append_separator() { m_popup->append(*Gtk::make_managed<Gtk::SeparatorMenuItem>()); }

} // namespace velkaro
