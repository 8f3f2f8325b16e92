#include "stm/vk_menu.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

namespace velkaro {

VKMenu::VKMenu()
{
  // Before GTK's own handler, which would take j and l as mnemonics.
  signal_key_press_event().connect(sigc::mem_fun(*this, &VKMenu::on_key), false);
}

void VKMenu::next(bool forward)
{
  GtkWidget* selected = gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(gobj()));
  GtkWidget* prev = nullptr;
  GtkWidget* after = nullptr;
  bool passed = false;
  GList* children = gtk_container_get_children(GTK_CONTAINER(gobj()));
  for (GList* l = children; l; l = l->next) {
    auto* child = static_cast<GtkWidget*>(l->data);
    if (!selected) {
      if (!after)
        after = child;
      prev = child;
    } else if (child == selected) {
      passed = true;
    } else if (!passed) {
      prev = child;
    } else if (!after) {
      after = child;
    }
  }
  g_list_free(children);
  if (GtkWidget* target = forward ? after : prev)
    gtk_menu_shell_select_item(GTK_MENU_SHELL(gobj()), target);
}

bool VKMenu::on_key(GdkEventKey* event)
{
  switch (event->keyval) {
  case GDK_KEY_h:
  case GDK_KEY_k:
    next(false);
    return true;
  case GDK_KEY_j:
  case GDK_KEY_l:
    next(true);
    return true;
  default:
    return false;
  }
}

} // namespace velkaro
