#pragma once
// The manual: an English and a Japanese HTML page shipped with the program
// ("manual/en.html" and "manual/ja.html" beside the executable in a build,
// under the data folder once installed). The "manual" command opens the
// page of the user's language in the desktop's browser.

#include <optional>
#include <string>
#include <vector>

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

} // namespace velkaro
