#include "seq/change_range_drawer.h"

#include "ctrl/context.h"
#include "ctrl/modes/range_mode.h"

namespace velkaro {

bool seq_in_range_mode(const CtrlContext& ctrl)
{
  return dynamic_cast<const CtrlRangeMode*>(ctrl.get_now_mode().get()) != nullptr;
}

void SeqChangeRangeDrawer::draw()
{
  const auto ctrl = get_ctrl();
  if (ctrl && seq_in_range_mode(*ctrl))
    ViewSelectedRangeDrawer::draw();
}

GdkRGBA SeqChangeRangeDrawer::get_fill_color() const { return get_color(ViewColor::range_cell_fill); }

} // namespace velkaro
