#pragma once
// StmCanvas: the canvas of the state-machine editor. Its drawers, in
// drawing order: the grid (with the background), the range mode's fill,
// the cursor frame, the composite states, the point states, the
// transitions and concurrency lines, the free texts, the selection of the
// other modes, the viewport. Composites lie under states, states under
// lines, texts on top.
//
// No window makes one. Made for a state-machine context and given to it:
//   auto canvas = std::make_shared<StmCanvas>(*ctx);
//   ctx->set_canvas(canvas);

#include "view/canvas.h"

namespace velkaro {

class StmCanvas : public ViewCanvas {
public:
  explicit StmCanvas(CtrlContext& ctrl);

  // The drawers in drawing order.
  const DrawerList& get_drawers() const { return drawers; }
};

} // namespace velkaro
