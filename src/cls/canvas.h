#pragma once
// ClsCanvas: the canvas of the class-diagram editor. Its drawers, in
// drawing order: the grid (with the background), the cursor frame, the
// class boxes, the connector being drawn, the fixed connectors with their
// labels and end shapes, the free texts, the selected range, the viewport.
// So connectors lie over the boxes and free texts over the connectors. The
// free-text drawer also runs in the canvas's working pass.
//
// Made for a class context and given to it:
//   auto canvas = std::make_shared<ClsCanvas>(*ctx);
//   ctx->set_canvas(canvas);

#include "view/canvas.h"

namespace velkaro {

class ClsCanvas : public ViewCanvas {
public:
  explicit ClsCanvas(CtrlContext& ctrl);
};

} // namespace velkaro
