#pragma once
// StmCompositeDrawer: draws the composite states as rectangles with
// rounded corners (quarter curves 7.5 long) over the cells they cover,
// whichever way their extensions run, and, for one of more than one row,
// a separator across its whole width 15/11 below the top of its second
// row, under the first row where its name goes. The outline is drawn
// antialiased, and the antialiasing in force before it comes back after
// it; lines are stroked in the style the element walk set (ViewWsDrawer).
//
// Installed by the state-machine canvas (also in its working pass) and
// exporter.

#include "view/ws_drawer.h"

namespace velkaro {

class StmCompositeDrawer : public ViewWsDrawer {
public:
  // The corner size and the separator's distance below its row's top.
  static constexpr double CORNER = 7.5;
  static constexpr double SEPARATOR_DROP = 15.0 / 11.0;

  void draw() override;
  bool get_for_working() const override { return true; }

  // Strokes now_rect with rounded corners.
  void draw_rect();
  // Strokes a line across now_rect, SEPARATOR_DROP below its top.
  void draw_separator();
  // Draws now_elm: sets now_rect to the rectangle of the cells it covers
  // and draws it, then the separator, with now_rect set to its row.
  void draw_composite();
};

} // namespace velkaro
