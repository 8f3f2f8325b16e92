#pragma once
// ViewColorMap: the palette every drawer takes its colours from. Drawers
// never name a colour literal; they ask the palette of their drawer context
// for one of the eighteen colours below by name, so the screen and an
// exported image differ only in the palette they are given.
//
// Two palettes exist: the dark one for the screen (canvas, command bar) and
// the light one for PNG export. A palette is filled by its constructor and
// only read afterwards; colours travel by value (a GdkRGBA of four doubles),
// so a fetched colour that the caller changes leaves the palette as it was,
// and fetching allocates nothing.

#include <array>
#include <cstddef>
#include <memory>

#include <gdk/gdk.h>

namespace velkaro {

// The palette's colours, in storage order.
enum class ViewColor {
  background,            // canvas and export background
  grid,                  // grid lines
  active_grid,           // grid lines along the active axis; merged texts under the cursor
  active_cell_frame,     // the frame around the cursor cell
  selected_cell_fill,    // the selected cell range
  range_cell_fill,       // the cell range being placed or resized in the range mode
  viewport_fill,         // the move-view mode's viewport rectangle
  element_fill,          // element fill
  element_line,          // element outline
  active_element_fill,   // fill of the element at the cursor cell
  active_element_line,   // outline of the element at the cursor cell
  in_process_line,       // outline of an element being inserted or changed
  in_working_line,       // the canvas's working pass; the viewport's frame
  active_connector_line, // the connector under edit
  text,                  // text
  selected_text,         // background of selected text
  active_text_cursor,    // the text cursor in the text being edited
  inactive_text_cursor,  // the text cursor of the text under the cell cursor outside text modes
};

class ViewColorMap {
public:
  static constexpr std::size_t COUNT = 18;

  // Every colour (0, 0, 0, 0): fully transparent black.
  ViewColorMap() = default;

  static std::shared_ptr<ViewColorMap> create() { return std::make_shared<ViewColorMap>(); }
  // The screen palette.
  static std::shared_ptr<ViewColorMap> create_dark();
  // The export palette; its range and viewport fills stay (0, 0, 0, 0).
  static std::shared_ptr<ViewColorMap> create_light();

  // The colour a CSS colour string denotes, as GDK's parser reads it
  // ("#565", "#aabbcc", "rgba(r, g, b, a)" with components clamped); a
  // string the parser refuses gives (0, 0, 0, 0). Nothing is logged.
  static GdkRGBA rgba_parse(const char* color);

  GdkRGBA get(ViewColor color) const { return m_colors[index(color)]; }
  void set(ViewColor color, const GdkRGBA& rgba) { m_colors[index(color)] = rgba; }

  // The colour's name as the table spells it ("active_grid").
  static const char* get_name(ViewColor color);

private:
  static std::size_t index(ViewColor color) { return static_cast<std::size_t>(color); }

  std::array<GdkRGBA, COUNT> m_colors{};
};

} // namespace velkaro
