#pragma once
// SeqChangeRangeDrawer: the selected range while the range mode places or
// reshapes an element, filled in the palette's range_cell_fill. The
// sequence canvas draws it right after the grid, under the cursor frame and
// the elements; in every other mode it draws nothing.

#include "view/selected_range_drawer.h"

namespace velkaro {

class CtrlContext;

class SeqChangeRangeDrawer : public ViewSelectedRangeDrawer {
public:
  void draw() override;
  GdkRGBA get_fill_color() const override;
};

// Whether ctrl's current mode is its range mode (the sequence context's
// range mode derives from the controller's).
bool seq_in_range_mode(const CtrlContext& ctrl);

} // namespace velkaro
