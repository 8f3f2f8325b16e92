#pragma once
// Helpers of the class-diagram drawing tests: a context over a class
// document with one plain mode, drawers drawn in order on a real image
// surface (optionally with an update rectangle smaller than the image, to
// see what a drawer paints outside it), and probes of the ink at canvas
// coordinates (view/draw_kit_for_test.h).

#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/workspace.h"
#include "common/rectangle.h"
#include "model/grid.h"
#include "view/draw_kit_for_test.h"

namespace velkaro::test {

using ClsImage = DrawImage;

// A context with one plain mode over ws.
inline std::shared_ptr<PlainDrawContext> cls_draw_context(const std::shared_ptr<ModelWorkspace>& ws)
{
  return CtrlContext::create<PlainDrawContext>(ws, "cls", "ClsDrawContext");
}

// A context over a fresh class document; its cursor away from every
// fixture.
struct ClsDrawKit {
  ClsDrawKit() { ctx->set_pos({60, 60}); }

  Rectangle cell(int32_t x, int32_t y) const { return ws->grid->get_rect(x, y); }

  // Draws drawers in order over image (canvas units; the image's pixel
  // (0, 0) is its corner), each between cairo save and restore, on the
  // palette's background, with update (default: the image) as the update
  // rectangle the drawers are bound with.
  ClsImage draw(const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& image,
                const std::shared_ptr<ViewColorMap>& palette = ViewColorMap::create_light(),
                const std::optional<Rectangle>& update = std::nullopt, bool shows_editor = true)
  {
    return draw_on_background(ctx, drawers, image, palette, update, shows_editor);
  }

  std::shared_ptr<ClsWorkspace> ws = ModelWorkspace::create<ClsWorkspace>();
  std::shared_ptr<PlainDrawContext> ctx = cls_draw_context(ws);
};

// Probes of an image drawn from origin (ox, oy), over the white background
// of the light palette: ink is 1 for a pixel whose blue is 0 (black, and
// the focused connector's colour alike).
using ClsProbe = InkProbe<blue_ink>;

} // namespace velkaro::test
