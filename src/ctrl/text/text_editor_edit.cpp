// The text editor's edits, the clipboard and the line-yank text.
#include <algorithm>
#include <cstring>

#include <pangomm/layout.h>

#include "common/check.h"
#include "common/text_range.h"
#include "ctrl/text/text_editor.h"
#include "ctrl/text/text_editor_clipboard.h"
#include "ctrl/text/text_editor_text.h"

namespace velkaro {

using text_editor_detail::char_start_of;
using text_editor_detail::cursor_of;
using text_editor_detail::is_line_feed_at;
using text_editor_detail::length_of;

namespace {

std::optional<std::string>& line_yank_text()
{
  static std::optional<std::string> text;
  return text;
}

// The text a layout would keep: everything before the first NUL.
std::string up_to_nul(const std::string& s)
{
  return std::string(s.c_str(), std::strlen(s.c_str()));
}

// text with `inserted` put in at byte i.
std::string inserted_at(std::string text, int32_t i, const std::string& inserted)
{
  text.insert(static_cast<size_t>(i), inserted);
  return text;
}

// text without the bytes [start, end).
std::string erased(std::string text, int32_t start, int32_t end)
{
  text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
  return text;
}

int32_t index_after(int32_t i, const std::string& inserted)
{
  return static_cast<int32_t>(std::min<int64_t>(int64_t(i) + length_of(inserted), INT32_MAX));
}

// What a whole-line deletion at the cursor removes: [start, end), the line
// with the line feed before it, or else with the one after it; and the
// line's own text, [text_start, text_end), without line feeds.
struct LineSpan {
  int32_t start;
  int32_t end;
  int32_t text_start;
  int32_t text_end;
};

LineSpan line_span(CtrlITextEditable& ite, const std::string& text, int32_t cursor)
{
  int32_t start = cursor;
  bool lf_before = false;
  for (int32_t i = ite.get_next_or_prev_char(start, false); i >= 0; i = ite.get_next_or_prev_char(i, false)) {
    start = i;
    if (is_line_feed_at(text, i)) {
      lf_before = true;
      break;
    }
  }
  int32_t end = cursor;
  bool lf_after = false;
  for (int32_t next = ite.get_next_or_prev_char(end, true); next != end; next = ite.get_next_or_prev_char(end, true)) {
    if (is_line_feed_at(text, end)) {
      // The line feed after goes only when none goes before.
      if (!lf_before) {
        end = next;
        lf_after = true;
      }
      break;
    }
    end = next;
  }
  // A line feed is one byte.
  return {start, end, lf_before ? start + 1 : start, lf_after ? end - 1 : end};
}

} // namespace

void CtrlTextEditor::forget_line_yank_text() { line_yank_text().reset(); }

const std::optional<std::string>& CtrlTextEditor::get_line_yank_text()
{
  return line_yank_text();
}

bool CtrlTextEditor::del()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const std::string text = ite->get_text();
  int32_t start = 0;
  int32_t end = 0;
  if (ite->get_has_range()) {
    const std::shared_ptr<TextRange> range = ite->get_text_range();
    const int32_t range_start = range->start;
    const int32_t range_end = range->end;
    range->clear();
    // A range left over from an earlier text: it selects nothing real, so
    // nothing is deleted and nothing reported.
    if (range_start < 0 || range_end > length_of(text))
      return false;
    start = char_start_of(*ite, range_start);
    end = char_start_of(*ite, range_end);
  } else {
    start = cursor_of(*ite);
    end = ite->get_next_or_prev_char(start, true);
  }
  if (end == start)
    return true;
  commit_text(*ite, erased(text, start, end), [&] { ite->set_cursor_index(start); });
  m_signal_exit_request.emit();
  return true;
}

bool CtrlTextEditor::del_line()
{
  const std::shared_ptr<CtrlTextEditor> keep = keep_alive();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const std::string text = ite->get_text();
  const int32_t cursor = cursor_of(*ite);
  int line = 0;
  int x = 0;
  if (const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout())
    layout->index_to_line_x(cursor, false, line, x);

  const LineSpan span = line_span(*ite, text, cursor);
  // The copy drops the line-yank text; the line's own text then becomes it
  // (none for an empty line, which leaves the clipboard alone).
  select(span.text_start, span.text_end);
  std::optional<std::string> yank = copy_to_clipboard();
  line_yank_text() = std::move(yank);
  ite->get_text_range()->clear();

  // The cursor goes to the same line index at the remembered x, or, past
  // the last line, onto the line that now holds the start of the deletion.
  commit_text(*ite, erased(text, span.start, span.end), [&] {
    const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout();
    if (layout && line >= layout->get_line_count()) {
      ite->set_cursor_index(span.start);
      layout->index_to_line_x(cursor_of(*ite), false, line, x);
    }
    place_cursor_on_line(*ite, line);
  });
  m_signal_exit_request.emit();
  return true;
}

bool CtrlTextEditor::bs()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t cursor = cursor_of(*ite);
  const int32_t before = ite->get_next_or_prev_char(cursor, false);
  if (before < 0)
    return true;
  commit_text(*ite, erased(ite->get_text(), before, cursor), [&] {
    ite->set_cursor_index(before);
    update_cursor_point_x();
  });
  return true;
}

bool CtrlTextEditor::new_line()
{
  if (!m_new_line_allowed)
    return false;
  commit_cb("\n");
  return true;
}

void CtrlTextEditor::commit_cb(const std::string& str)
{
  const std::string typed = up_to_nul(str);
  cancel_preedit();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t cursor = cursor_of(*ite);
  commit_text(*ite, inserted_at(ite->get_text(), cursor, typed), [&] {
    ite->set_cursor_index(index_after(cursor, typed));
    update_cursor_point_x();
  });
}

void CtrlTextEditor::insert(const std::string& text)
{
  const std::string inserted = up_to_nul(text);
  if (inserted.empty())
    return;
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t cursor = cursor_of(*ite);
  commit_text(*ite, inserted_at(ite->get_text(), cursor, inserted), [&] {
    ite->set_cursor_index(index_after(cursor, inserted));
    if (!m_insert_style)
      ite->set_cursor_index(ite->get_prev_char());
    update_cursor_point_x();
  });
  m_signal_exit_request.emit();
}

std::optional<std::string> CtrlTextEditor::copy_to_clipboard()
{
  line_yank_text().reset();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  if (!ite->get_has_range())
    return std::nullopt;
  std::optional<std::string> selected = ite->get_selected_text();
  if (selected)
    m_clipboard->set_text(*selected);
  return selected;
}

bool CtrlTextEditor::copy()
{
  copy_to_clipboard();
  m_signal_exit_request.emit();
  return true;
}

bool CtrlTextEditor::cut()
{
  if (!get_ite()->get_has_range())
    return false;
  const std::shared_ptr<CtrlTextEditor> keep = keep_alive();
  copy();
  return del();
}

bool CtrlTextEditor::cut_or_del()
{
  const std::shared_ptr<CtrlTextEditor> keep = keep_alive();
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const int32_t length = length_of(ite->get_text());
  if (!ite->get_has_range() && length > 0) {
    const int32_t cursor = cursor_of(*ite);
    // The character under the cursor, or the last one with the cursor at the end.
    select(std::min(cursor, ite->get_next_or_prev_char(length, false)),
           std::min(ite->get_next_or_prev_char(cursor, true), length));
  }
  copy();
  return del();
}

bool CtrlTextEditor::paste(bool after)
{
  const std::shared_ptr<CtrlTextEditor> keep = keep_alive();
  // Held here: a handler run while the clipboard is waited for may replace it.
  const std::shared_ptr<CtrlTextEditorClipboard> clipboard = m_clipboard;
  std::optional<std::string> str = clipboard->wait_for_text();
  const bool same = str == line_yank_text();
  // Whether the text replaces a selection, which makes the paste
  // character-wise; the clipboard text was fetched before the cut replaces it.
  const bool had_range = get_ite()->get_has_range();
  cut();
  if (!str)
    return true;

  const bool linewise = same && !had_range;
  if (linewise && after) {
    place_cursor_at_eol();
    str = "\n" + *str;
  } else if (linewise) {
    place_cursor_at_sol();
    *str += "\n";
  }
  if (after) {
    const std::shared_ptr<CtrlITextEditable> ite = get_ite();
    const int32_t cursor = cursor_of(*ite);
    // After the character under the cursor, but before a line feed there.
    if (!is_line_feed_at(ite->get_text(), cursor))
      ite->set_cursor_index(ite->get_next_or_prev_char(cursor, true));
  }
  insert(*str);
  if (linewise)
    move_cursor_at_sol();
  return true;
}

} // namespace velkaro
