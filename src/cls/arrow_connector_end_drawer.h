#pragma once
// ClsAbstractArrowConnectorEndDrawer: an arrow head, the two wings from the
// tip back by the height and aside by half the width each; closed by its
// base (a hollow triangle, the generalization's) unless is_open (the open
// arrow of a dependency's, an aggregation's and a composition's end).
// Nothing is filled: what lies under a hollow triangle shows through it.
//
// The two kinds: ClsOpenArrowConnectorEndDrawer (is_open) and
// ClsWhiteArrowConnectorEndDrawer.

#include <vector>

#include "cls/abstract_connector_end_drawer.h"

namespace velkaro {

// The arrow's unit points, by index.
enum class ClsAbstractArrowConnectorEndDrawerPointName { TOP = 0, LEFT_WING = 1, RIGHT_WING = 2 };

class ClsAbstractArrowConnectorEndDrawer : public ClsAbstractConnectorEndDrawer {
public:
  // Top (0, 0), left wing (-0.5, 1), right wing (0.5, 1).
  static const std::vector<Point>& unit_points();

  // Lines from the tip to each wing, then, unless open, from wing to wing;
  // one stroke.
  void draw(ViewDrawerContext& dc, double width, double height, const Point& end_pt, MovingDir udlr) override;

  const bool is_open;

protected:
  explicit ClsAbstractArrowConnectorEndDrawer(bool is_open) : is_open(is_open) {}
};

class ClsOpenArrowConnectorEndDrawer : public ClsAbstractArrowConnectorEndDrawer {
public:
  ClsOpenArrowConnectorEndDrawer() : ClsAbstractArrowConnectorEndDrawer(true) {}
};

class ClsWhiteArrowConnectorEndDrawer : public ClsAbstractArrowConnectorEndDrawer {
public:
  ClsWhiteArrowConnectorEndDrawer() : ClsAbstractArrowConnectorEndDrawer(false) {}
};

} // namespace velkaro
