#include "view/transform_matrix.h"

#include "common/point.h"

namespace velkaro {
namespace {

// The turn of each direction: (a, b, c, d) for (xx, xy, yx, yy) before the
// scale. Indexed by MovingDir: up, down, left, right.
struct Turn {
  double a, b, c, d;
};

constexpr Turn turns[] = {
  {1, 0, 0, 1},   // up: as drawn
  {-1, 0, 0, -1}, // down: a half turn
  {0, 1, -1, 0},  // left: a quarter turn
  {0, -1, 1, 0},  // right: a quarter turn the other way
};

} // namespace

ViewTransformMatrix ViewTransformMatrix::new_dir(int32_t dir, double sx, double sy, double x0, double y0)
{
  const Turn& t = dir >= 0 && dir < 4 ? turns[dir] : turns[0];
  return ViewTransformMatrix(t.a * sx, t.b * sy, t.c * sx, t.d * sy, x0, y0);
}

Point& ViewTransformMatrix::transform(Point& p) const
{
  const double x = p.get_x();
  const double y = p.get_y();
  p.set_x(xx * x + xy * y + x0);
  p.set_y(yx * x + yy * y + y0);
  return p;
}

Point& ViewTransformMatrix::transform_off(Point& p) const
{
  p.set_x(p.get_x() - x0);
  p.set_y(p.get_y() - y0);
  return transform(p);
}

} // namespace velkaro
