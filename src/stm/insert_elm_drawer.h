#pragma once
// StmInsertElmDrawer: a drawer of the element being inserted that draws
// nothing; no canvas installs it.

#include "view/ws_drawer.h"

namespace velkaro {

class StmInsertElmDrawer : public ViewWsDrawer {
public:
  void draw() override {}
};

} // namespace velkaro
