#pragma once
// Helpers of the class-diagram drawing tests: a context over a class
// document with one plain mode, drawers drawn in order on a real image
// surface (optionally with an update rectangle smaller than the image, to
// see what a drawer paints outside it), and probes of the ink at canvas
// coordinates.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <cairomm/surface.h>
#include <gtest/gtest.h>

#include "cls/doc/workspace.h"
#include "common/rectangle.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "model/grid.h"
#include "view/color_map.h"
#include "view/drawer.h"

namespace velkaro::test {

using ClsImage = Cairo::RefPtr<Cairo::ImageSurface>;

// A mode that does nothing: the default mode of the tests' context.
class ClsPlainMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "PLAIN MODE"; }
};

class ClsDrawContext : public CtrlContext {
public:
  ClsDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws);
  std::string get_name() const override { return "ClsDrawContext"; }
};

// A context over a fresh class document; its cursor away from every
// fixture.
struct ClsDrawKit {
  ClsDrawKit();

  Rectangle cell(int32_t x, int32_t y) const { return ws->grid->get_rect(x, y); }

  // Draws drawers in order over image (canvas units; the image's pixel
  // (0, 0) is its corner), each between cairo save and restore, on the
  // palette's background, with update (default: the image) as the update
  // rectangle the drawers are bound with.
  ClsImage draw(const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& image,
                const std::shared_ptr<ViewColorMap>& palette = ViewColorMap::create_light(),
                const std::optional<Rectangle>& update = std::nullopt, bool shows_editor = true);

  std::shared_ptr<ClsWorkspace> ws = ModelWorkspace::create<ClsWorkspace>();
  std::shared_ptr<ClsDrawContext> ctx;
};

// Probes of an image drawn from origin (ox, oy), over the white background
// of the light palette.
struct ClsProbe {
  ClsImage image;
  double ox = 0;
  double oy = 0;

  // 0 for a white pixel, 1 for one whose blue is 0 (black, and the
  // focused connector's colour alike); 0 outside the image.
  double ink(double x, double y) const;
  // The most ink among the nine pixels around (x, y).
  double spot(double x, double y) const;
  // The ink summed over the five pixels across a line running across at
  // y (down at x): its width.
  double width_h(double x, double y) const;
  double width_v(double x, double y) const;
  // The number of pixels of r (clipped to the image) that are not white.
  int inked(const Rectangle& r) const;
};

} // namespace velkaro::test
