#include "model/text_measure.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <pango/pangocairo.h>
#include <pangomm/fontdescription.h>

namespace velkaro {
namespace {

// Beyond this many distinct strings the measurements start afresh.
constexpr size_t MAX_MEASURED = size_t{1} << 18;

// Looked up by the layout's own text, without a copy of it.
struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// A string's measurement, or a claim on it: measured elsewhere, not yet here.
struct Ink {
  Pango::Rectangle rect;
  bool claimed = false;
};

struct Measured {
  Glib::RefPtr<Pango::Context> context;
  // The layout strings are measured on.
  Glib::RefPtr<Pango::Layout> layout;
  guint serial = 0;
  std::unordered_map<std::string, Ink, StringHash, std::equal_to<>> ink;
  // Counts the times the measurements were dropped.
  uint64_t generation = 0;

  void drop()
  {
    ink.clear();
    ++generation;
  }
};

Measured& measured()
{
  static Measured m;
  if (!m.context) {
    // PangoCairo's font map needs no display.
    m.context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    m.context->set_font_description(Pango::FontDescription("Sans 16px"));
    m.layout = Pango::Layout::create(m.context);
    m.serial = pango_context_get_serial(m.context->gobj());
  }
  return m;
}

// Laid out as a plain layout of the shared context would be: nothing of its
// own changes the result.
bool is_plain(PangoLayout* layout, PangoContext* context)
{
  return pango_layout_get_context(layout) == context && !pango_layout_get_attributes(layout) &&
         !pango_layout_get_font_description(layout) && pango_layout_get_width(layout) == -1 &&
         pango_layout_get_height(layout) == -1 && pango_layout_get_indent(layout) == 0 &&
         pango_layout_get_spacing(layout) == 0 && pango_layout_get_line_spacing(layout) == 0.0f &&
         !pango_layout_get_justify(layout) && pango_layout_get_alignment(layout) == PANGO_ALIGN_LEFT &&
         pango_layout_get_auto_dir(layout) && !pango_layout_get_single_paragraph_mode(layout) &&
         !pango_layout_get_tabs(layout) && pango_layout_get_wrap(layout) == PANGO_WRAP_WORD &&
         pango_layout_get_ellipsize(layout) == PANGO_ELLIPSIZE_NONE;
}

// Open ModelTextMeasure::Steady scopes, and whether the serial was asked
// within them.
int g_steady = 0;
bool g_steady_synced = false;

// Drops what was measured on a context whose settings have changed since.
void sync_serial(Measured& m)
{
  if (g_steady > 0 && g_steady_synced)
    return;
  if (const guint serial = pango_context_get_serial(m.context->gobj()); serial != m.serial) {
    m.drop();
    m.serial = serial;
  }
  g_steady_synced = g_steady > 0;
}

// Room for one more string.
void make_room(Measured& m)
{
  if (m.ink.size() >= MAX_MEASURED)
    m.drop();
}

// The kept measurement of text, or a new one, kept.
Pango::Rectangle measure(Measured& m, std::string_view text)
{
  auto it = m.ink.find(text);
  if (it != m.ink.end() && !it->second.claimed)
    return it->second.rect;
  pango_layout_set_text(m.layout->gobj(), text.data(), static_cast<int>(text.size()));
  const Pango::Rectangle ink = m.layout->get_pixel_ink_extents();
  if (it == m.ink.end()) {
    make_room(m);
    it = m.ink.emplace(std::string(text), Ink{}).first;
  }
  it->second = {ink, false};
  return ink;
}

} // namespace

Glib::RefPtr<Pango::Context> ModelTextMeasure::get_context()
{
  return measured().context;
}

void ModelTextMeasure::forget()
{
  measured().drop();
}

Pango::Rectangle ModelTextMeasure::get_pixel_ink_extents(const Glib::RefPtr<Pango::Layout>& layout)
{
  Measured& m = measured();
  if (!is_plain(layout->gobj(), m.context->gobj()))
    return layout->get_pixel_ink_extents();
  sync_serial(m);
  const char* text = pango_layout_get_text(layout->gobj());
  return measure(m, text ? text : "");
}

Pango::Rectangle ModelTextMeasure::get_pixel_ink_extents(std::string_view text)
{
  Measured& m = measured();
  sync_serial(m);
  return measure(m, text);
}

bool ModelTextMeasure::get_is_measured(std::string_view text)
{
  Measured& m = measured();
  sync_serial(m);
  const auto it = m.ink.find(text);
  return it != m.ink.end() && !it->second.claimed;
}

bool ModelTextMeasure::claim(std::string_view text, std::optional<Pango::Rectangle>* measured_ink)
{
  Measured& m = measured();
  sync_serial(m);
  if (const auto it = m.ink.find(text); it != m.ink.end()) {
    if (measured_ink && !it->second.claimed)
      *measured_ink = it->second.rect;
    return false;
  }
  make_room(m);
  m.ink.emplace(std::string(text), Ink{{}, true});
  return true;
}

ModelTextMeasure::Steady::Steady() { ++g_steady; }

ModelTextMeasure::Steady::~Steady()
{
  if (--g_steady == 0)
    g_steady_synced = false;
}

uint64_t ModelTextMeasure::get_generation()
{
  Measured& m = measured();
  sync_serial(m);
  return m.generation;
}

guint ModelTextMeasure::get_serial()
{
  Measured& m = measured();
  sync_serial(m);
  return m.serial;
}

void ModelTextMeasure::keep(std::string_view text, const Pango::Rectangle& ink, guint serial)
{
  Measured& m = measured();
  sync_serial(m);
  if (serial != m.serial)
    return;
  if (const auto it = m.ink.find(text); it != m.ink.end()) {
    if (it->second.claimed)
      it->second = {ink, false};
    return;
  }
  make_room(m);
  m.ink.emplace(std::string(text), Ink{ink, false});
}

} // namespace velkaro
