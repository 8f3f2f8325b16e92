// The normal text editor's word motions over Pango's logical attributes.
#include <pango/pango.h>
#include <pangomm/layout.h>

#include "common/c_resource.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text/text_editor_text.h"

namespace velkaro {

namespace {

// A walk over the edited text for one word motion: a byte position that
// steps by whole characters in one direction, and the tests of the logical
// attributes of the characters around it. The attributes are taken from
// the layout when the walk starts.
class CtrlTextEditorNormalTextIter {
public:
  enum Kind { WHITE = 0, WORD_START = 2, WORD_END = 3 };

  // Starts at the cursor; a direction below 1 steps backward.
  CtrlTextEditorNormalTextIter(CtrlITextEditable& ite, int direction)
    : m_ite(ite), m_text(ite.get_text()), m_direction(direction), m_pos(text_editor_detail::cursor_of(ite))
  {
    if (const Glib::RefPtr<Pango::Layout> layout = ite.get_pango_layout()) {
      PangoLogAttr* attrs = nullptr;
      pango_layout_get_log_attrs(layout->gobj(), &attrs, &m_attr_count);
      m_attrs.reset(attrs);
    }
  }

  int32_t get_pos() const { return m_pos; }
  bool get_last_move_ok() const { return m_last_move_ok; }

  // One step in the walk's direction; false, not moving, at the start (going
  // back) or the end (going forward) of the text.
  bool move()
  {
    const int32_t next = m_ite.get_next_or_prev_char(m_pos, m_direction >= 1);
    m_last_move_ok = next >= 0 && next != m_pos;
    if (m_last_move_ok)
      m_pos = next;
    return m_last_move_ok;
  }

  bool attr_is(Kind kind) const { return attr_at(m_pos, kind); }
  bool next_is(Kind kind) const { return attr_at(m_ite.get_next_or_prev_char(m_pos, true), kind); }
  bool prev_is(Kind kind) const { return attr_at(m_ite.get_next_or_prev_char(m_pos, false), kind); }

private:
  bool check(int32_t i) const { return i >= 0 && static_cast<size_t>(i) < m_text.size(); }

  // The attribute of the character at byte i (the first one starting at or
  // after i); outside the text everything is white space and nothing else.
  bool attr_at(int32_t i, Kind kind) const
  {
    if (!check(i))
      return kind == WHITE;
    const char* start = m_text.c_str();
    const char* p = start;
    int k = 0;
    while (k < m_attr_count && p - start < i) {
      p = g_utf8_next_char(p);
      ++k;
    }
    if (k >= m_attr_count)
      return false;
    const PangoLogAttr& attr = m_attrs.get()[k];
    switch (kind) {
    case WHITE:
      return attr.is_white;
    case WORD_START:
      return attr.is_word_start;
    case WORD_END:
      return attr.is_word_end;
    }
    return false;
  }

  CtrlITextEditable& m_ite;
  const std::string m_text;
  const int m_direction;
  int32_t m_pos;
  bool m_last_move_ok = true;
  CPtr<PangoLogAttr, g_free> m_attrs;
  int m_attr_count = 0;
};

using Iter = CtrlTextEditorNormalTextIter;

} // namespace

void CtrlTextEditorNormal::move_to_word(int direction)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  Iter iter(*ite, direction);
  while (iter.move()) {
    if (iter.attr_is(Iter::WORD_START))
      break;
    if (iter.attr_is(Iter::WHITE))
      continue;
    if (iter.attr_is(Iter::WORD_END) || iter.prev_is(Iter::WHITE))
      break;
  }
  // Ran out of text: no stop, the cursor stays.
  if (!iter.get_last_move_ok())
    return;
  ite->set_cursor_index(iter.get_pos());
  emit_update_cursor();
}

void CtrlTextEditorNormal::place_cursor_at_word_end(bool skip_white)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  Iter iter(*ite, 1);
  while (iter.move()) {
    if (iter.next_is(Iter::WORD_END))
      break;
    if (iter.attr_is(Iter::WHITE))
      continue;
    if (iter.next_is(Iter::WHITE) || iter.next_is(Iter::WORD_START))
      break;
  }
  if (skip_white) {
    while (iter.next_is(Iter::WHITE) && iter.get_last_move_ok())
      iter.move();
  }
  ite->set_cursor_index(iter.get_pos());
}

bool CtrlTextEditorNormal::forward()
{
  move_to_word(1);
  return true;
}

bool CtrlTextEditorNormal::backward()
{
  move_to_word(-1);
  return true;
}

bool CtrlTextEditorNormal::forward_to_end()
{
  place_cursor_at_word_end(false);
  emit_update_cursor();
  return true;
}

bool CtrlTextEditorNormal::delete_word()
{
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  set_selection_anchor(text_editor_detail::cursor_of(*ite));
  set_is_selecting(true);
  place_cursor_at_word_end(true);
  update_text_range();
  cut();
  set_is_selecting(false);
  return true;
}

} // namespace velkaro
