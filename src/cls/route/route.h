#pragma once
// ClsRoute: the cells of one route over the route graph, from the start
// cell to the goal cell, with the two cells the route was asked for. Two
// consecutive cells lie on one row or one column; no cell occurs twice.

#include <memory>
#include <vector>

#include "common/cell_pos.h"

namespace velkaro {

class ClsSegment;

class ClsRoute {
public:
  static std::shared_ptr<ClsRoute> create() { return std::make_shared<ClsRoute>(); }

  // The cells asked for; (0, 0) until a search sets them.
  CellPos start{0, 0};
  CellPos goal{0, 0};
  // The route's cells, start first.
  std::vector<CellPos> cells;

  // The route cut into maximal straight runs, in order: consecutive segments
  // share their joint cell, each names its neighbours (prev, next). Empty for
  // a route of fewer than two cells. The caller owns the list, which alone
  // keeps the segments alive.
  std::vector<std::shared_ptr<ClsSegment>> new_segments() const;
};

} // namespace velkaro
