#include "app/manual.h"

#include <filesystem>
#include <system_error>

#include <glib.h>

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

} // namespace velkaro
