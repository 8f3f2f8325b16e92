#pragma once

#include <string>

namespace velkaro {

// Hands the address to the desktop's default handler (xdg-open, started with
// the address as its one argument; never through a shell). Does not wait for
// the handler. True when the handler could be started, false otherwise.
bool open_uri(const std::string& uri);

} // namespace velkaro
