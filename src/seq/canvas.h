#pragma once
// SeqCanvas: the canvas of the sequence-diagram editor. Its drawers, in
// drawing order: the grid (with the background), the range mode's fill,
// the cursor frame, the life heads, the life lines, the messages, the free
// text, the fragments, the selection of the other modes, the viewport. So
// the range being placed lies under the elements and a selection over them.
// The five element drawers also run in the canvas's working pass.
//
// The element drawers draw each element cell by cell as the walk meets it,
// and every piece works out its own place in the pattern it belongs to
// (the phase of a life line's or a reply's dashes from a fixed reference
// cell, a box's edges from its neighbours above and below), so the pieces
// join up across cells and a page is drawn without looking beyond the
// cells it shows.
//
// Made by the window for its sequence context and given to it:
//   auto canvas = std::make_shared<SeqCanvas>(*ctx);
//   ctx->set_canvas(canvas);

#include "view/canvas.h"

namespace velkaro {

class SeqCanvas : public ViewCanvas {
public:
  explicit SeqCanvas(CtrlContext& ctrl);
};

} // namespace velkaro
