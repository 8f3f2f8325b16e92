#include "cls/canvas.h"

#include <memory>

#include "cls/class_drawer.h"
#include "cls/connector_drawer_base.h"
#include "cls/single_text_drawer.h"
#include "view/cell_cursor_drawer.h"
#include "view/grid_drawer.h"
#include "view/selected_range_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro {

ClsCanvas::ClsCanvas(CtrlContext& ctrl) : ViewCanvas(ctrl)
{
  drawers.push_back(std::make_shared<ViewHVGridDrawer>());
  drawers.push_back(std::make_shared<ViewCellCursorDrawer>());
  drawers.push_back(std::make_shared<ClsClassDrawer>());
  drawers.push_back(std::make_shared<ClsFloatingConnectorDrawer>());
  drawers.push_back(std::make_shared<ClsFixedConnectorDrawer>());
  drawers.push_back(std::make_shared<ClsSingleTextDrawer>());
  drawers.push_back(std::make_shared<ViewSelectedRangeDrawer>());
  drawers.push_back(std::make_shared<ViewViewportDrawer>());
}

} // namespace velkaro
