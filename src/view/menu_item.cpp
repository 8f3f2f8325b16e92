#include "view/menu_item.h"

#include <utility>

namespace velkaro {

ViewMenuItem::ViewMenuItem(const Glib::ustring& label, const std::string& action_name, ViewMenuCallback callback)
  : Gtk::MenuItem(label, true), action_name(action_name), m_callback(std::move(callback))
{
  set_sensitive(false);
  signal_activate().connect([this] {
    if (m_callback)
      m_callback(this->action_name);
  });
}

} // namespace velkaro
