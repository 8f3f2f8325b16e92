#include "common/rectangle.h"

#include <algorithm>

#include <glib.h>

#include "common/point.h"

namespace velkaro {

Rectangle Rectangle::init_from_cairo_int(const cairo_rectangle_int_t& r)
{
  return {double(r.x), double(r.y), double(r.width), double(r.height)};
}

cairo_rectangle_int_t Rectangle::to_cairo_int() const
{
  // Conversion to int truncates toward zero, field by field.
  return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)};
}

Point Rectangle::get_center() const { return {get_xmid(), get_ymid()}; }

Rectangle Rectangle::combine(const Rectangle& o) const
{
  Rectangle r;
  r.x = std::min(x, o.x);
  r.y = std::min(y, o.y);
  r.width = std::max(get_right(), o.get_right()) - r.x;
  r.height = std::max(get_bottom(), o.get_bottom()) - r.y;
  return r;
}

bool Rectangle::contains_xy(const Point& pt) const
{
  return x <= pt.get_x() && pt.get_x() <= x + width && y <= pt.get_y() && pt.get_y() <= y + height;
}

bool Rectangle::is_intersect_region(const cairo_region_t* region) const
{
  int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t ri;
    cairo_region_get_rectangle(region, i, &ri);
    if (is_intersect(init_from_cairo_int(ri)))
      return true;
  }
  return false;
}

bool Rectangle::is_intersect(const Rectangle& o) const
{
  return x <= o.x + o.width && o.x <= x + width && y <= o.y + o.height && o.y <= y + height;
}

Rectangle Rectangle::expand(double d)
{
  x -= d / 2;
  y -= d / 2;
  width += d;
  height += d;
  return *this;
}

Rectangle Rectangle::multiply(double k)
{
  x *= k;
  y *= k;
  width *= k;
  height *= k;
  return *this;
}

Rectangle Rectangle::divide(double k)
{
  if (k == 0)
    return *this;
  return multiply(1 / k);
}

void Rectangle::debug_print(const std::string& prefix) const
{
  g_debug("common:863: %s x = %.1f, y = %.1f, width = %.1f, height = %.1f", prefix.c_str(), x, y, width, height);
}

} // namespace velkaro
