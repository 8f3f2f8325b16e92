#pragma once
// The grid drawers. ViewGridDrawer paints the background and the grid lines
// of both axes in the grid colour; ViewHVGridDrawer, which every canvas
// installs first, draws the lines along the active axis (the vertical ones
// while the controller's direction is vertical, else the horizontal ones)
// in active_grid over the others.
//
// Lines are one window pixel wide at every zoom (1 ÷ zoom canvas units)
// and cover only the update rectangle. Inside a text spread over several
// cells (a mono element), the segments between its cells are left out.

#include <memory>

#include "common/directions.h"
#include "view/ws_drawer.h"

namespace velkaro {

class ModelExpStack;

class ViewGridDrawer : public ViewWsDrawer {
public:
  ViewGridDrawer() = default;

  // Background, then the lines along h and along v in the grid colour.
  void draw() override;

  // Adds the grid lines that run along dir (h: horizontal lines, the far
  // edges of the rows; v: vertical lines) within the update rectangle to
  // the path, segment by segment, and strokes them once.
  void draw_lines(CellDir dir);
  // Whether the stacks of two neighbouring cells hold the very same mono
  // element at the same place: the edge between them then lies inside it.
  // False when either is null or their lengths differ.
  static bool are_multi(const ModelExpStack* a, const ModelExpStack* b);

protected:
  // Paints the background and sets the line width to 1 ÷ zoom.
  void begin();
};

class ViewHVGridDrawer : public ViewGridDrawer {
public:
  void draw() override;
};

} // namespace velkaro
