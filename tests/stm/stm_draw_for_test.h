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
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "model/grid.h"
#include "stm/doc/workspace.h"
#include "support/test_env.h"
#include "view/color_map.h"
#include "view/drawer.h"

namespace velkaro::test {

using StmImage = Cairo::RefPtr<Cairo::ImageSurface>;

// A mode that does nothing: the default mode of the tests' context.
class StmPlainMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "PLAIN MODE"; }
};

class StmDrawContext : public CtrlContext {
public:
  StmDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws);
  std::string get_name() const override { return "StmDrawContext"; }
};

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
                const std::shared_ptr<ViewColorMap>& palette = ViewColorMap::create_light());

  std::shared_ptr<StmWorkspace> ws = ModelWorkspace::create<StmWorkspace>();
  std::shared_ptr<StmDrawContext> ctx;
};

// --- Probes on an image over the white background of the light palette,
// at canvas coordinates of an image drawn from origin.

struct StmProbe {
  StmImage image;
  double ox = 0;
  double oy = 0;

  // 0 for a white pixel, 1 for a black one; 0 outside the image.
  double ink(double x, double y) const;
  // The most ink among the nine pixels around (x, y).
  double spot(double x, double y) const;
  // The ink of a line 1 wide running across at y, in the pixel column of
  // x: summed over the pixel rows the line's width covers.
  double hline(double x, double y) const;
  // The same for a line running down at x, in the pixel row of y.
  double vline(double x, double y) const;
  // The ink summed over the five pixels across a line running down at x
  // (across at y): its width.
  double width_v(double x, double y) const;
  double width_h(double x, double y) const;
  // The number of pixels of r that are not white.
  int inked(const Rectangle& r) const;
};

} // namespace velkaro::test
