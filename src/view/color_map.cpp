#include "view/color_map.h"

#include "common/check.h"

namespace velkaro {
namespace {

// One row per colour, in storage order: the strings the two palettes parse.
// A null string leaves the colour of that palette unassigned (transparent).
// The dark range and viewport fills say 256 for green: the parser clamps it
// to 255. "#0000" is refused by the parser, which leaves transparent black.
struct ColorRow {
  ViewColor color;
  const char* name;
  const char* dark;
  const char* light;
};

constexpr ColorRow color_rows[ViewColorMap::COUNT] = {
  {ViewColor::background, "background", "#111", "#fff"},
  {ViewColor::grid, "grid", "#222", "#0000"},
  {ViewColor::active_grid, "active_grid", "#565", "#0000"},
  {ViewColor::active_cell_frame, "active_cell_frame", "#880", "#000"},
  {ViewColor::selected_cell_fill, "selected_cell_fill", "rgba(136,136,0,0.5)", "rgba(136,136,0,0.5)"},
  {ViewColor::range_cell_fill, "range_cell_fill", "rgba(90, 256, 111, 0.4)", nullptr},
  {ViewColor::viewport_fill, "viewport_fill", "rgba(90, 256, 111, 0.2)", nullptr},
  {ViewColor::element_fill, "element_fill", "#000", "#0000"},
  {ViewColor::element_line, "element_line", "#eee", "#000"},
  {ViewColor::active_element_fill, "active_element_fill", "#310", "#0000"},
  {ViewColor::active_element_line, "active_element_line", "#fff", "#000"},
  {ViewColor::in_process_line, "in_process_line", "#fff", "#000"},
  {ViewColor::in_working_line, "in_working_line", "#af9", "#0000"},
  {ViewColor::active_connector_line, "active_connector_line", "#880", "#880"},
  {ViewColor::text, "text", "#eee", "#000"},
  {ViewColor::selected_text, "selected_text", "#880", "#000"},
  {ViewColor::active_text_cursor, "active_text_cursor", "#fff", "#000"},
  // The dark palette copies its range fill here (see dark_palette()).
  {ViewColor::inactive_text_cursor, "inactive_text_cursor", nullptr, "#000"},
};

ViewColorMap parse_palette(const char* ColorRow::*column)
{
  ViewColorMap map;
  for (const ColorRow& row : color_rows)
    if (const char* text = row.*column)
      map.set(row.color, ViewColorMap::rgba_parse(text));
  return map;
}

// Parsed once; each constructor call copies them.
const ViewColorMap& dark_palette()
{
  static const ViewColorMap palette = [] {
    ViewColorMap map = parse_palette(&ColorRow::dark);
    map.set(ViewColor::inactive_text_cursor, map.get(ViewColor::range_cell_fill));
    return map;
  }();
  return palette;
}

const ViewColorMap& light_palette()
{
  static const ViewColorMap palette = parse_palette(&ColorRow::light);
  return palette;
}

} // namespace

std::shared_ptr<ViewColorMap> ViewColorMap::create_dark() { return std::make_shared<ViewColorMap>(dark_palette()); }

std::shared_ptr<ViewColorMap> ViewColorMap::create_light() { return std::make_shared<ViewColorMap>(light_palette()); }

GdkRGBA ViewColorMap::rgba_parse(const char* color)
{
  GdkRGBA rgba{0, 0, 0, 0};
  VK_CHECK_VAL(color != nullptr, rgba);
  // A refused string may leave the value partly written: start again.
  if (!gdk_rgba_parse(&rgba, color))
    rgba = GdkRGBA{0, 0, 0, 0};
  return rgba;
}

const char* ViewColorMap::get_name(ViewColor color) { return color_rows[index(color)].name; }

} // namespace velkaro
