#include "stm/stm_modes_for_test.h"

#include <gtk/gtk.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/window.h>

#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "view/bars_for_test.h"

namespace velkaro::test {

StmKit::~StmKit() { close_popups(); }

VKMenu* StmKit::popup_by_keys(std::string_view pattern)
{
  for (int attempt = 0; attempt < 100; ++attempt) {
    keys(pattern);
    settle();
    if (VKMenu* menu = shown_popup())
      return menu;
    g_usleep(20000);
  }
  return nullptr;
}

VKMenu* shown_popup()
{
  for (Gtk::Window* top : Gtk::Window::list_toplevels()) {
    if (!top->get_mapped())
      continue;
    if (auto* menu = dynamic_cast<VKMenu*>(top->get_child()))
      return menu;
  }
  return nullptr;
}

void menu_keys(VKMenu& menu, std::string_view pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  for (const auto& key : keys.get_keys()) {
    GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(menu.gobj()));
    auto event = key_event(GDK_KEY_PRESS, window, key.get_keyval(), key.get_state());
    // GTK's menu keys are key bindings, which go by the hardware key.
    GdkKeymapKey* entries = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_window_get_display(window)),
                                          key.get_keyval(), &entries, &n) &&
        n > 0) {
      event->key.hardware_keycode = static_cast<guint16>(entries[0].keycode);
      event->key.group = static_cast<guint8>(entries[0].group);
    }
    g_free(entries);
    gtk_widget_event(GTK_WIDGET(menu.gobj()), event.get());
  }
}

std::vector<std::string> labels_of(VKMenu& menu)
{
  std::vector<std::string> labels;
  for (Gtk::MenuItem* item : items_of(menu))
    labels.push_back(item->get_label());
  return labels;
}

std::string selected_label(VKMenu& menu)
{
  GtkWidget* selected = gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(menu.gobj()));
  return selected ? gtk_menu_item_get_label(GTK_MENU_ITEM(selected)) : "";
}

void close_popups()
{
  while (VKMenu* menu = shown_popup())
    menu->deactivate();
  run_main_loop_for(5);
}

} // namespace velkaro::test
