#pragma once
// ClsSegmentForm: the shape of a connector segment given by the segments
// joined to its two ends. After the letter come two signs, first for the
// neighbour at the segment's lower end (smaller coordinate along it), then
// for the one at its higher end: dec when that neighbour's far end lies at a
// smaller coordinate across the segment, inc at a larger one, none when no
// segment is joined there. l: exactly one side none; u: both signs the same;
// c: opposite signs; b: both sides none. The values order the forms when
// parallel segments are placed side by side.

#include <string>

namespace velkaro {

enum class ClsSegmentForm {
  undetermined = 0,
  l_dec_none = 1,
  l_none_dec = 2,
  u_dec_dec = 3,
  c_dec_inc = 4,
  b_none_none = 5,
  c_inc_dec = 6,
  u_inc_inc = 7,
  l_none_inc = 8,
  l_inc_none = 9,
};

// The nick: "undetermined", "l-dec-none", ... "l-inc-none"; "" for a value
// outside the enumeration.
std::string cls_segment_form_to_nick(ClsSegmentForm form);

} // namespace velkaro
