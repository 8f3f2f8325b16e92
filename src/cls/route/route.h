#pragma once
// ClsRoute: the cells of one route over the route graph, from the start
// cell to the goal cell, with the two cells the route was asked for. Two
// consecutive cells lie on one row or one column; no cell occurs twice.
//
// A route the router searched also says what the search looked at (the
// cells of the nodes it expanded, of the nodes they link to, and of both
// ends) and which graph it searched (the router and the moment), so that
// the router can tell later whether the same search would still find it
// (ClsRouter::shortest_route()).

#include <cstdint>
#include <memory>
#include <vector>

#include "common/cell_pos.h"
#include "common/cell_range.h"

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
  // What the search read of the graph lies in searched; the graph was the
  // one of router graph_router (0: no search made the route) at the moment
  // graph_stamp (ClsRouter::get_graph_stamp()).
  CellRange searched{{0, 0}, {0, 0}};
  uint64_t graph_router = 0;
  uint64_t graph_stamp = 0;

  // The route cut into maximal straight runs, in order: consecutive segments
  // share their joint cell, each names its neighbours (prev, next). Empty for
  // a route of fewer than two cells. The caller owns the list, which alone
  // keeps the segments alive.
  std::vector<std::shared_ptr<ClsSegment>> new_segments() const;
};

} // namespace velkaro
