#pragma once
// ClsRouteNode: one node of the route graph of a class diagram, at one cell.
//
// The router's node map owns every node (std::shared_ptr). The links and the
// search predecessor are observer pointers to nodes of the same router: the
// router relinks every node that pointed at a node before that node leaves
// the map, so after any router operation no link names a node outside it.
//
// The search fields (weights, dist, pred) are written by the router's route
// search only and mean something only between a search and its trace; the
// router resets them lazily (see ClsRouter::init_node()), so nothing else
// may write them.

#include <array>
#include <cstdint>
#include <string>

#include "common/cell_pos.h"
#include "common/directions.h"

namespace velkaro {

// What the search reads of every node it meets (links, weights, dist, the
// terminal flag, the cell) comes first and fits one cache line: a node is
// aligned to one.
class alignas(64) ClsRouteNode {
public:
  ClsRouteNode() = default;
  explicit ClsRouteNode(const CellPos& p) : pos(p) {}
  ClsRouteNode(const ClsRouteNode&) = delete;
  ClsRouteNode& operator=(const ClsRouteNode&) = delete;

  // The nearest node on the node's column (up, down) or row (left, right),
  // indexed by MovingDir; null where there is none.
  std::array<ClsRouteNode*, 4> links{};
  // The cost of leaving the node through each link.
  std::array<int32_t, 4> weights{};
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
  int32_t weight(MovingDir d) const { return weights[static_cast<size_t>(d)]; }
  void set_weight(MovingDir d, int32_t w) { weights[static_cast<size_t>(d)] = w; }

  // references + 1; returns the node.
  ClsRouteNode& reference()
  {
    ++references;
    return *this;
  }
  void unreference() { --references; }
  bool get_is_referenced() const { return references > 0; }

  // One debug-level line with prefix, the cell, the four links with their
  // weights, dist and pred.
  void debug_print(const std::string& prefix) const;

private:
  friend class ClsRouter;
  // The search fields may differ from their reset values; the router keeps
  // such nodes on a list to reset before the next search.
  bool m_search_dirty = false;
};

} // namespace velkaro
