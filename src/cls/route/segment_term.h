#pragma once
// ClsSegmentTerm: one of the two ends of a segment.

#include <string>

namespace velkaro {

enum class ClsSegmentTerm { start = 0, end = 1 };

// "START" for start, "END" for any other value.
inline std::string cls_segment_term_to_string(ClsSegmentTerm term)
{
  return term == ClsSegmentTerm::start ? "START" : "END";
}

} // namespace velkaro
