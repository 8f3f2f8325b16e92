#include "common/point.h"

#include <cmath>

#include <glib.h>

#include "common/rectangle.h"

namespace velkaro {

Point::Point(double x, double y)
{
  set_x(x);
  set_y(y);
}

std::shared_ptr<Point> Point::create_median(const Point& p1, const Point& p2)
{
  return create((p1.m_x + p2.m_x) / 2, (p1.m_y + p2.m_y) / 2);
}

std::shared_ptr<Point> Point::create_median(const Rectangle& rect)
{
  return create(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

void Point::set_x(double x)
{
  m_x = x;
  m_signal_notify.emit("x");
}

void Point::set_y(double y)
{
  m_y = y;
  m_signal_notify.emit("y");
}

double Point::get(CellDir dir) const
{
  switch (dir) {
  case CellDir::h: return m_x;
  case CellDir::v: return m_y;
  default: g_error("Point::get: hv names no single coordinate");
  }
}

void Point::set(CellDir dir, double value)
{
  switch (dir) {
  case CellDir::h: set_x(value); break;
  case CellDir::v: set_y(value); break;
  default: g_error("Point::set: hv names no single coordinate");
  }
}

void Point::copy_from(const Point& p)
{
  double x = p.m_x, y = p.m_y; // p may be this very point
  set_x(x);
  set_y(y);
}

Point& Point::add(const Point& a)
{
  double ay = a.m_y; // read before x changes, in case a is self
  set_x(m_x + a.m_x);
  set_y(m_y + ay);
  return *this;
}

Point& Point::sub(const Point& a)
{
  double ay = a.m_y;
  set_x(m_x - a.m_x);
  set_y(m_y - ay);
  return *this;
}

Point& Point::multiply(double d)
{
  set_x(m_x * d);
  set_y(m_y * d);
  return *this;
}

Point& Point::divide(double d)
{
  if (d == 0)
    return *this;
  set_x(m_x / d);
  set_y(m_y / d);
  return *this;
}

void Point::move_for(const Point& to, double d)
{
  double dx = to.m_x - m_x;
  double dy = to.m_y - m_y;
  double dist_sq = dx * dx + dy * dy;
  if (dist_sq == 0)
    return;
  double k = std::sqrt(d * d / dist_sq);
  set_x(m_x + dx * k);
  set_y(m_y + dy * k);
}

double Point::norm_sq2(const Point& a, const Point& b)
{
  double dx = a.m_x - b.m_x;
  double dy = a.m_y - b.m_y;
  return dx * dx + dy * dy;
}

std::string Point::to_string() const
{
  char buf[96];
  g_snprintf(buf, sizeof buf, "(%.1f, %.1f)", m_x, m_y);
  return buf;
}

} // namespace velkaro
