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
// forgotten when the context changes (a font map that changed), and past
// 262,144 strings (a document of as many texts then measures each twice
// when it is opened).
//
// A text element makes no layout at all until something draws or edits it
// (CtrlITextEditable::get_defers_layout()): its record keeps the string and
// its measurement while the kept measurements stand, so opening a document
// makes, and later frees, no Pango object per text; with the batch below,
// a first open of 10,000 texts costs little more than a second one.
//
// Strings can also be measured ahead, in a batch on other threads
// (ModelTextMeasureBatch); what a batch measured is kept here when it
// finishes, exactly as if it had been measured here.
//
// The main thread's only: Pango objects are not shared between threads.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <glib.h>
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
  // The ink extents in pixels of a plain layout of the shared context
  // holding text, which must be valid UTF-8 without a NUL (a layout keeps
  // any other text changed).
  static Pango::Rectangle get_pixel_ink_extents(std::string_view text);
  // Drops the measurements (the next of each string measures it again).
  static void forget();

  // True when text's measurement is kept.
  static bool get_is_measured(std::string_view text);
  // Claims text for measuring elsewhere: false when it is measured (its
  // measurement then goes to measured_ink, when given) or claimed already.
  // A claimed string counts as not measured (measuring it here takes the
  // claim over) until keep() gives its measurement; claims go with the
  // measurements (forget(), a changed context).
  static bool claim(std::string_view text, std::optional<Pango::Rectangle>* measured_ink = nullptr);
  // Changes whenever kept measurements are dropped (forget(), a changed
  // context, too many strings): a measurement copied elsewhere stands for
  // as long as this stays the same.
  static uint64_t get_generation();
  // The shared context's serial now (Pango changes it with any setting of
  // the context or its font map); kept measurements of an older serial are
  // dropped first.
  static guint get_serial();
  // Keeps ink as text's measurement, taken on a context of the same
  // settings as the shared one when it had serial: dropped when the
  // shared context has changed since. Does not replace a kept measurement
  // (only a claim).
  static void keep(std::string_view text, const Pango::Rectangle& ink, guint serial);

  // For its life (nested ones included) the font map is taken as it was
  // at the first look: the context's serial is asked once, not at every
  // measurement (asking costs more than a kept measurement). For work that
  // runs no main-loop iteration (a layout, a drawing), where no font can
  // change; measuring never changes the font map itself.
  class Steady {
  public:
    Steady();
    ~Steady();
    Steady(const Steady&) = delete;
    Steady& operator=(const Steady&) = delete;
  };
};

} // namespace velkaro
