#include "seq/selected_range_drawer_s.h"

#include "ctrl/context.h"
#include "seq/change_range_drawer.h"

namespace velkaro {

void SeqSelectedRangeDrawerS::draw()
{
  const auto ctrl = get_ctrl();
  if (ctrl && !seq_in_range_mode(*ctrl))
    ViewSelectedRangeDrawer::draw();
}

} // namespace velkaro
