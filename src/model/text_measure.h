#pragma once
// ModelTextMeasure: the Pango context that every text element's layout is
// made with, and the ink extents of texts laid out with it, measured once
// per distinct string.
//
// A document makes one layout per text. They all share one context (fixed
// font "Sans 16px", never changed afterwards), so laying a text out depends
// on its string alone, and a string is measured once, on one layout kept
// for the purpose, however many texts hold it; the texts' own layouts are
// only shaped when something draws or edits them. A layout that differs in
// any setting from a plain one of the shared context (attributes, a font,
// a width, another context) is measured itself. The measurements are
// forgotten when the context changes (a font map that changed), and when
// there are many.
//
// The main thread's only: Pango objects are not shared between threads.

#include <glibmm/refptr.h>
#include <pangomm/context.h>
#include <pangomm/layout.h>

namespace velkaro {

class ModelTextMeasure {
public:
  // The shared context.
  static Glib::RefPtr<Pango::Context> get_context();
  // layout's ink extents in pixels (Pango::Layout::get_pixel_ink_extents()).
  static Pango::Rectangle get_pixel_ink_extents(const Glib::RefPtr<Pango::Layout>& layout);
  // Drops the measurements (the next of each string measures it again).
  static void forget();
};

} // namespace velkaro
