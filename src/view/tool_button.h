#pragma once
// ViewToolButton: a tool-bar button that runs one action by name and shows
// the icon named after it ("/org/gtk/velkaro/" + action + ".png"), 16 x 16.
//
// The icon carries its shape in its alpha only: at every change of the
// button's sensitivity the icon is loaded again from the bundle and every
// pixel painted in one colour, alpha kept: the tint of the button's colour
// while sensitive (tint_of()), grey (128, 128, 128) while not. The tint is
// always made from the loaded icon, never from the one shown. A button is
// created insensitive, so it starts grey.
//
// An icon that is missing or cannot be read leaves a blank 16 x 16 icon and
// a warning; the button stays usable.
//
// The tooltip text is also the button's label. The colour is copied at
// construction.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <gdkmm/rgba.h>
#include <glibmm/refptr.h>
#include <glibmm/ustring.h>
#include <gtkmm/toolbutton.h>

namespace Gdk {
class Pixbuf;
}

namespace velkaro {

class ViewToolButton : public Gtk::ToolButton {
public:
  // What a click calls: the button's action name.
  using Callback = std::function<void(const std::string& action_name)>;
  using Rgb = std::array<uint8_t, 3>;

  static constexpr int ICON_SIZE = 16;
  static constexpr Rgb DISABLED_RGB{128, 128, 128};

  ViewToolButton(const Glib::ustring& tooltip_text, const std::string& action_name, Callback callback,
                 const Gdk::RGBA& color);

  // The colour of an enabled icon: color's hue, saturation 1 and value
  // divided by 1.1, each component scaled to 0..255 and truncated.
  static Rgb tint_of(const Gdk::RGBA& color);
  // The RGB of every pixel of pixbuf (RGBA, 8 bits) becomes rgb; alpha stays.
  static void paint(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, const Rgb& rgb);

  // Loads and paints the icon for the current sensitivity.
  void on_update_sensitive();
  // The icon shown, or null before the first load.
  Glib::RefPtr<Gdk::Pixbuf> get_icon();

  // The action the button runs; also names its icon.
  const std::string action_name;

private:
  void show_icon(const Glib::RefPtr<Gdk::Pixbuf>& icon);

  Gdk::RGBA m_color;
  Callback m_callback;
};

} // namespace velkaro
