#include "app/manual.h"

#include <filesystem>
#include <system_error>

#include <glib.h>
#include <glibmm/main.h>
#include <glibmm/spawn.h>
#include <glibmm/ustring.h>

#include "common/i18n.h"

namespace velkaro {

std::string manual_language(const std::vector<std::string>& language_names)
{
  for (const auto& name : language_names) {
    if (name == "en" || name == "ja")
      return name;
  }
  return "en";
}

std::vector<std::string> manual_user_languages()
{
  std::vector<std::string> names;
  for (const gchar* const* p = g_get_language_names(); p && *p; ++p)
    names.emplace_back(*p);
  return names;
}

std::vector<std::string> manual_folders()
{
  namespace fs = std::filesystem;
  std::vector<std::string> folders;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    folders.push_back((exe.parent_path() / "manual").string());
    folders.push_back((exe.parent_path().parent_path() / "share" / "velkaro" / "manual").string());
  }
  folders.push_back((fs::path(VELKARO_DATA_DIR) / "manual").string());
  return folders;
}

std::optional<std::string> manual_page_path(const std::string& language)
{
  namespace fs = std::filesystem;
  for (const auto& folder : manual_folders()) {
    const fs::path page = fs::path(folder) / (language + ".html");
    std::error_code ec;
    if (fs::is_regular_file(page, ec))
      return fs::weakly_canonical(page, ec).string();
  }
  return std::nullopt;
}

std::string manual_uri(const std::string& path)
{
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string result = uri ? uri : "";
  g_free(uri);
  return result;
}

bool manual_open(const std::string& uri, const sigc::slot<void(const std::string&)>& on_failure, std::string& reason)
{
  const std::vector<std::string> argv{MANUAL_OPENER, uri};
  Glib::Pid pid = 0;
  try {
    Glib::spawn_async("", argv,
                      Glib::SPAWN_SEARCH_PATH | Glib::SPAWN_DO_NOT_REAP_CHILD | Glib::SPAWN_STDOUT_TO_DEV_NULL |
                        Glib::SPAWN_STDERR_TO_DEV_NULL,
                      Glib::SlotSpawnChildSetup(), &pid);
  } catch (const Glib::Error& e) {
    reason = Glib::ustring::compose(_("\"%1\" could not be started (%2)"), MANUAL_OPENER, e.what());
    return false;
  }
  // The opener itself starts fine where no browser is installed, and only
  // its status tells that nothing was shown.
  Glib::signal_child_watch().connect(
    [on_failure](Glib::Pid child, int status) {
      GError* error = nullptr;
      if (!g_spawn_check_wait_status(status, &error)) {
        const std::string why = Glib::ustring::compose(_("\"%1\" found no program to show it (%2)"),
                                                        MANUAL_OPENER, error->message);
        g_error_free(error);
        on_failure(why);
      }
      Glib::spawn_close_pid(child);
    },
    pid);
  return true;
}

} // namespace velkaro
