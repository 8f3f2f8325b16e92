#pragma once
// ViewCheckMenuItem: a menu entry that shows and switches one boolean
// setting of the configuration group "general" ("show-menubar"). Its key
// is also the name of the action that switches the setting.
//
// Construction shows the stored setting (no action runs), registers on the
// context a keyless action named by the key that writes the opposite of the
// stored value, and from then on follows every "config-changed" of its key,
// whichever entry or caller wrote it. Activating the entry runs the action
// by name through the callback. The entry is sensitive and stays so.
//
// Re-entry: writing the setting announces "config-changed" at once; every
// entry of the key then takes the new state, and GTK activates an entry
// whose state changes. That activation runs nothing, so a value written by
// anyone stays as written; and the action ignores a run that starts while
// it is running.
//
// The action belongs to the context and stays there after the entry goes;
// registering a second entry for the same key (a View menu built for the
// popup) keeps the action already there. The entry keeps no reference to
// the context (a popup that the context holds may hold entries); its
// connection to "config-changed" ends with either.

#include <memory>
#include <optional>
#include <string>

#include <glibmm/ustring.h>
#include <gtkmm/checkmenuitem.h>

#include "view/menu_item.h"

namespace velkaro {

class CtrlContext;

class ViewCheckMenuItem : public Gtk::CheckMenuItem {
public:
  ViewCheckMenuItem(const Glib::ustring& label, const std::string& key, ViewMenuCallback callback,
                    const std::shared_ptr<CtrlContext>& ctx);

  // The setting's key and the action's name.
  const std::string& get_key() const { return m_key; }
  // Shows value ("true" checks the entry) when key is the entry's key.
  void config_changed_cb(const std::string& key, const std::optional<std::string>& value);

private:
  void register_toggle_action(CtrlContext& ctx) const;
  void on_sensitive_changed();

  std::string m_key;
  ViewMenuCallback m_callback;
  // Set while the entry shows a value from "config-changed".
  bool m_showing = false;
};

} // namespace velkaro
