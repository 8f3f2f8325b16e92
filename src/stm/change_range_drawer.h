#pragma once
// The two fills of the selected range on the state-machine canvas, told
// apart by the current mode:
// - StmChangeRangeDrawer: only while the current mode is exactly the
//   editor's range mode (StmRangeMode), in the palette's range_cell_fill;
//   drawn right after the grid, under the cursor frame and the elements.
// - StmSelectedRangeDrawerS: in every other mode, in the base's
//   selected_cell_fill; drawn after the elements, over them.

#include "view/selected_range_drawer.h"

namespace velkaro {

class CtrlContext;

class StmChangeRangeDrawer : public ViewSelectedRangeDrawer {
public:
  void draw() override;
  GdkRGBA get_fill_color() const override;
};

class StmSelectedRangeDrawerS : public ViewSelectedRangeDrawer {
public:
  void draw() override;
};

// Whether ctrl's current mode is of exactly the class StmRangeMode.
bool stm_in_range_mode(const CtrlContext& ctrl);

} // namespace velkaro
