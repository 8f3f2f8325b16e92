#pragma once
// Helpers of the state-machine drawing tests: a context over a state-machine
// document with one plain mode, elements stored by hand, drawers drawn in
// order on a real image surface, and probes of the ink at canvas
// coordinates.

#include <memory>
#include <string>
#include <vector>

#include <cairomm/surface.h>
#include <gtest/gtest.h>

#include "common/rectangle.h"
#include "model/grid.h"
#include "stm/doc/workspace.h"
#include "support/test_env.h"
#include "view/draw_kit_for_test.h"

namespace velkaro::test {

using StmImage = DrawImage;

// A context over a fresh state-machine document; its cursor away from
// every fixture.
struct StmDrawKit {
  StmDrawKit();

  // Stores a new element of the XML name at (x, y) with the extensions,
  // out of process; the element.
  std::shared_ptr<ModelElement> add(const std::string& name, int32_t x, int32_t y, int32_t dh = 0, int32_t dv = 0);
  // Clears every in-process flag and lays everything out, as the editor
  // has it after an edit was settled.
  void finish();
  Rectangle cell(int32_t x, int32_t y) const { return ws->grid->get_rect(x, y); }

  // Draws drawers in order over rect (canvas units; the image's pixel
  // (0, 0) is rect's corner), each between cairo save and restore, on the
  // palette's background.
  StmImage draw(const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& rect,
                const std::shared_ptr<ViewColorMap>& palette = ViewColorMap::create_light())
  {
    return draw_on_background(ctx, drawers, rect, palette);
  }

  std::shared_ptr<StmWorkspace> ws = ModelWorkspace::create<StmWorkspace>();
  std::shared_ptr<PlainDrawContext> ctx = CtrlContext::create<PlainDrawContext>(ws, "stm", "StmDrawContext");
};

// Probes on an image over the white background of the light palette, at
// canvas coordinates of an image drawn from origin: ink is 1 for black.
using StmProbe = InkProbe<grey_ink>;

} // namespace velkaro::test
