#pragma once
// ViewDrawerContext: what every drawer draws with: the cairo context, the
// palette, the zoom and the area that needs drawing. Its owner fills it and
// hands it to each drawer in turn: the canvas keeps one for its widget and
// puts the widget's cairo context and the visible area into it at every
// draw; an exporter makes one over an off-screen image (create_make_surface).
//
// Lengths are canvas units: the grid's pixel geometry, drawn 1:1 at zoom 1.
// The cairo context is valid only while its owner draws (the canvas's one
// holds the widget's context of the latest draw until the next one).

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

#include <cairo.h>
#include <cairomm/context.h>
#include <cairomm/region.h>
#include <cairomm/surface.h>
#include <glibmm/refptr.h>

#include "common/rectangle.h"

namespace Pango {
class Layout;
}

namespace velkaro {

class ViewColorMap;

// The whole drawing a drawer context draws a part of, and what drawers
// work out about it once for all its parts. An exporter draws its image
// in parts (bands of rows, pieces of a wide row), each with a context of
// its own, and the result must be the image one drawing of the whole would
// give: a drawer whose drawing depends on what the whole drawing did
// before it (beyond its part) looks at the whole and keeps what it found
// here for the next part. Only the calling thread uses it.
class ViewWholeDrawing {
public:
  explicit ViewWholeDrawing(const cairo_rectangle_int_t& rect) : rect(rect) {}
  ViewWholeDrawing(const ViewWholeDrawing&) = delete;
  ViewWholeDrawing& operator=(const ViewWholeDrawing&) = delete;

  // The whole drawing's area, in canvas units.
  const cairo_rectangle_int_t rect;

  // What is kept under type T, made as T{} on the first call.
  template <class T>
  T& kept()
  {
    auto& slot = m_kept[std::type_index(typeid(T))];
    if (!slot)
      slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }

private:
  std::unordered_map<std::type_index, std::shared_ptr<void>> m_kept;
};

class ViewDrawerContext {
public:
  // An empty context: no surface, no cairo context, no palette, zoom 1.0,
  // update rectangle (0, 0, 0, 0).
  ViewDrawerContext() = default;
  ViewDrawerContext(const ViewDrawerContext&) = delete;
  ViewDrawerContext& operator=(const ViewDrawerContext&) = delete;

  static std::shared_ptr<ViewDrawerContext> create() { return std::make_shared<ViewDrawerContext>(); }
  // An off-screen context for rect: update_rect is rect with each field
  // truncated toward zero, surface an ARGB32 image of update_rect's width
  // and height, cr a context on it translated by (-rect.x, -rect.y) with
  // rect's own values, so that the canvas point (rect.x, rect.y) lands on
  // pixel (0, 0). Zoom 1.0, no palette. An image cairo cannot make (a
  // negative or too large size) leaves surface and cr in cairo's error
  // state: get_status() tells, and nothing must be drawn on cr then.
  static std::shared_ptr<ViewDrawerContext> create_make_surface(const Rectangle& rect);

  // The image drawn on; null for a context that draws on a widget.
  Cairo::RefPtr<Cairo::ImageSurface> surface;
  // What drawers draw with; the canvas replaces it at every draw.
  Cairo::RefPtr<Cairo::Context> cr;
  // Set by the owner: the dark palette on screen, the light one for export.
  std::shared_ptr<ViewColorMap> color_map;
  // Canvas units to window pixels; off-screen contexts stay at 1.0.
  double zoom = 1.0;
  // The area to draw, in canvas units.
  cairo_rectangle_int_t update_rect{0, 0, 0, 0};
  // Whether the editor's own marks are drawn over the diagram: the active
  // colours of the element at the cursor cell, the style of elements in
  // process (being placed, or offered by a selection), and a text's caret
  // and selected range. An export draws the diagram alone (false).
  bool shows_editor = true;
  // Set when the context draws a part of a drawing (an exporter's band):
  // the whole of it. Null for a context that draws the whole (the canvas's).
  std::shared_ptr<ViewWholeDrawing> whole;
  // Whether the drawing ends as pixels of 8-bit channels (an exporter's
  // images). Then a drawing repeated alike at one place settles: the
  // compositing of a fixed shape in a fixed style maps each channel of a
  // pixel by a non-decreasing function of its value, so a run of alike
  // drawings moves each channel steadily one way, 255 steps at most, and
  // once it stops, later alike drawings leave every pixel as it is. A
  // drawer may leave those out (a long chain of alike elements in one
  // cell). False for the canvas, whose window may hold deeper channels.
  bool settles_repeats = false;
  // The alike drawings after which a run has settled.
  static constexpr int SETTLED_AFTER = 255;

  // A new region holding update_rect alone.
  Cairo::RefPtr<Cairo::Region> get_region() const;
  // With off true at a zoom of exactly 1.0, antialiasing NONE, so that the
  // lines of the unscaled canvas stay crisp; SUBPIXEL in every other case.
  void set_antialias_off(bool off);
  // A new layout on cr showing text in the font "Sans <px>px".
  Glib::RefPtr<Pango::Layout> new_layout(const std::string& text, int32_t px) const;
  // The off-screen surface's status; success for a context without one.
  cairo_status_t get_status() const;
};

} // namespace velkaro
