// The text editor's cursor motions.
#include <algorithm>
#include <cmath>
#include <limits>

#include <pangomm/layout.h>
#include <pangomm/layoutline.h>

#include "ctrl/text/text_editor.h"
#include "ctrl/text/text_editor_text.h"

namespace velkaro {

using text_editor_detail::cursor_of;
using text_editor_detail::is_lf_byte;
using text_editor_detail::length_of;

namespace {

// Layout pixels to Pango units, truncated toward zero and kept in range.
int to_pango_units(double pixels)
{
  const double units = std::trunc(pixels * PANGO_SCALE);
  if (std::isnan(units))
    return 0;
  return static_cast<int>(
    std::clamp<double>(units, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// i advanced by count characters, stopping at the end of the text.
int32_t advance_chars(CtrlITextEditable& ite, int32_t i, int count)
{
  for (; count > 0; --count)
    i = ite.get_next_or_prev_char(i, true);
  return i;
}

} // namespace

bool CtrlTextEditor::move_char(int n)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  int32_t i = cursor_of(*ite);
  bool stepped_out = false;
  while (n != 0) {
    const int32_t next = ite->get_next_or_prev_char(i, n > 0);
    // A step back fails with -1 at the start, a step forward stays at the end.
    if (next < 0 || next == i) {
      stepped_out = true;
      break;
    }
    i = next;
    n += n < 0 ? 1 : -1;
  }
  ite->set_cursor_index(i);
  update_cursor_point_x();
  if (stepped_out)
    emit_overstep(n, 0);
  else
    emit_update_cursor();
  return true;
}

bool CtrlTextEditor::move_line(int n)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout();
  int line = 0;
  int x = 0;
  if (layout)
    layout->index_to_line_x(cursor_of(*ite), false, line, x);
  const int64_t target = static_cast<int64_t>(line) + n;
  if (!layout || target < 0 || target >= layout->get_line_count()) {
    emit_overstep(0, n);
    return false;
  }
  place_cursor_on_line(*ite, static_cast<int>(target));
  emit_update_cursor();
  return true;
}

void CtrlTextEditor::place_cursor_on_line(CtrlITextEditable& ite, int line)
{
  const Glib::RefPtr<Pango::Layout> layout = ite.get_pango_layout();
  const Glib::RefPtr<Pango::LayoutLine> layout_line = layout ? layout->get_line(line) : Glib::RefPtr<Pango::LayoutLine>();
  if (!layout_line)
    return;
  int index = 0;
  int trailing = 0;
  layout_line->x_to_index(to_pango_units(ite.get_data_ite().get_cursor_point_x()), index, trailing);
  // The trailing count is in characters, not bytes.
  ite.set_cursor_index(advance_chars(ite, index, trailing));
}

bool CtrlTextEditor::move_cursor_at_xy(const Point& pt)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  if (const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout()) {
    int index = 0;
    int trailing = 0;
    layout->xy_to_index(to_pango_units(pt.get_x()), to_pango_units(pt.get_y()), index, trailing);
    // Between characters, the right half of a character puts the cursor after it.
    ite->set_cursor_index(m_insert_style ? advance_chars(*ite, index, trailing) : index);
  }
  update_cursor_point_x();
  emit_update_cursor();
  return true;
}

void CtrlTextEditor::place_cursor_at_eol()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const std::string text = ite->get_text();
  const int32_t cursor = cursor_of(*ite);
  if (is_lf_byte(text, cursor))
    return;
  const size_t lf = text.find('\n', static_cast<size_t>(cursor));
  ite->set_cursor_index(lf == std::string::npos ? length_of(text) : static_cast<int32_t>(lf));
}

void CtrlTextEditor::place_cursor_at_sol()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const std::string text = ite->get_text();
  const int32_t cursor = cursor_of(*ite);
  // A line feed under the cursor itself belongs to the cursor's line.
  const size_t lf = cursor > 0 ? text.rfind('\n', static_cast<size_t>(cursor) - 1) : std::string::npos;
  ite->set_cursor_index(lf == std::string::npos ? 0 : static_cast<int32_t>(lf) + 1);
}

bool CtrlTextEditor::move_cursor_at_eol()
{
  place_cursor_at_eol();
  update_cursor_point_x();
  emit_update_cursor();
  return true;
}

bool CtrlTextEditor::move_cursor_at_sol()
{
  place_cursor_at_sol();
  update_cursor_point_x();
  emit_update_cursor();
  return true;
}

bool CtrlTextEditor::take_over_cursor(int dx, int dy, int x)
{
  set_cursor_point_x(x);
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t end = length_of(ite->get_text());
  bool result = true;
  if (dx < 0) {
    ite->set_cursor_index(end);
    result = move_char(dx + 1);
  } else if (dx > 0) {
    ite->set_cursor_index(0);
    result = move_char(dx - 1);
  }
  if (dy < 0) {
    ite->set_cursor_index(end);
    result = move_line(dy + 1);
  } else if (dy > 0) {
    ite->set_cursor_index(0);
    result = move_line(dy - 1);
  }
  return result;
}

} // namespace velkaro
