#pragma once
// Reading pixels back from cairo image surfaces, for the drawing tests of
// the view and of the diagram kinds.

#include <ostream>

#include <cairomm/surface.h>
#include <gdk/gdk.h>

namespace velkaro::test {

// Red, green, blue and alpha, each 0..255, not premultiplied.
struct Pixel {
  int r = 0;
  int g = 0;
  int b = 0;
  int a = 0;

  bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Pixel& p);

// An opaque pixel.
inline Pixel rgb(int r, int g, int b) { return {r, g, b, 255}; }
// The pixel a GdkRGBA gives, rounded.
Pixel to_pixel(const GdkRGBA& rgba);
// color painted with its alpha over an opaque background.
Pixel blend(const GdkRGBA& color, const Pixel& background);
// Each channel within tolerance of the other's.
bool near(const Pixel& a, const Pixel& b, int tolerance = 2);

// The pixel at (x, y) of an ARGB32 image; the surface is flushed first.
Pixel pixel_at(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x, int y);
// The number of pixels of the rectangle (clipped to the image) that differ
// from background.
int count_unlike(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x, int y, int width, int height,
                 const Pixel& background);

} // namespace velkaro::test
