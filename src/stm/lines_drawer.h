#pragma once
// StmLinesDrawer: draws the line elements, straight from the figure centre
// (StmPointsDrawer::center()) of the anchor cell to that of the end cell.
// - A transition ending where no other transition goes on (is-end) stops
//   10 short of its end cell's centre, on the circle of a figure there,
//   and gets an arrow head of two wings 7.5 back and 3.75 aside; one
//   starting on a point state (is-start) starts 10 from its anchor cell's
//   centre. A transition whose end cell is its anchor cell (before its
//   first stretch) has no direction and is not drawn.
// - A concurrency line is drawn 3.0 wide, with neither head nor pull-back.
// Lines are stroked in the style the element walk set (ViewWsDrawer).
//
// Installed by the state-machine canvas (not in its working pass) and
// exporter.

#include "common/cell_pos.h"
#include "common/directions.h"
#include "common/point.h"
#include "stm/points_drawer.h"
#include "view/ws_drawer.h"

namespace velkaro {

class StmLinesDrawer : public ViewWsDrawer {
public:
  void draw() override;

  // The figure centre of cell pos of the bound workspace's grid.
  Point cell_to_point(const CellPos& pos) const;
  // Adds the two wings of an arrow head whose tip is at tip, pointing in
  // dir: lines from the tip to tip + (3.75, 7.5) and tip + (-3.75, 7.5)
  // turned from up to dir about the tip.
  void wings(const Point& tip, MovingDir dir);
  // Draws now_elm.
  void draw_line_elm();

private:
  // Transitions end on the circle of a point figure.
  double m_radius = StmPointsDrawer::RADIUS;
};

} // namespace velkaro
