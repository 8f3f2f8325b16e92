#pragma once
// ClsClassDrawer: draws the class boxes: each box filled and framed, a
// separator along the top of each shown compartment as wide as the box, in
// the frame's colour and width, then the texts, name first (the text under
// edit with the cursor of the current text mode, by the text drawer's
// rules). The box at the controller's cursor cell is filled with
// active_element_fill and framed in active_element_line, every other one
// with element_fill and element_line, at width 1.0; a drawer context that
// shows no editor marks (an export) has no box at the cursor.
//
// A class is drawn, whole, exactly when the rectangle of its anchor cell
// meets the clip region (edges included); only the cells around the region
// are looked at, so a page costs what it shows. Bound to a workspace that is
// not a class workspace it draws nothing. Not run in the canvas's working
// pass.

#include "cls/ws_drawer.h"

#include <cairomm/region.h>

namespace velkaro {

class ClsClassElement;
struct Rectangle;

class ClsClassDrawer : public ClsWsDrawer {
public:
  void draw() override;

  // Draws klass in the cell whose rectangle is grid_rect (canvas units), in
  // the active style when is_active.
  void draw_class_element(const Cairo::RefPtr<Cairo::Region>& update_region, const Rectangle& grid_rect,
                          ClsClassElement& klass, bool is_active);
  // Strokes the line from (text_element_rect.x, text_element_rect.y) moved
  // by offset, width to the right, in the current colour and line width.
  void draw_separate_line(const Rectangle& text_element_rect, const Point& offset, double width);
};

} // namespace velkaro
