#pragma once
// Helpers of the sequence drawing tests: a context over a sequence document
// with a cell mode and a range mode, builders of life lines, boxes,
// messages and fragments made of their elements, the export of a fixture
// read back from its PNG, and probes of the ink of lines at canvas
// coordinates.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <cairomm/surface.h>
#include <gtest/gtest.h>

#include "common/rectangle.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "ctrl/modes/range_mode.h"
#include "model/grid.h"
#include "seq/doc/seq_for_test.h"
#include "view/draw_kit_for_test.h"

namespace velkaro::test {

// The range mode as the tests need it: current or not, without the edit
// that entering and leaving it starts.
class StillRangeMode : public CtrlRangeMode {
public:
  using CtrlRangeMode::CtrlRangeMode;
  void on_enter() override {}
  void on_exit() override {}
};

// A context with a plain mode (the default) and a range mode.
class SeqDrawContext : public CtrlContext {
public:
  SeqDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws);
  std::string get_name() const override { return "SeqDrawContext"; }
};

// A context over a fresh sequence document; the plain mode is current.
struct SeqDrawKit {
  SeqDrawKit();

  // Clears every in-process flag, sizes the grid and lays every element
  // out, as the editor has it after an edit was settled.
  void finish();
  Rectangle cell(int32_t x, int32_t y) const { return ws->grid->get_rect(x, y); }
  // The grid from (0, 0) to the far corner of cell (x, y).
  Rectangle up_to(int32_t x, int32_t y) const;
  // Exports rect into dir's file name and reads the image back.
  Cairo::RefPtr<Cairo::ImageSurface> export_png(const Rectangle& rect, const TempDir& dir, const std::string& name);
  // The exporter's drawers over rect, in its light palette, on a context
  // that shows the editor's marks as the canvas does (which an export
  // leaves out): how elements in process and the text under the cursor
  // look.
  Cairo::RefPtr<Cairo::ImageSurface> draw_with_editor(const Rectangle& rect);

  std::shared_ptr<SeqWorkspace> ws = new_ws();
  std::shared_ptr<SeqDrawContext> ctx;
};

// --- Builders (elements stored by hand, in the order the editor makes them).

// A life line named name: its head with its text at (x, y), cells in the
// rows below, the last stopped when stop is set.
std::shared_ptr<SeqLifeHead> named_life_line(SeqWorkspace& ws, int32_t x, int32_t y, int cells,
                                             const std::string& name, bool stop = false);
// A box of execution specifications of level on column x from row y0 to
// row y1; the cells must hold a life line.
void box(SeqWorkspace& ws, int32_t x, int32_t y0, int32_t y1, int32_t level = 0);
// A message of kind from column x0 to x1 in row y (x0 == x1: a self
// message): its anchor (on the life line of its cell, if any), its lines,
// the point of its tip, its kind. Texts of lines: one per line cell, or ""
// for none.
std::shared_ptr<SeqMessage> message(SeqWorkspace& ws, int32_t x0, int32_t x1, int32_t y, SeqMsgTypeTypes kind,
                                    const std::vector<std::string>& texts = {}, int32_t point = ANY_ROLE);
// A fragment from (sx, sy) to (ex, ey) whose text is text, its frame laid
// as the editor lays it.
std::shared_ptr<SeqFragment> fragment(SeqWorkspace& ws, int32_t sx, int32_t sy, int32_t ex, int32_t ey,
                                      const std::string& text);
// A separator in row y from the left edge at column sx to the right edge at
// column ex; text (if any) in the cell of column text_x.
void separator(SeqWorkspace& ws, int32_t sx, int32_t y, int32_t ex, const std::string& text = {},
               int32_t text_x = -1);

// --- Probes. Images are exported from the canvas point (0, 0), so image
// pixels are canvas units.

// The probes of view/draw_kit_for_test.h on an image drawn from (0, 0),
// where ink is 1 for black.
using SeqProbe = InkProbe<grey_ink>;

// 0 for a white pixel, 1 for a black one.
inline double ink(const DrawImage& image, int x, int y) { return SeqProbe{image}.ink(x, y); }
// The ink of a line 1 wide running down at canvas x, in the pixel row of
// canvas y: summed over the pixels the line's width covers.
inline double vline(const DrawImage& image, double x, double y) { return SeqProbe{image}.vline(x, y); }
// The same for a line running across at canvas y, in the pixel column of x.
inline double hline(const DrawImage& image, double x, double y) { return SeqProbe{image}.hline(x, y); }
// The number of pixels in the rectangle that are not white.
inline int inked(const DrawImage& image, const Rectangle& r) { return SeqProbe{image}.inked(r); }

// The width of ink across a line running down at canvas x (or across at
// canvas y): the ink summed over the five pixels around it.
inline double width_v(const DrawImage& image, double x, double y) { return SeqProbe{image}.width_v(x, y); }
inline double width_h(const DrawImage& image, double x, double y) { return SeqProbe{image}.width_h(x, y); }
// The most ink among the nine pixels around canvas (x, y).
inline double spot(const DrawImage& image, double x, double y) { return SeqProbe{image}.spot(x, y); }

// What a stretch of a line must show, pixel by pixel.
struct Stretch {
  enum Kind { solid, blank, dashed } kind = solid;
  // For dashed: where the pattern has phase 0, and its dash and gap.
  double origin = 0;
  double on = 0;
  double off = 0;
  // The phase grows towards lower coordinates (a line drawn leftwards).
  bool backwards = false;

  static Stretch dashes(double origin, double on, double off) { return {dashed, origin, on, off, false}; }
  static Stretch dashes_back(double origin, double on, double off) { return {dashed, origin, on, off, true}; }
};

// Checks the pixels of the line running down at canvas x (vertical) or
// across at canvas y from from to to: every pixel lying wholly in a dash
// (or on a solid run) must hold the line, every one wholly in a gap (or on
// a blank run) no ink; pixels on a dash's end are not judged. Empty when
// everything agrees, else the pixels that do not (also when a dashed run
// judged no dash at all).
std::string check_run(const Cairo::RefPtr<Cairo::ImageSurface>& image, bool vertical, double at, double from,
                      double to, const Stretch& run);

// A line is there, or there is no ink at all.
inline bool drawn(double coverage) { return coverage >= 0.75; }
inline bool blank(double coverage) { return coverage <= 0.15; }

// Where a dash pattern (on, off) starting with phase 0 at origin has the
// middle of its k-th dash (on) or of its k-th gap (off).
inline double dash_middle(double origin, double on, double off, int k) { return origin + k * (on + off) + on / 2; }
inline double gap_middle(double origin, double on, double off, int k)
{
  return origin + k * (on + off) + on + off / 2;
}
// The first k whose dash middle lies at or beyond x.
inline int dash_index_after(double origin, double on, double off, double x)
{
  return static_cast<int>(std::ceil((x - origin - on / 2) / (on + off)));
}

// Copies the PNG at path into the folder VELKARO_TEST_PNG_DIR names, when
// it is set, so that a reviewer can look at what a test drew.
void keep_png(const std::string& path, const std::string& name);

} // namespace velkaro::test
