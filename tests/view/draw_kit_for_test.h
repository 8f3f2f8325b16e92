#pragma once
// Drawing a diagram kind's drawers on real image surfaces, for the tests of
// the kinds' drawers: a context whose one mode does nothing, the drawers
// drawn in order over the palette's background, probes of the ink an image
// holds at canvas coordinates, and the types of a drawer list.

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

#include <cairomm/surface.h>

#include "common/rectangle.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {

using DrawImage = Cairo::RefPtr<Cairo::ImageSurface>;

// A mode that does nothing: the default mode of the drawing tests' contexts.
class DrawPlainMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "PLAIN MODE"; }
};

// A context over a kind's document whose one mode is a DrawPlainMode.
class PlainDrawContext : public CtrlContext {
public:
  PlainDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws, const std::string& exename, std::string name);
  std::string get_name() const override { return m_name; }

private:
  std::string m_name;
};

// Draws drawers bound to ctx in order over rect (canvas units; the image's
// pixel (0, 0) is rect's corner), each between cairo save and restore, on
// the palette's background, with update (default: rect) as the update
// rectangle the drawers are bound with and shows_editor as the drawer
// context's. Expects cairo to report no error.
DrawImage draw_on_background(const std::shared_ptr<CtrlContext>& ctx,
                             const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& rect,
                             const std::shared_ptr<ViewColorMap>& palette,
                             const std::optional<Rectangle>& update = std::nullopt, bool shows_editor = true);

// The dynamic type of each drawer of drawers (or of any pointers), in
// order.
template <class List>
std::vector<std::type_index> types_of(const List& drawers)
{
  std::vector<std::type_index> types;
  for (const auto& d : drawers)
    types.emplace_back(typeid(*d));
  return types;
}

// How dark a pixel is, from 0 for white: grey_ink gives 1 for black alone,
// blue_ink 1 for any pixel whose blue is 0 (black and a colour without blue
// alike).
double grey_ink(const Pixel& p);
double blue_ink(const Pixel& p);

// Probes of an image drawn from origin (ox, oy) over a white background;
// Ink says how dark a pixel is.
template <double (*Ink)(const Pixel&)>
struct InkProbe {
  DrawImage image;
  double ox = 0;
  double oy = 0;

  // The ink of the pixel at (x, y); 0 outside the image.
  double ink(double x, double y) const
  {
    const int px = static_cast<int>(std::floor(x - ox));
    const int py = static_cast<int>(std::floor(y - oy));
    if (px < 0 || py < 0 || px >= image->get_width() || py >= image->get_height())
      return 0;
    return Ink(pixel_at(image, px, py));
  }
  // The most ink among the nine pixels around (x, y).
  double spot(double x, double y) const
  {
    double most = 0;
    for (int j = -1; j <= 1; ++j)
      for (int i = -1; i <= 1; ++i)
        most = std::max(most, ink(x + i, y + j));
    return most;
  }
  // The ink of a line 1 wide running across at y, in the pixel column of
  // x: summed over the pixel rows the line's width covers.
  double hline(double x, double y) const
  {
    const auto [first, last] = covered_pixels(y);
    double sum = 0;
    for (int j = first; j <= last; ++j)
      sum += ink(x, j + 0.5);
    return sum;
  }
  // The same for a line running down at x, in the pixel row of y.
  double vline(double x, double y) const
  {
    const auto [first, last] = covered_pixels(x);
    double sum = 0;
    for (int i = first; i <= last; ++i)
      sum += ink(i + 0.5, y);
    return sum;
  }
  // The ink summed over the five pixels across a line running across at y
  // (down at x): its width.
  double width_h(double x, double y) const
  {
    double sum = 0;
    for (int j = -2; j <= 2; ++j)
      sum += ink(x, y + j);
    return sum;
  }
  double width_v(double x, double y) const
  {
    double sum = 0;
    for (int i = -2; i <= 2; ++i)
      sum += ink(x + i, y);
    return sum;
  }
  // The number of pixels of r (clipped to the image) that are not white.
  int inked(const Rectangle& r) const
  {
    const int x0 = static_cast<int>(std::floor(r.x - ox));
    const int y0 = static_cast<int>(std::floor(r.y - oy));
    const int x1 = static_cast<int>(std::ceil(r.get_right() - ox));
    const int y1 = static_cast<int>(std::ceil(r.get_bottom() - oy));
    return count_unlike(image, x0, y0, x1 - x0, y1 - y0, rgb(255, 255, 255));
  }

private:
  // The first and last pixel a line 1 wide centred on c covers.
  static std::pair<int, int> covered_pixels(double c)
  {
    return {static_cast<int>(std::floor(c - 0.5)), static_cast<int>(std::ceil(c + 0.5)) - 1};
  }
};

} // namespace velkaro::test
