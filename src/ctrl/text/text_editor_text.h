#pragma once
// Small helpers over the edited text shared by the text editor's sources.
// Internal to the editor.

#include <cstdint>
#include <limits>
#include <string>

#include <glib.h>

#include "model/itext_editable.h"

namespace velkaro::text_editor_detail {

inline int32_t length_of(const std::string& text)
{
  return text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())
           ? std::numeric_limits<int32_t>::max()
           : static_cast<int32_t>(text.size());
}

// The cursor of ite, first brought onto the start of a character within the
// text: a layout changed behind the record's back may have left it beyond.
inline int32_t cursor_of(CtrlITextEditable& ite)
{
  ite.set_cursor_index(ite.get_cursor_index());
  return ite.get_cursor_index();
}

// i brought into 0..length of the text and back onto the start of the
// character it falls into.
inline int32_t char_start_of(CtrlITextEditable& ite, int32_t i)
{
  const int32_t length = length_of(ite.get_text());
  if (i <= 0)
    return 0;
  if (i >= length)
    return length;
  // next() of a byte inside a character is the byte after it, whose prev()
  // is the character's start.
  return ite.get_next_or_prev_char(ite.get_next_or_prev_char(i, true), false);
}

// Whether the character starting at byte i of text is a line feed (Unicode
// line-break class LF); the end of the text is not.
inline bool is_line_feed_at(const std::string& text, int32_t i)
{
  if (i < 0 || i >= length_of(text))
    return false;
  const gunichar c = g_utf8_get_char_validated(text.c_str() + i, static_cast<gssize>(text.size()) - i);
  return c < 0x110000 && g_unichar_break_type(c) == G_UNICODE_BREAK_LINE_FEED;
}

// Whether byte i of text is '\n' (in UTF-8 always a character of its own).
inline bool is_lf_byte(const std::string& text, int32_t i)
{
  return i >= 0 && i < length_of(text) && text[static_cast<size_t>(i)] == '\n';
}

} // namespace velkaro::text_editor_detail
