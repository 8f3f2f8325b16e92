#pragma once
// ViewTextDrawer: draws a set of text holders (CtrlITextEditable) and bare
// Pango layouts, each at its layout rectangle moved by a common offset,
// with the selected range on a coloured background and a text cursor whose
// shape tells the text mode: a bar 2 wide while inserting (and for the
// inactive cursor), an inverting block as wide as the character (6 at the
// end of the text) in the normal role, an underline 3 high as wide as the
// character (10 at the end) in the visual role. While it draws a cursor it
// reports the cursor rectangle, in window pixels, back to the holder, which
// hands it to the input method.
//
// Which holder shows a cursor: with a controller bound, only the
// controller's text element under the cursor (its shape from the current
// mode's role, or a bar in inactive_text_cursor when the current mode is
// not a text mode); without one, every holder whose editing flag is set.
// On a drawer context that shows no editor marks (an export) no holder
// shows a cursor or its selected range.
//
// Text is always drawn in the palette's text colour (the override colour is
// not read). The selection goes on a copy of the holder's layout, never on
// the holder's own.
//
// A short-lived object: make one, set the offset, add the texts, bind and
// draw it once (draw_for, or draw() for one made with a context), drop it.
// ViewWsDrawer::draw_text_elm() does this for an element's text.

#include <cstdint>
#include <memory>
#include <vector>

#include <glibmm/refptr.h>

#include "common/point.h"
#include "model/itext_editable.h"
#include "view/drawer.h"

namespace Pango {
class Layout;
}

namespace velkaro {

struct TextRange;

class ViewTextDrawer : public ViewDrawer {
public:
  // Unbound: bind it with draw_for().
  ViewTextDrawer() = default;
  // Bound to dc without a controller.
  explicit ViewTextDrawer(const std::shared_ptr<ViewDrawerContext>& dc) : ViewDrawer(dc) {}

  // Added to every holder's layout rectangle; (0, 0) at first.
  Point offset;

  // Adds a holder (held by counted reference, once however often it is
  // added); true when it was not there yet.
  bool add_ite(const std::shared_ptr<CtrlITextEditable>& ite);
  // Adds a bare layout through a new holder (so one layout added twice is
  // drawn twice): a cursor index of 0 or more shows a cursor there (the
  // holder is editing), a negative one none; range (null: none) is the
  // selection. True.
  bool add_layout(const Glib::RefPtr<Pango::Layout>& layout, int32_t cursor_index,
                  const std::shared_ptr<TextRange>& range);

  // Draws every holder whose moved layout rectangle touches the clip
  // region, in the order they were added.
  void draw() override;

  // Marks range (byte offsets) in layout with a background of the palette's
  // selected_text; an empty range marks nothing.
  void set_attr_select_range(const Glib::RefPtr<Pango::Layout>& layout, const TextRange& range);
  // Draws layout with its origin at pt in the text colour and, for a cursor
  // index of 0 or more, the cursor of the shape the flags give (see the
  // header comment; normal: white with DIFFERENCE, else cursor_color), and
  // reports it to the holder drawn last. Leaves the cairo state as it was.
  void draw_pango_layout(const Glib::RefPtr<Pango::Layout>& layout, const Point& pt, const GdkRGBA& cursor_color,
                         int32_t cursor_index, bool normal, bool visual);

  // The holder drawn last, or null.
  const std::shared_ptr<CtrlITextEditable>& get_now_ite() const { return m_now_ite; }

private:
  struct Cursor {
    GdkRGBA color;
    int32_t index;
    bool normal;
    bool visual;
  };
  // The cursor ite shows, from the controller's mode or its editing flag.
  Cursor cursor_for(CtrlITextEditable& ite) const;
  // The bound drawer context draws the editor's marks.
  bool shows_editor() const;

  std::vector<std::shared_ptr<CtrlITextEditable>> m_ites;
  std::shared_ptr<CtrlITextEditable> m_now_ite;
};

// Makes a bare Pango layout look like a text holder, for the text drawer.
class ViewTextDrawerIntegrationLayoutAndIte : public CtrlITextEditable {
public:
  // layout becomes the holder's layout; a cursor index of 0 or more is
  // stored with the editing flag set, a negative one leaves the index at 0
  // and the flag clear; range (null: an empty one made on demand) becomes
  // the selection.
  ViewTextDrawerIntegrationLayoutAndIte(const Glib::RefPtr<Pango::Layout>& layout, int32_t cursor_index,
                                        const std::shared_ptr<TextRange>& range);

  // Never makes a layout: it always has the one it was made with.
  Glib::RefPtr<Pango::Layout> new_pango_layout() override { return {}; }
  CtrlDataForITextEditable& get_data_ite() override { return m_data; }

private:
  CtrlDataForITextEditable m_data;
};

} // namespace velkaro
