#pragma once
// ViewViewportDrawer: in the move-view mode, the rectangle of the area that
// will be shown, filled with viewport_fill and framed 3.0 wide in
// in_working_line. In every other mode it draws nothing.

#include "view/ws_drawer.h"

namespace velkaro {

class ViewViewportDrawer : public ViewWsDrawer {
public:
  void draw() override;
};

} // namespace velkaro
