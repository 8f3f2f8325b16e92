#pragma once
// ClsAbstractDiamondConnectorEndDrawer: a diamond from the tip back by the
// height, half the height back as wide as the width: the closed outline of
// its four corners, stroked, then filled when is_black (the composition's
// start), else left transparent inside (the aggregation's start).
//
// The two kinds: ClsWhiteDiamondConnectorEndDrawer and
// ClsBlackDiamondConnectorEndDrawer (is_black).

#include <vector>

#include "cls/abstract_connector_end_drawer.h"

namespace velkaro {

class ClsAbstractDiamondConnectorEndDrawer : public ClsAbstractConnectorEndDrawer {
public:
  // (0, 0), (-0.5, 0.5), (0, 1), (0.5, 0.5).
  static const std::vector<Point>& unit_points();

  void draw(ViewDrawerContext& dc, double width, double height, const Point& end_pt, MovingDir udlr) override;

  const bool is_black;

protected:
  explicit ClsAbstractDiamondConnectorEndDrawer(bool is_black) : is_black(is_black) {}
};

class ClsWhiteDiamondConnectorEndDrawer : public ClsAbstractDiamondConnectorEndDrawer {
public:
  ClsWhiteDiamondConnectorEndDrawer() : ClsAbstractDiamondConnectorEndDrawer(false) {}
};

class ClsBlackDiamondConnectorEndDrawer : public ClsAbstractDiamondConnectorEndDrawer {
public:
  ClsBlackDiamondConnectorEndDrawer() : ClsAbstractDiamondConnectorEndDrawer(true) {}
};

} // namespace velkaro
