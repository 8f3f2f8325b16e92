#pragma once
// StmPointsDrawer: draws the point states and pseudo states, each as a
// figure of radius 10 about the centre of its cell (center()), chosen by
// the element's exact class name:
// - begin state: a filled disc of radius 10;
// - junction: a filled disc of radius 5;
// - conditional pseudo state: a diamond whose corners lie 10 from the
//   centre, up, right, down and left;
// - sink state: a filled disc of radius 20/3 inside a circle of radius 10;
// - entry: a circle; exit: a circle with an X of four spokes inside;
//   history: a circle with an H inside;
// - terminate node: an X of 20 by 20.
// Discs are filled and lines stroked in the style the element walk set
// (ViewWsDrawer). Each figure is drawn antialiased, and the antialiasing
// in force before it comes back after it.
//
// Installed by the state-machine canvas (not in its working pass) and
// exporter; the insert popup draws its icons with draw_to_pixbuf().

#include <memory>
#include <string>

#include "common/point.h"
#include "common/rectangle.h"
#include "view/ws_drawer.h"

namespace velkaro {

class StmPointsDrawer : public ViewWsDrawer {
public:
  // The radius of a figure; the lines drawer pulls transitions back by it.
  static constexpr double RADIUS = 10.0;

  void draw() override;

  // The centre of a figure in the cell rectangle gr: 15 from its left edge
  // and 15 above its bottom edge, the middle of a cell of the grid's
  // smallest size (30 by 30).
  static Point center(const Rectangle& gr);
  // Adds a full circle of radius r about (x, y) to the path, as a sub-path
  // of its own.
  void circle(double x, double y, double r);
  // Draws the figure of now_elm in now_rect.
  void draw_elm();
  // Draws the figure of a new element of the XML name of a point kind on
  // dc, in the cell rectangle gr, in the style of an element walked
  // without a controller (line width 1.0 in element_line): binds dc, makes
  // gr and the element the current rectangle and element, and draw_elm().
  // The controller bound stays. Nothing for a name StmElms::make() does
  // not know (a critical message).
  void draw_to_pixbuf(const std::shared_ptr<ViewDrawerContext>& dc, const std::string& name, const Rectangle& gr);

private:
  double m_radius = RADIUS;
};

} // namespace velkaro
