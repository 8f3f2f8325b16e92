#pragma once
// The icon bundle: the PNG icons compiled into the program under
// VIEW_ICON_PREFIX ("/org/gtk/velkaro/"): one per action that a tool bar
// shows, named after the action ("copy.png"), and the window icons of the
// diagram kinds ("seq48.png"). The bundle is registered with GIO on first
// use; code that loads from the prefix by itself calls
// view_icon_bundle_register() first.

#include <string>

#include <glibmm/refptr.h>

namespace Gdk {
class Pixbuf;
}

namespace velkaro {

inline constexpr const char* VIEW_ICON_PREFIX = "/org/gtk/velkaro/";

// Registers the bundle with GIO's global resources, once; later calls do
// nothing.
void view_icon_bundle_register();

// The resource path of the icon file ("copy.png" -> "/org/gtk/velkaro/copy.png").
std::string view_icon_path(const std::string& file);

// Loads the icon file from the bundle scaled to width x height, keeping its
// aspect ratio. Never throws: a missing or unreadable icon gives null, with
// the loader's message in error when given.
Glib::RefPtr<Gdk::Pixbuf> view_icon_load(const std::string& file, int width, int height,
                                         std::string* error = nullptr);

} // namespace velkaro
