#include "model/itext_editable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include <glib.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "common/text_range.h"
#include "model/text_measure.h"
#include "model/text_measure_batch.h"

namespace velkaro {
namespace {

bool is_continuation_byte(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Moves i back to the lead byte of the character it falls into.
int32_t align_to_char_start(const char* text, int32_t i)
{
  while (i > 0 && is_continuation_byte(text[i]))
    --i;
  return i;
}

int32_t text_length(const char* text)
{
  return static_cast<int32_t>(std::min<size_t>(std::strlen(text), std::numeric_limits<int32_t>::max()));
}

// Truncates toward zero; out-of-range values saturate and NaN gives 0.
int32_t scale(int32_t v, double zoom)
{
  const double d = std::trunc(v * zoom);
  if (std::isnan(d))
    return 0;
  return static_cast<int32_t>(std::clamp<double>(d, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

} // namespace

std::shared_ptr<CtrlDataForITextEditable> CtrlDataForITextEditable::copy() const
{
  auto r = create();
  if (m_pango_layout)
    r->m_pango_layout = m_pango_layout->copy();
  r->m_text = m_text;
  r->m_ink = m_ink;
  r->m_ink_of = m_ink_of;
  // The copy's layout is another object: measured afresh.
  r->m_ink_layout = nullptr;
  r->m_pango_layout_offset = m_pango_layout_offset;
  r->m_cursor_index = m_cursor_index;
  r->m_is_editing = m_is_editing;
  if (m_text_range)
    r->m_text_range = m_text_range->dup();
  return r;
}

bool CtrlITextEditable::get_accepts_text(const std::string& text)
{
  (void)text;
  return true;
}

Rectangle CtrlITextEditable::get_pango_layout_rect()
{
  return get_default_pango_layout_rect();
}

Rectangle CtrlITextEditable::get_default_pango_layout_rect()
{
  auto& data = get_data_ite();
  const Point& offset = data.m_pango_layout_offset;
  Rectangle r{offset.get_x(), offset.get_y(), 0, 0};
  std::optional<Pango::Rectangle> ink;
  if (!data.m_pango_layout && get_defers_layout()) {
    // What the plain layout that would hold the text measures.
    const uint64_t generation = ModelTextMeasure::get_generation();
    if (!data.m_ink || data.m_ink_of != generation) {
      data.m_ink = ModelTextMeasure::get_pixel_ink_extents(data.m_text);
      data.m_ink_of = generation;
    }
    ink = data.m_ink;
  } else if (const auto layout = get_pango_layout()) {
    // Asked often while laying out (a class's box reads its texts' often):
    // measured again only once the layout changed.
    const guint serial = pango_layout_get_serial(layout->gobj());
    if (!data.m_ink || data.m_ink_layout != layout->gobj() || data.m_ink_serial != serial) {
      data.m_ink = ModelTextMeasure::get_pixel_ink_extents(layout);
      data.m_ink_layout = layout->gobj();
      data.m_ink_serial = serial;
    }
    ink = data.m_ink;
  }
  if (ink) {
    r.width = ink->get_x() + ink->get_width();
    r.height = ink->get_y() + ink->get_height();
  }
  return r;
}

Glib::RefPtr<Pango::Layout> CtrlITextEditable::get_pango_layout()
{
  auto& data = get_data_ite();
  if (!data.m_pango_layout) {
    data.m_pango_layout = new_pango_layout();
    if (data.m_pango_layout && !data.m_text.empty()) {
      pango_layout_set_text(data.m_pango_layout->gobj(), data.m_text.data(),
                            static_cast<int>(data.m_text.size()));
      std::string().swap(data.m_text);
    }
    data.m_ink.reset();
  }
  return data.m_pango_layout;
}

void CtrlITextEditable::set_pango_layout(const Glib::RefPtr<Pango::Layout>& layout)
{
  auto& data = get_data_ite();
  data.m_pango_layout = layout;
  std::string().swap(data.m_text);
  data.m_ink.reset();
}

const char* CtrlITextEditable::peek_text()
{
  if (auto& data = get_data_ite(); !data.m_pango_layout && get_defers_layout())
    return data.m_text.c_str();
  const auto layout = get_pango_layout();
  if (!layout)
    return "";
  const char* text = pango_layout_get_text(layout->gobj());
  return text ? text : "";
}

std::string CtrlITextEditable::get_text()
{
  return peek_text();
}

void CtrlITextEditable::set_text(const std::string& text)
{
  auto& data = get_data_ite();
  // The layout holds a C string: what follows a NUL could never be read back.
  const size_t length = std::strlen(text.c_str());
  if (!data.m_pango_layout && get_defers_layout() &&
      g_utf8_validate(text.c_str(), static_cast<gssize>(length), nullptr)) {
    // As the layout would keep it.
    data.m_text.assign(text.c_str(), length);
    data.m_ink = ModelTextMeasureBatch::expect(data.m_text);
    if (data.m_ink)
      data.m_ink_of = ModelTextMeasure::get_generation();
  } else if (const auto layout = get_pango_layout()) {
    pango_layout_set_text(layout->gobj(), text.c_str(), static_cast<int>(length));
  }
  const char* now = peek_text();
  // Pango may have replaced invalid bytes, so measure what it kept.
  data.m_cursor_index = align_to_char_start(now, std::min(data.m_cursor_index, text_length(now)));
}

void CtrlITextEditable::set_cursor_index(int32_t i)
{
  const char* text = peek_text();
  get_data_ite().m_cursor_index = align_to_char_start(text, std::clamp(i, 0, text_length(text)));
}

int32_t CtrlITextEditable::get_next_or_prev_char(int32_t index, bool forward)
{
  const char* text = peek_text();
  const int32_t length = text_length(text);
  if (!forward) {
    if (index < 1)
      return -1;
    return align_to_char_start(text, std::min(index, length) - 1);
  }
  const int32_t i = std::clamp(index, 0, length);
  if (text[i] == '\0')
    return i;
  // The length of the sequence comes from its lead byte; a sequence cut
  // short by the end of the text stops there.
  return std::min(i + static_cast<int32_t>(g_utf8_skip[static_cast<unsigned char>(text[i])]), length);
}

std::shared_ptr<TextRange> CtrlITextEditable::get_text_range()
{
  auto& data = get_data_ite();
  if (!data.m_text_range)
    data.m_text_range = TextRange::create(0, 0);
  return data.m_text_range;
}

void CtrlITextEditable::set_text_range(const std::shared_ptr<TextRange>& r)
{
  get_data_ite().m_text_range = r;
}

bool CtrlITextEditable::get_has_range()
{
  const auto& r = get_data_ite().m_text_range;
  return r && r->get_size() > 0;
}

std::optional<std::string> CtrlITextEditable::get_selected_text()
{
  const auto range = get_text_range();
  const char* text = peek_text();
  const int32_t length = text_length(text);
  // TextRange's fields are public, so guard both ends, not only the end.
  const int32_t start = std::clamp(range->start, 0, length);
  const int32_t end = std::clamp(range->end, 0, length);
  if (start > end)
    return std::nullopt;
  return std::string(text + start, static_cast<size_t>(end - start));
}

void CtrlITextEditable::set_cursor_location(cairo_rectangle_int_t& rect, double zoom)
{
  rect = {scale(rect.x, zoom), scale(rect.y, zoom), scale(rect.width, zoom), scale(rect.height, zoom)};
  get_data_ite().m_cursor_location = rect;
}

} // namespace velkaro
