#pragma once
// A rectangle in canvas units: a plain value of four doubles.

#include <memory>
#include <string>

#include <cairo.h>

#include "common/directions.h"
#include "common/point.h"

namespace velkaro {


struct Rectangle {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  static Rectangle init(double x, double y, double width, double height) { return {x, y, width, height}; }
  static Rectangle init_from_cairo_int(const cairo_rectangle_int_t& r);
  // Each field truncated toward zero on its own.
  cairo_rectangle_int_t to_cairo_int() const;

  double get_left() const { return x; }
  double get_top() const { return y; }
  double get_right() const { return x + width; }
  double get_bottom() const { return y + height; }
  double get_xmid() const { return x + width / 2; }
  double get_ymid() const { return y + height / 2; }
  Point get_center() const;
  // h gives the horizontal value; every other value the vertical one.
  double get_start(CellDir dir) const { return dir == CellDir::h ? x : y; }
  double get_end(CellDir dir) const { return dir == CellDir::h ? x + width : y + height; }
  double get_size(CellDir dir) const { return dir == CellDir::h ? width : height; }
  bool get_is_zero() const { return x == 0 && y == 0 && width == 0 && height == 0; }

  // The bounding box of self and other; a zero rectangle counts as a point at the origin.
  Rectangle combine(const Rectangle& other) const;
  // Edges included.
  bool contains_xy(const Point& pt) const;
  // True when self touches or overlaps a rectangle of the region.
  bool is_intersect_region(const cairo_region_t* region) const;
  // True when self touches or overlaps other.
  bool is_intersect(const Rectangle& other) const;
  // Grows by d about the centre (a negative d shrinks); changes self.
  Rectangle expand(double d);
  Rectangle multiply(double k);
  Rectangle divide(double k);
  void debug_print(const std::string& prefix) const;

  bool operator==(const Rectangle&) const = default;
};

} // namespace velkaro
