#pragma once
// ViewSelectedRangeDrawer: fills the controller's selected cell range,
// whichever corner was given first, in get_fill_color(). Without a
// selection it draws nothing.
//
// Diagram kinds derive two drawers from it: one drawn only in the range
// mode that overrides get_fill_color() with the palette's range_cell_fill
// (installed right after the grid, under the elements), and one drawn in
// every other mode with the default colour (after the elements).

#include <gdk/gdk.h>

#include "view/ws_drawer.h"

namespace velkaro {

class ViewSelectedRangeDrawer : public ViewWsDrawer {
public:
  void draw() override;
  // Base: the palette's selected_cell_fill.
  virtual GdkRGBA get_fill_color() const;
};

} // namespace velkaro
