#include "view/tool_button.h"

#include <utility>

#include <gdkmm/pixbuf.h>
#include <gtk/gtk.h>
#include <gtkmm/image.h>

#include "view/icon_bundle.h"

namespace velkaro {

ViewToolButton::ViewToolButton(const Glib::ustring& tooltip_text, const std::string& action_name, Callback callback,
                               const Gdk::RGBA& color)
  : action_name(action_name), m_color(color), m_callback(std::move(callback))
{
  property_sensitive().signal_changed().connect(sigc::mem_fun(*this, &ViewToolButton::on_update_sensitive));
  // A new widget is sensitive, so this loads the grey icon.
  set_sensitive(false);
  set_tooltip_text(tooltip_text);
  set_label(tooltip_text);
  signal_clicked().connect([this] {
    if (m_callback)
      m_callback(this->action_name);
  });
}

ViewToolButton::Rgb ViewToolButton::tint_of(const Gdk::RGBA& color)
{
  double h = 0, s = 0, v = 0;
  gtk_rgb_to_hsv(color.get_red(), color.get_green(), color.get_blue(), &h, &s, &v);
  double r = 0, g = 0, b = 0;
  gtk_hsv_to_rgb(h, 1.0, v / 1.1, &r, &g, &b);
  return {static_cast<uint8_t>(r * 255), static_cast<uint8_t>(g * 255), static_cast<uint8_t>(b * 255)};
}

void ViewToolButton::paint(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, const Rgb& rgb)
{
  const int channels = pixbuf->get_n_channels();
  const int stride = pixbuf->get_rowstride();
  guint8* pixels = pixbuf->get_pixels();
  for (int y = 0; y < pixbuf->get_height(); ++y) {
    guint8* p = pixels + y * stride;
    for (int x = 0; x < pixbuf->get_width(); ++x, p += channels) {
      p[0] = rgb[0];
      p[1] = rgb[1];
      p[2] = rgb[2];
    }
  }
}

void ViewToolButton::on_update_sensitive()
{
  std::string error;
  auto icon = view_icon_load(action_name + ".png", ICON_SIZE, ICON_SIZE, &error);
  if (!icon) {
    g_warning("tool button \"%s\": no icon: %s", action_name.c_str(), error.c_str());
    icon = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, ICON_SIZE, ICON_SIZE);
    icon->fill(0x00000000);
    show_icon(icon);
    return;
  }
  // The shape is in the alpha: an icon without one would paint as a square.
  if (!icon->get_has_alpha())
    icon = icon->add_alpha(false, 0, 0, 0);
  // The loaded icon is this button's own copy; painting it changes nothing
  // in the bundle.
  paint(icon, get_sensitive() ? tint_of(m_color) : DISABLED_RGB);
  show_icon(icon);
}

Glib::RefPtr<Gdk::Pixbuf> ViewToolButton::get_icon()
{
  auto* image = dynamic_cast<Gtk::Image*>(get_icon_widget());
  return image ? image->get_pixbuf() : Glib::RefPtr<Gdk::Pixbuf>();
}

void ViewToolButton::show_icon(const Glib::RefPtr<Gdk::Pixbuf>& icon)
{
  if (auto* image = dynamic_cast<Gtk::Image*>(get_icon_widget())) {
    image->set(icon);
    return;
  }
  auto* image = Gtk::make_managed<Gtk::Image>(icon);
  image->show();
  set_icon_widget(*image);
}

} // namespace velkaro
