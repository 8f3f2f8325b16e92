#pragma once
// VKMenu: a GTK menu whose items can also be walked with the keys of the
// cursor: "h" and "k" select the previous item, "j" and "l" the next one,
// whatever modifiers are held; at either end nothing changes (no wrapping
// around). Every other key is left to GTK (arrows, Return, Escape,
// mnemonics).

#include <gtkmm/menu.h>

namespace velkaro {

class VKMenu : public Gtk::Menu {
public:
  VKMenu();

  // Selects the item after (forward) or before the selected one; with none
  // selected, the first (forward) or the last item. Nothing past either
  // end.
  void next(bool forward);

private:
  bool on_key(GdkEventKey* event);
};

} // namespace velkaro
