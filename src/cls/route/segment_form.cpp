#include "cls/route/segment_form.h"

namespace velkaro {

std::string cls_segment_form_to_nick(ClsSegmentForm form)
{
  static const char* const nicks[] = {
      "undetermined", "l-dec-none", "l-none-dec", "u-dec-dec", "c-dec-inc",
      "b-none-none",  "c-inc-dec",  "u-inc-inc",  "l-none-inc", "l-inc-none",
  };
  const int i = static_cast<int>(form);
  return i >= 0 && i < 10 ? nicks[i] : "";
}

} // namespace velkaro
