#pragma once
// A point in canvas units. A point is a value: copies are independent (a
// copy takes the coordinates, never the listeners). Holders that share one
// point through std::shared_ptr<Point> see each other's changes; the
// arithmetic works in place and returns the same point for chaining.
// Every set of a coordinate emits signal_notify() with "x" or "y", also when
// the value does not change; an operation that sets both sets x first.

#include <memory>
#include <string>

#include <sigc++/signal.h>

#include "common/directions.h"

namespace velkaro {

struct Rectangle;

class Point {
public:
  Point(double x = 0, double y = 0);
  Point(const Point& p) : m_x(p.m_x), m_y(p.m_y) {}
  // Sets x, then y, as set_x() and set_y() do.
  Point& operator=(const Point& p)
  {
    copy_from(p);
    return *this;
  }
  bool operator==(const Point& p) const { return m_x == p.m_x && m_y == p.m_y; }

  static std::shared_ptr<Point> create(double x = 0, double y = 0) { return std::make_shared<Point>(x, y); }
  // The point halfway between p1 and p2.
  static std::shared_ptr<Point> create_median(const Point& p1, const Point& p2);
  // The centre of the rectangle.
  static std::shared_ptr<Point> create_median(const Rectangle& rect);

  double get_x() const { return m_x; }
  double get_y() const { return m_y; }
  void set_x(double x);
  void set_y(double y);
  // x for h, y for v; hv stops the program.
  double get(CellDir dir) const;
  void set(CellDir dir, double value);

  std::shared_ptr<Point> dup() const { return create(m_x, m_y); }
  void copy_from(const Point& p);
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

  // Emitted with "x" or "y" on every set of that coordinate.
  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }

private:
  double m_x = 0;
  double m_y = 0;
  sigc::signal<void(const char*)> m_signal_notify;
};

} // namespace velkaro
