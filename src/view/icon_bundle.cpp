// The icon bundle: registration and a loader that reports instead of throwing.

#include "view/icon_bundle.h"

#include <exception>

#include <gdkmm/pixbuf.h>
#include <glibmm/error.h>

// Made by glib-compile-resources (--manual-register) for the library velkaro_icons.
extern "C" void velkaro_icons_register_resource(void);

namespace velkaro {

void view_icon_bundle_register()
{
  static const bool registered = [] {
    velkaro_icons_register_resource();
    return true;
  }();
  (void)registered;
}

std::string view_icon_path(const std::string& file) { return VIEW_ICON_PREFIX + file; }

Glib::RefPtr<Gdk::Pixbuf> view_icon_load(const std::string& file, int width, int height, std::string* error)
{
  view_icon_bundle_register();
  // The loaders throw where the C functions return an error.
  try {
    return Gdk::Pixbuf::create_from_resource(view_icon_path(file), width, height, true);
  } catch (const Glib::Error& e) {
    if (error)
      *error = e.what();
  } catch (const std::exception& e) {
    if (error)
      *error = e.what();
  }
  return {};
}

} // namespace velkaro
