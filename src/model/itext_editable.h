#pragma once
// The text-holder interface: anything whose text the user edits in place
// (a diagram's text element, the command line, the text editor's idle
// placeholder, the text drawer's adapter for a bare layout).
//
// All editing state of one text lives in a CtrlDataForITextEditable record
// that the implementer owns for its whole life and hands out through
// get_data_ite(). The interface supplies every text, cursor, selection and
// layout operation over that record once, so an implementer provides only a
// factory for its Pango layout and access to its record.
//
// Positions are byte offsets into the UTF-8 text of the layout. set_text and
// set_cursor_index leave the cursor on the start of a character or at the
// end of the text; every read clamps its indexes into the text, so even a
// layout replaced behind the cursor's back is never read past its end.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <cairo.h>
#include <glibmm/refptr.h>
#include <pangomm/layout.h>

#include "common/point.h"
#include "common/rectangle.h"

namespace Pango {
class Layout;
}

namespace velkaro {

struct TextRange;

// The editing state of one text holder. The layout, the offset point and the
// text range are made on first use by the holder's getters and kept from then
// on; they are replaced only through the holder's setters. A holder that
// defers its layout (CtrlITextEditable::get_defers_layout()) keeps its text
// here as a string until the layout is made.
class CtrlDataForITextEditable {
public:
  CtrlDataForITextEditable() = default;
  CtrlDataForITextEditable(const CtrlDataForITextEditable&) = delete;
  CtrlDataForITextEditable& operator=(const CtrlDataForITextEditable&) = delete;

  static std::shared_ptr<CtrlDataForITextEditable> create()
  {
    return std::make_shared<CtrlDataForITextEditable>();
  }
  // An independent record: a deep copy of the layout (text, font and
  // attributes), a new offset point and a new range with the same values,
  // the cursor index and the editing flag. cursor_point_x and the cursor
  // location start at 0.
  std::shared_ptr<CtrlDataForITextEditable> copy() const;

  // The horizontal cursor position, in whole layout pixels, that the text
  // editor keeps across vertical motions.
  int32_t get_cursor_point_x() const { return m_cursor_point_x; }
  void set_cursor_point_x(int32_t x) { m_cursor_point_x = x; }

private:
  friend class CtrlITextEditable;

  Glib::RefPtr<Pango::Layout> m_pango_layout;
  // The text while there is no layout, for a holder that defers it, and
  // its measurement, which stands while ModelTextMeasure's generation is
  // m_ink_of (a text is measured more than once as it is laid out). With a
  // layout, m_ink is the layout's measurement while the layout is
  // m_ink_layout at serial m_ink_serial (Pango changes the serial with
  // anything that changes the layout, its context's settings included).
  std::string m_text;
  std::optional<Pango::Rectangle> m_ink;
  uint64_t m_ink_of = 0;
  const void* m_ink_layout = nullptr;
  guint m_ink_serial = 0;
  // Where the layout's origin lies in the holder's box.
  Point m_pango_layout_offset;
  int32_t m_cursor_index = 0;
  int32_t m_cursor_point_x = 0;
  bool m_is_editing = false;
  std::shared_ptr<TextRange> m_text_range;
  // In window pixels, for the input method.
  cairo_rectangle_int_t m_cursor_location{0, 0, 0, 0};
};

class CtrlITextEditable {
public:
  virtual ~CtrlITextEditable() = default;

  // A new layout for this holder's text, owned by the caller. Called by
  // get_pango_layout() when the record has none; may return null for a
  // holder that stores its layout itself with set_pango_layout().
  virtual Glib::RefPtr<Pango::Layout> new_pango_layout() = 0;
  // The implementer's own record, the same one for its whole life.
  virtual CtrlDataForITextEditable& get_data_ite() = 0;
  // True when new_pango_layout() always makes a layout of
  // ModelTextMeasure's shared context without text or any setting of its
  // own (a plain one). The holder then makes no layout for its text until
  // something asks for it (get_pango_layout()): until then the text is kept
  // as a string, measured by its string, and given to the layout when it
  // is made. By default false.
  virtual bool get_defers_layout() { return false; }
  // Whether the holder may take text as its text (the text editor leaves a
  // change that it refuses undone). By default every text.
  virtual bool get_accepts_text(const std::string& text);
  // The rectangle of the laid-out text in canvas units; by default
  // get_default_pango_layout_rect().
  virtual Rectangle get_pango_layout_rect();
  // Starts at the layout offset ((0, 0) when none was made) and reaches the
  // right and bottom edges of the layout's ink extents, in pixels, measured
  // from the layout's origin. Makes the layout when absent, unless the
  // holder defers it; never the offset.
  Rectangle get_default_pango_layout_rect();

  // The record's layout, made by new_pango_layout() when absent (holding
  // the text kept until then, for a holder that defers its layout).
  Glib::RefPtr<Pango::Layout> get_pango_layout();
  // The record takes a reference to layout (null allowed) and drops its old
  // one, and any text kept without a layout.
  void set_pango_layout(const Glib::RefPtr<Pango::Layout>& layout);
  // The record's offset point; (0, 0) until one is set.
  const Point& get_pango_layout_offset() { return get_data_ite().m_pango_layout_offset; }
  void set_pango_layout_offset(const Point& p) { get_data_ite().m_pango_layout_offset = p; }

  // The layout's text; the empty text for a holder without a layout.
  std::string get_text();
  // The layout takes the text up to its first NUL; then a cursor beyond the
  // new text moves to its end (or back to the start of the character it
  // falls into). The selected range is not adjusted. A holder that defers
  // its layout and has none keeps valid UTF-8 as it is, without making the
  // layout, and has it measured ahead by an open ModelTextMeasureBatch;
  // other text is given to a layout at once, which replaces what is not
  // UTF-8.
  void set_text(const std::string& text);

  int32_t get_cursor_index() { return get_data_ite().m_cursor_index; }
  // Clamped into 0..length of the text and moved back to the start of the
  // character it falls into, so that no later read passes the text's end.
  void set_cursor_index(int32_t i);
  // The index just after the character at the cursor; the cursor itself at
  // the end of the text. The cursor does not move.
  int32_t get_next_char() { return get_next_or_prev_char(get_cursor_index(), true); }
  // The index of the character before the cursor; -1 at 0. The cursor does not move.
  int32_t get_prev_char() { return get_next_or_prev_char(get_cursor_index(), false); }
  // One UTF-8 character forward or back from index. Forward: past the
  // character that starts there, or index itself at the end of the text.
  // Back: to the lead byte of the character before index, -1 for an index
  // below 1. An index beyond the text counts as its end, a negative one
  // (going forward) as its start.
  int32_t get_next_or_prev_char(int32_t index, bool forward);

  bool get_is_editing() { return get_data_ite().m_is_editing; }
  void set_is_editing(bool b) { get_data_ite().m_is_editing = b; }

  // The selected byte range [start, end), made as (0, 0) when absent.
  std::shared_ptr<TextRange> get_text_range();
  // The record keeps that very range (null allowed).
  void set_text_range(const std::shared_ptr<TextRange>& r);
  // True when the record holds a range of size above 0; makes no range.
  bool get_has_range();
  // The bytes of the text from the range's start up to its end, both first
  // brought into 0..length; none when the start then lies beyond the end.
  std::optional<std::string> get_selected_text();

  // Multiplies each of the four values of rect by zoom, truncating toward
  // zero, writes them back into rect and keeps them as the cursor location.
  void set_cursor_location(cairo_rectangle_int_t& rect, double zoom);
  cairo_rectangle_int_t get_cursor_location() { return get_data_ite().m_cursor_location; }

private:
  // The layout's own text, or the text kept without one (valid until the
  // text changes); "" without either.
  const char* peek_text();
};

} // namespace velkaro
