#pragma once
// ClsWsDrawer: the base of the class diagram's drawers. It reaches the parts
// of the class workspace (element cells, grid, route graph, connector set,
// floating connector) through the bound controller's workspace.
//
// Coordinates read from the class document are relative to the top-left
// corner of a cell (a class's anchor cell, a segment's end cell, the cell at
// a term's or a label's end of a connector); the drawers add that corner
// from the grid.

#include <memory>

#include "view/ws_drawer.h"

namespace velkaro {

class ClsWorkspace;

class ClsWsDrawer : public ViewWsDrawer {
public:
  // The bound controller's workspace when it is a class workspace, else
  // null (also without a controller).
  std::shared_ptr<ClsWorkspace> get_cls_ws() const;

protected:
  ClsWsDrawer() = default;
};

} // namespace velkaro
