#pragma once
// The application's identity. The id names the program to GTK and is its
// gettext text domain; its third dot-separated field is the executable name,
// which names the diagram kind's configuration file (velkaro_seq.conf).

#include <string>
#include <string_view>

namespace velkaro {

// The id of the application object (the sequence-diagram editor).
inline constexpr const char APP_ID[] = "org.velkaro.seq";

// The third dot-separated field of id ("seq" for APP_ID); "" when id has
// fewer than three fields.
std::string app_id_exename(std::string_view id = APP_ID);

} // namespace velkaro
