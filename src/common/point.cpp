#include "common/point.h"

#include <cmath>

#include <glib.h>

#include "common/rectangle.h"

namespace velkaro {

Point Point::create_median(const Point& p1, const Point& p2)
{
  return {(p1.m_x + p2.m_x) / 2, (p1.m_y + p2.m_y) / 2};
}

Point Point::create_median(const Rectangle& rect)
{
  return {rect.x + rect.width / 2, rect.y + rect.height / 2};
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

Point& Point::add(const Point& a)
{
  m_x += a.m_x;
  m_y += a.m_y;
  return *this;
}

Point& Point::sub(const Point& a)
{
  m_x -= a.m_x;
  m_y -= a.m_y;
  return *this;
}

Point& Point::multiply(double d)
{
  m_x *= d;
  m_y *= d;
  return *this;
}

Point& Point::divide(double d)
{
  if (d == 0)
    return *this;
  m_x /= d;
  m_y /= d;
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
  m_x += dx * k;
  m_y += dy * k;
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
