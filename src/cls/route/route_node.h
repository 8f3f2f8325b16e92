#pragma once
// ClsRouteNode: one node of the route graph of a class diagram, at one cell.
//
// The router's node map owns every node (std::shared_ptr). The links and the
// search predecessor are observer pointers to nodes of the same router: the
// router relinks every node that pointed at a node before that node leaves
// the map, so after any router operation no link names a node outside it.
//
// The search fields (dist, pred) are written by the router's route search
// only and mean something only between a search and its trace; the router
// resets them lazily (see ClsRouter::init_node()), so nothing else may write
// them, and they are read through the router (dist_of(), pred_of()). The
// weights of the links follow from the node's cell (ClsRouter::weight_of()).

#include <array>
#include <cstdint>
#include <string>

#include "common/cell_pos.h"
#include "common/directions.h"

namespace velkaro {

// What the search reads of every node it meets (links, dist, the terminal
// flag, the cell) comes first and fits one cache line: a node is aligned to
// one.
class alignas(64) ClsRouteNode {
public:
  ClsRouteNode() = default;
  explicit ClsRouteNode(const CellPos& p) : pos(p) {}
  ClsRouteNode(const ClsRouteNode&) = delete;
  ClsRouteNode& operator=(const ClsRouteNode&) = delete;

  // The nearest node on the node's column (up, down) or row (left, right),
  // indexed by MovingDir; null where there is none.
  std::array<ClsRouteNode*, 4> links{};
  // Search distance from the start node.
  int32_t dist = 0;
  // The cell is a registered terminal.
  bool is_terminal = false;
  // The node's cell.
  CellPos pos{0, 0};
  // The node from which the search last lowered dist.
  ClsRouteNode* pred = nullptr;
  // How many (generator cell, offset) pairs land on the cell.
  int32_t references = 0;

  ClsRouteNode* link(MovingDir d) const { return links[static_cast<size_t>(d)]; }
  void set_link(MovingDir d, ClsRouteNode* node) { links[static_cast<size_t>(d)] = node; }

  // references + 1; returns the node.
  ClsRouteNode& reference()
  {
    ++references;
    return *this;
  }
  void unreference() { --references; }
  bool get_is_referenced() const { return references > 0; }

  // One debug-level line with prefix, the cell, the four links, dist and
  // pred (as the last search left them).
  void debug_print(const std::string& prefix) const;

private:
  friend class ClsRouter;
  // The search the search fields belong to (ClsRouter counts searches):
  // under any other they read as reset.
  uint32_t m_search = 0;
};

} // namespace velkaro
