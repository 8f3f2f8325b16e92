// A segment's shape, which shapes may share springs, and the order in which
// parallel segments are placed side by side.

#include <cmath>

#include "cls/route/segment.h"

namespace velkaro {

namespace {

using Form = ClsSegmentForm;

bool form_is_any_of(Form f, std::initializer_list<Form> forms)
{
  for (Form g : forms)
    if (f == g)
      return true;
  return false;
}

} // namespace

int ClsSegment::turn_of(const ClsSegment* neighbour) const
{
  const CellPos far = get_further_pos(neighbour);
  if (!far.get_is_valid())
    return 0;
  const int32_t f = far.get(cell_dir_inv(get_hv()));
  const int32_t o = get_cell_pos_orth();
  return f < o ? -1 : f > o ? 1 : 0;
}

ClsSegmentForm ClsSegment::get_form() const
{
  if (m_form != Form::undetermined)
    return m_form;
  // Rows: the smaller side's turn (-1, 0, +1); columns: the bigger side's.
  static const Form forms[3][3] = {
      {Form::u_dec_dec, Form::l_dec_none, Form::c_dec_inc},
      {Form::l_none_dec, Form::b_none_none, Form::l_none_inc},
      {Form::c_inc_dec, Form::l_inc_none, Form::u_inc_inc},
  };
  const int smaller = turn_of(get_smaller_segment().get());
  const int bigger = turn_of(get_bigger_segment().get());
  m_form = forms[smaller + 1][bigger + 1];
  return m_form;
}

bool ClsSegment::is_seg_linkable(const ClsSegment& seg) const
{
  const Form a = get_form();
  const Form b = seg.get_form();
  if (a == Form::b_none_none || b == Form::b_none_none)
    return true;
  const std::initializer_list<Form> none_first = {Form::l_none_dec, Form::l_none_inc};
  const std::initializer_list<Form> none_last = {Form::l_dec_none, Form::l_inc_none};
  const std::initializer_list<Form> both = {Form::u_dec_dec, Form::c_dec_inc, Form::c_inc_dec,
                                            Form::u_inc_inc};
  if (form_is_any_of(a, none_first))
    return form_is_any_of(b, none_first);
  if (form_is_any_of(a, none_last))
    return form_is_any_of(b, none_last);
  if (form_is_any_of(a, both))
    return form_is_any_of(b, both);
  return false;
}

int ClsSegment::cmp(const ClsSegment& a, const ClsSegment& b)
{
  const Form fa = a.get_form();
  const Form fb = b.get_form();
  if (fa == fb) {
    if (a.get_linked_elem_near_to_org() != b.get_linked_elem_near_to_org())
      return -1;
    if (a.get_linked_elem_far_from_org() != b.get_linked_elem_far_from_org())
      return 1;
    const int32_t sa = a.get_size();
    const int32_t sb = b.get_size();
    if (sa == sb)
      return 0;
    // Shorter first for forms up to c-dec-inc, longer first above.
    return fa <= Form::c_dec_inc ? sa - sb : sb - sa;
  }
  if (form_is_any_of(fa, {Form::l_dec_none, Form::l_none_dec}) &&
      form_is_any_of(fb, {Form::l_dec_none, Form::l_none_dec}))
    return static_cast<int>(std::trunc(b.get_min_elem_size() - a.get_min_elem_size()));
  if (form_is_any_of(fa, {Form::l_inc_none, Form::l_none_inc}) &&
      form_is_any_of(fb, {Form::l_inc_none, Form::l_none_inc}))
    return static_cast<int>(std::trunc(a.get_min_elem_size() - b.get_min_elem_size()));
  return static_cast<int>(fa) - static_cast<int>(fb);
}

void ClsSegment::sort(std::vector<SegmentPtr>& segments)
{
  // Bottom-up merge sort. A merge compares only the heads of two runs and
  // always takes one of them, so it ends after exactly as many steps as the
  // runs hold, whatever cmp() answers.
  const size_t n = segments.size();
  std::vector<SegmentPtr> buffer(n);
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n);
      const size_t hi = std::min(lo + 2 * width, n);
      size_t i = lo;
      size_t j = mid;
      size_t k = lo;
      while (i < mid && j < hi)
        buffer[k++] = cmp(*segments[j], *segments[i]) < 0 ? std::move(segments[j++])
                                                          : std::move(segments[i++]);
      while (i < mid)
        buffer[k++] = std::move(segments[i++]);
      while (j < hi)
        buffer[k++] = std::move(segments[j++]);
    }
    segments.swap(buffer);
  }
}

} // namespace velkaro
