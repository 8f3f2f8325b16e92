#pragma once
// ClsNodeDrawer: a diagnostic picture of the route graph: every node whose
// cell meets the clip region as a small translucent dot at the cell's
// centre (yellow for a terminal's node, red for others) with its reference
// count beside it. No canvas installs it; a developer adds it to a canvas's
// drawer list to look at routing.

#include <cstdint>
#include <string>

#include <pango/pango.h>

#include "cls/ws_drawer.h"

namespace velkaro {

class ClsNodeDrawer : public ClsWsDrawer {
public:
  void draw() override;

  // Draws str in the font "Sans <font_size>px" with its layout's top-left
  // corner at pt, in the override colour when one is set, else the
  // palette's text colour; attrs (null: none) is spliced into the layout's
  // attributes at byte pos; a cursor index of 0 or more adds a bar 2 wide
  // at that index.
  void draw_text(const std::string& str, const Point& pt, int32_t cursor_index, PangoAttrList* attrs, int32_t pos,
                 int32_t font_size);
};

} // namespace velkaro
