#include "common/open_uri.h"

#include <vector>

#include <glibmm/spawn.h>

namespace velkaro {

bool open_uri(const std::string& uri)
{
  const std::vector<std::string> argv{"xdg-open", uri};
  try {
    // Without DO_NOT_REAP_CHILD GLib reaps the handler itself: no zombie.
    Glib::spawn_async("", argv, Glib::SPAWN_SEARCH_PATH | Glib::SPAWN_STDOUT_TO_DEV_NULL | Glib::SPAWN_STDERR_TO_DEV_NULL);
    return true;
  } catch (const Glib::SpawnError& e) {
    g_debug("common:1152: %s", e.what().c_str());
    return false;
  } catch (const Glib::Error& e) {
    g_critical("file %s: line %d: unexpected error: %s (%s, %d)", __FILE__, __LINE__, e.what().c_str(),
               g_quark_to_string(e.domain()), e.code());
    return false;
  }
}

} // namespace velkaro
