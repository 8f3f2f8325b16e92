#include "common/app_id.h"

namespace velkaro {

std::string app_id_exename(std::string_view id)
{
  for (int skip = 0; skip < 2; ++skip) {
    const auto dot = id.find('.');
    if (dot == std::string_view::npos)
      return "";
    id.remove_prefix(dot + 1);
  }
  return std::string(id.substr(0, id.find('.')));
}

} // namespace velkaro
