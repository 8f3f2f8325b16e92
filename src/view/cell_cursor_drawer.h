#pragma once
// ViewCellCursorDrawer: the frame around the cursor cell, 2.0 canvas units
// wide in active_cell_frame. On a text spread over several cells the frame
// surrounds the whole text; other such texts covering the cursor cell are
// outlined in active_grid.

#include "view/ws_drawer.h"

namespace velkaro {

class ViewCellCursorDrawer : public ViewWsDrawer {
public:
  void draw() override;
  // Strokes rect inset by half a unit: (x + 0.5, y + 0.5, width - 1,
  // height - 1), so that a 1-unit line lies inside it.
  void draw_rect(const Rectangle& rect);
};

} // namespace velkaro
