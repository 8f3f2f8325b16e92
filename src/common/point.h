#pragma once
// A point in canvas units: a plain value of two doubles. Copies are
// independent; hold points by value and pass them as const Point&. The
// arithmetic works in place and returns the same point for chaining.

#include <string>

#include "common/directions.h"

namespace velkaro {

struct Rectangle;

class Point {
public:
  Point(double x = 0, double y = 0) : m_x(x), m_y(y) {}
  bool operator==(const Point& p) const = default;

  // The point halfway between p1 and p2.
  static Point create_median(const Point& p1, const Point& p2);
  // The centre of the rectangle.
  static Point create_median(const Rectangle& rect);

  double get_x() const { return m_x; }
  double get_y() const { return m_y; }
  void set_x(double x) { m_x = x; }
  void set_y(double y) { m_y = y; }
  // x for h, y for v; hv stops the program.
  double get(CellDir dir) const;
  void set(CellDir dir, double value);

  void copy_from(const Point& p) { *this = p; }
  Point& add(const Point& a);
  Point& sub(const Point& a);
  Point& multiply(double d);
  Point& divide(double d);
  // Moves abs(d) along the line toward `to` (overshooting when d is longer
  // than the distance). A zero distance leaves the point where it is.
  void move_for(const Point& to, double d);

  double norm_sq() const { return m_x * m_x + m_y * m_y; }
  static double norm_sq2(const Point& a, const Point& b);
  // "(%.1f, %.1f)".
  std::string to_string() const;

private:
  double m_x = 0;
  double m_y = 0;
};

} // namespace velkaro
