#include "stm/canvas.h"

#include <memory>

#include "stm/change_range_drawer.h"
#include "stm/composite_drawer.h"
#include "stm/lines_drawer.h"
#include "stm/points_drawer.h"
#include "view/cell_cursor_drawer.h"
#include "view/grid_drawer.h"
#include "view/single_text_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro {

StmCanvas::StmCanvas(CtrlContext& ctrl) : ViewCanvas(ctrl)
{
  drawers.push_back(std::make_shared<ViewHVGridDrawer>());
  drawers.push_back(std::make_shared<StmChangeRangeDrawer>());
  drawers.push_back(std::make_shared<ViewCellCursorDrawer>());
  drawers.push_back(std::make_shared<StmCompositeDrawer>());
  drawers.push_back(std::make_shared<StmPointsDrawer>());
  drawers.push_back(std::make_shared<StmLinesDrawer>());
  drawers.push_back(std::make_shared<SeqSingleTextDrawer>());
  drawers.push_back(std::make_shared<StmSelectedRangeDrawerS>());
  drawers.push_back(std::make_shared<ViewViewportDrawer>());
}

} // namespace velkaro
