#pragma once
// The manual: an English and a Japanese HTML page shipped with the program
// ("manual/en.html" and "manual/ja.html" beside the executable in a build,
// under the data folder once installed). The "manual" command opens the
// page of the user's language in the desktop's browser, and tells the user
// the page's path when that fails.

#include <optional>
#include <string>
#include <vector>

#include <sigc++/functors/slot.h>

namespace velkaro {

// "en" or "ja": the first of the language names (in the order GLib gives
// them, g_get_language_names()) that is exactly "en" or "ja"; "en" when
// neither occurs.
std::string manual_language(const std::vector<std::string>& language_names);
// The user's language names, as GLib gives them.
std::vector<std::string> manual_user_languages();

// The folders searched for the pages, in order: "manual" beside the
// executable, then the installed data folder's.
std::vector<std::string> manual_folders();
// The path of the page of language in the first folder that holds it, or
// nothing.
std::optional<std::string> manual_page_path(const std::string& language);
// The file address ("file:///...") of path.
std::string manual_uri(const std::string& path);

// The program that shows an address in the desktop's browser, found on PATH.
inline constexpr const char* MANUAL_OPENER = "xdg-open";
// Starts MANUAL_OPENER on uri (as its one argument, never through a shell)
// without waiting for it. False with reason set when it cannot be started.
// Once started, it is watched from the main loop: when it ends with a
// failure (it found no program to show the address, or that program
// failed), on_failure runs with the reason. on_failure is a sigc slot, so
// one bound to an object that has gone since is not run. The opener is
// always reaped.
bool manual_open(const std::string& uri, const sigc::slot<void(const std::string&)>& on_failure, std::string& reason);

} // namespace velkaro
