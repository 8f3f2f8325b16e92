#include "seq/canvas.h"

#include <memory>

#include "seq/change_range_drawer.h"
#include "seq/fragment_drawer.h"
#include "seq/life_head_drawer.h"
#include "seq/life_line_drawer.h"
#include "seq/message_drawer.h"
#include "seq/selected_range_drawer_s.h"
#include "view/cell_cursor_drawer.h"
#include "view/grid_drawer.h"
#include "view/single_text_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro {

SeqCanvas::SeqCanvas(CtrlContext& ctrl) : ViewCanvas(ctrl)
{
  drawers.push_back(std::make_shared<ViewHVGridDrawer>());
  drawers.push_back(std::make_shared<SeqChangeRangeDrawer>());
  drawers.push_back(std::make_shared<ViewCellCursorDrawer>());
  drawers.push_back(std::make_shared<SeqLifeHeadDrawer>());
  drawers.push_back(std::make_shared<SeqLifeLineDrawer>());
  drawers.push_back(std::make_shared<SeqMessageDrawer>());
  drawers.push_back(std::make_shared<SeqSingleTextDrawer>());
  drawers.push_back(std::make_shared<SeqFragmentDrawer>());
  drawers.push_back(std::make_shared<SeqSelectedRangeDrawerS>());
  drawers.push_back(std::make_shared<ViewViewportDrawer>());
}

} // namespace velkaro
