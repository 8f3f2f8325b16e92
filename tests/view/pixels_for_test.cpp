#include "view/pixels_for_test.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace velkaro::test {

std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
  return os << "rgba(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

Pixel to_pixel(const GdkRGBA& rgba)
{
  const auto c = [](double v) { return static_cast<int>(std::lround(v * 255.0)); };
  return {c(rgba.red), c(rgba.green), c(rgba.blue), c(rgba.alpha)};
}

Pixel blend(const GdkRGBA& color, const Pixel& background)
{
  const auto mix = [&](double c, int bg) {
    return static_cast<int>(std::lround(c * 255.0 * color.alpha + bg * (1.0 - color.alpha)));
  };
  return {mix(color.red, background.r), mix(color.green, background.g), mix(color.blue, background.b), 255};
}

bool near(const Pixel& a, const Pixel& b, int tolerance)
{
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

Pixel pixel_at(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x, int y)
{
  surface->flush();
  const unsigned char* row = surface->get_data() + static_cast<std::ptrdiff_t>(y) * surface->get_stride();
  const uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
  const int a = static_cast<int>(v >> 24);
  const auto un = [a](uint32_t c) {
    return a == 0 ? 0 : static_cast<int>((static_cast<int>(c & 0xff) * 255 + a / 2) / a);
  };
  return {un(v >> 16), un(v >> 8), un(v), a};
}

int count_unlike(const Cairo::RefPtr<Cairo::ImageSurface>& surface, int x, int y, int width, int height,
                 const Pixel& background)
{
  int count = 0;
  const int x1 = std::min(x + width, surface->get_width());
  const int y1 = std::min(y + height, surface->get_height());
  for (int j = std::max(0, y); j < y1; ++j)
    for (int i = std::max(0, x); i < x1; ++i)
      if (!near(pixel_at(surface, i, j), background, 0))
        ++count;
  return count;
}

} // namespace velkaro::test
