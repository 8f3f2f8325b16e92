#pragma once
// ClsAbstractConnectorEndDrawer: paints the shape at one end of a connector
// (an arrow head, a diamond). A shape is a few unit points, x across the
// line and y along it, its tip at the origin and its body on the positive y
// side; drawing scales them by the term's width (across) and height (along),
// turns them so that the shape points in udlr and puts the tip on end_pt:
//   up    (end_pt.x + u·w, end_pt.y + v·h)
//   down  (end_pt.x − u·w, end_pt.y − v·h)
//   left  (end_pt.x + v·h, end_pt.y − u·w)
//   right (end_pt.x − v·h, end_pt.y + u·w)
// (any other direction as up). The drawer strokes (and fills) in the colour
// and line width current on the drawer context's cairo context; it sets
// neither.
//
// The connector drawers keep one end drawer of each kind in a shared table
// (ClsConnectorDrawerBase); an end drawer holds nothing that depends on a
// connector, so one instance serves every connector and draw.

#include <memory>
#include <vector>

#include "common/directions.h"
#include "common/point.h"

namespace velkaro {

class ViewDrawerContext;

class ClsAbstractConnectorEndDrawer {
public:
  virtual ~ClsAbstractConnectorEndDrawer() = default;
  ClsAbstractConnectorEndDrawer(const ClsAbstractConnectorEndDrawer&) = delete;
  ClsAbstractConnectorEndDrawer& operator=(const ClsAbstractConnectorEndDrawer&) = delete;

  // Paints the shape width across and height along, its tip at end_pt
  // (canvas units), pointing in udlr, on dc's cairo context. A context
  // without a cairo context is refused with a critical message.
  virtual void draw(ViewDrawerContext& dc, double width, double height, const Point& end_pt, MovingDir udlr) = 0;

  // The unit points placed as draw() places them, in their order.
  static std::vector<Point> place(const std::vector<Point>& unit, double width, double height, const Point& end_pt,
                                  MovingDir udlr);

protected:
  ClsAbstractConnectorEndDrawer() = default;
};

} // namespace velkaro
