#pragma once
// ViewTransformMatrix: a small affine matrix that turns a shape drawn for
// one direction into any of the four directions of a MovingDir (arrow heads,
// diamonds, the wings of a transition arrow). It maps (x, y) to
// (xx·x + xy·y + x0, yx·x + yy·y + y0).

#include <cstdint>

namespace velkaro {

class Point;

class ViewTransformMatrix {
public:
  ViewTransformMatrix(double xx, double xy, double yx, double yy, double x0, double y0)
    : xx(xx), xy(xy), yx(yx), yy(yy), x0(x0), y0(y0)
  {
  }

  // The matrix that turns a shape pointing up (toward negative y) from the
  // origin so that it points in dir (0 up, 1 down, 2 left, 3 right; any
  // other value counts as up), after scaling the shape's own x by sx and y
  // by sy, and moves the origin to (x0, y0).
  static ViewTransformMatrix new_dir(int32_t dir, double sx, double sy, double x0, double y0);

  // Maps p in place, both new coordinates from the old ones; returns p.
  Point& transform(Point& p) const;
  // Moves p by (-x0, -y0), then transform(): for a point given in absolute
  // coordinates, a turn and scale about the origin (x0, y0). Returns p.
  Point& transform_off(Point& p) const;

  double xx;
  double xy;
  double yx;
  double yy;
  double x0;
  double y0;
};

} // namespace velkaro
