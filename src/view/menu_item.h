#pragma once
// ViewMenuItem: a plain menu entry that runs one action by name. It carries
// no behaviour of its own: activating it calls its callback with its action
// name, and whoever built it (a menu bar) decides what that runs.
//
// The label is shown with mnemonic processing ("_Copy"). An entry is created
// insensitive; the menu bar makes it sensitive while its action is
// actionable.

#include <functional>
#include <string>

#include <glibmm/ustring.h>
#include <gtkmm/menuitem.h>

namespace velkaro {

// What a menu calls when one of its entries is activated: the entry's action
// name.
using ViewMenuCallback = std::function<void(const std::string& action_name)>;

class ViewMenuItem : public Gtk::MenuItem {
public:
  ViewMenuItem(const Glib::ustring& label, const std::string& action_name, ViewMenuCallback callback);

  // The action the entry runs.
  const std::string action_name;

private:
  ViewMenuCallback m_callback;
};

} // namespace velkaro
