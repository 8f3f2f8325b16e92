#include "stm/change_range_drawer.h"

#include <typeinfo>

#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "stm/range_mode.h"

namespace velkaro {

bool stm_in_range_mode(const CtrlContext& ctrl)
{
  const auto& mode = ctrl.get_now_mode();
  return mode && typeid(*mode) == typeid(StmRangeMode);
}

void StmChangeRangeDrawer::draw()
{
  const auto ctrl = get_ctrl();
  if (ctrl && stm_in_range_mode(*ctrl))
    ViewSelectedRangeDrawer::draw();
}

GdkRGBA StmChangeRangeDrawer::get_fill_color() const { return get_color(ViewColor::range_cell_fill); }

void StmSelectedRangeDrawerS::draw()
{
  const auto ctrl = get_ctrl();
  if (ctrl && !stm_in_range_mode(*ctrl))
    ViewSelectedRangeDrawer::draw();
}

} // namespace velkaro
