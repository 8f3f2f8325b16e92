#pragma once
// ClsRouter: the route graph of a class diagram and its cheapest-route
// search.
//
// The router is a cell map of route nodes (the node map). Each cell a
// connector may end on is registered as a terminal, as often as it is
// registered. The generator cells are every terminal cell, once per
// registration, and, for every two registrations at cells A and B in
// different rows and columns, the corner cells (A.x, B.y) and (B.x, A.y),
// once per such pair. Every cell of the 3 by 3 block around a generator cell
// holds a node whose `references` counts how many (generator, offset) pairs
// land on it; every node links to the nearest node in each of the four
// directions on its row or column, however far, and links are symmetric.
// Registering and unregistering keep this exactly, in any order of calls.
//
// Cost: registering links only the nodes it creates (their reverse links
// bring the old ones up to date); unregistering relinks only the surviving
// neighbours of the nodes it drops. Either costs what the registration's
// blocks touch, and a registration followed by its unregistration leaves
// the graph exactly as it was. The corners of a registration are counted
// per cell (terminals sharing a column give one corner on pos's row), so it
// looks up a block per column and per row of the terminals, not per
// terminal.
//
// The search stops when the goal leaves the queue: weights are positive, so
// the goal's cost and the predecessors back to the start are final then,
// and the route is the one a search over the whole graph would trace. The
// queue holds one bucket per distance (weights lie between 1 and 100, so
// 128 circular buckets never mix two distances) and takes entries out by
// distance, first in first out among equal ones, at constant cost (a bit
// per bucket lets the walk over distances jump over empty buckets). The
// nodes' search fields are reset lazily: each node carries the number of
// the search its fields belong to, and a search resets a node's fields
// when it first meets it, so a search costs the nodes it meets alone.
//
// Routes found again. A search reads, of the node at a cell, whether there
// is one, its terminal flag and the cells its links lead to (the weights
// follow from those); every change of these is logged with the cell and
// what the cell looked like before (once per cell and operation: a line
// operation moves every registration beyond the line one at a time). A
// route keeps the rectangle of cells its search read (the nodes it
// expanded, the nodes they link to, both ends) and the log position it was
// searched at; shortest_route() hands it back as long as every cell of that
// rectangle logged since looks now as it did then (a class removed and
// another pasted in its place, a row opened and removed again, leave the
// cells as they were): the search would read the same graph in the same
// order and find the same cells. The cells that look otherwise since a log
// position are worked out once (a walk of the log since then) and kept
// until the graph changes again, so a route costs a look at those. The log
// keeps the latest LOG_LIMIT changes; a route older than the log is
// searched again. Before the first search of a graph (a diagram's cells
// registered as it opens) nothing is kept: no route could read it.
//
// Rows and columns: the router replaces the line operations of the cell map
// whole (the callbacks handed to them are ignored). The node map is never
// shifted; one registration per terminal cell beyond the line moves, and
// the nodes follow the registrations.
//
// Positions: a registration must lie in 0..CellPos::MAX on both axes. The
// router refuses any other with a warning; a line operation that would move
// a registration out of the grid drops it.
//
// Node pointers handed out (get_nearest_node(), find_node()) stay valid until
// the next registration, unregistration or line operation. The node map is
// the router's: nodes stored or removed through the cell map's own set() and
// remove() would break the links and the search's bookkeeping.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "cls/route/route_node.h"
#include "common/cell_pos.h"
#include "common/directions.h"
#include "model/cells.h"

namespace velkaro {

class ClsRoute;

class ClsRouter : public ModelCells<ClsRouteNode> {
public:
  using PosFunc = std::function<void(const CellPos& pos)>;
  using TermCounts = ModelCells<int32_t>;

  // The weight of a link before a search makes the lines out of its ends
  // cheaper, and the factors it applies along them.
  static constexpr int32_t BASE_WEIGHT = 100;
  static constexpr double VERTICAL_LINE_FACTOR = 0.2;
  static constexpr double HORIZONTAL_LINE_FACTOR = 0.5;
  static constexpr int32_t UNREACHED = 2147483647;
  // The changes the log keeps at most.
  static constexpr size_t LOG_LIMIT = 1 << 16;

  static std::shared_ptr<ClsRouter> create() { return std::make_shared<ClsRouter>(); }

  ClsRouter();

  // --- The graph.

  // Registers one terminal at pos; false (with a warning, nothing changed)
  // for a position outside the grid, else true.
  bool add_terminatable_node(const CellPos& pos);
  // Removes one registration at pos; true, also when pos is no terminal.
  bool rm_terminatable_node(const CellPos& pos);
  // How many times pos is registered; 0 for no terminal.
  int32_t get_term_count(const CellPos& pos) const;
  // Every terminal cell with its count (rows ascending, columns ascending).
  const TermCounts& get_term_counts() const { return *m_term_counts; }

  // The node at (x, y), or null; as get() without a counted reference.
  ClsRouteNode* find_node(int32_t x, int32_t y) const;
  ClsRouteNode* find_node(const CellPos& pos) const { return find_node(pos.x, pos.y); }

  // The nearest referenced node strictly beyond pos in dir on pos's column
  // (up, down) or row (left, right); null when there is none.
  ClsRouteNode* get_nearest_node(const CellPos& pos, MovingDir dir) const;
  // Links node to its nearest node in dir, and that node back to it.
  void link_nearest(ClsRouteNode& node, MovingDir dir);
  // Links every node of the set in up, down, left and right.
  void update_link_nodes(const std::vector<ClsRouteNode*>& nodes);
  // Calls fn for the corner cells of pos with every other terminal cell
  // (once per registration of that cell), terminals in map order, for each
  // (t.x, pos.y) then (pos.x, t.y). Terminals on pos's row or column give
  // none.
  void foreach_term_cross_pos(const CellPos& pos, const PosFunc& fn) const;
  // Calls fn for the cells of the 3 by 3 block around pos that lie in the
  // grid, row by row from the top left.
  static void foreach_neighbor_9_nodes(const CellPos& pos, const PosFunc& fn);

  // Moves one registration of every terminal cell whose coordinate on the
  // axis of dir (x for h, y for v) is at least index by count cells.
  void shift_node_at(CellDir dir, int32_t index, int32_t count);
  // Unregisters once every terminal cell whose coordinate on the axis of dir
  // lies in index .. index + count - 1.
  void rm_terminatable_node_at(CellDir dir, int32_t index, int32_t count);

  void insert_row(int32_t index, int32_t count, const CellFunc& moved) override;
  void insert_col(int32_t index, int32_t count, const CellFunc& moved) override;
  void remove_row(int32_t index, int32_t count, const CellFunc& removed,
                  const CellFunc& moved) override;
  void remove_col(int32_t index, int32_t count, const CellFunc& removed,
                  const CellFunc& moved) override;
  // Drops every node and every registration.
  void clear() override;

  // --- The search (router_search.cpp).

  // The cheapest route from start to goal over the graph: the cells of its
  // nodes from start to goal. The cost of a link is the weight of the node
  // it leaves in its direction: BASE_WEIGHT, made cheaper along the straight
  // lines out of both ends (set_recommended_path_weight()). Terminals other
  // than the goal are never entered. Among equally cheap routes the first
  // found wins: directions are tried up, down, left, right, and nodes of
  // equal distance leave the queue in the order they entered it.
  //
  // The route is empty when either end lies outside the grid (start and
  // goal then stay (0, 0)), or when no node lies at the start or at the
  // goal cell; it is the goal cell alone when the goal cannot be reached or
  // equals the start.
  std::shared_ptr<ClsRoute> new_shortest_route(const CellPos& start, const CellPos& goal);
  // The route new_shortest_route(start, goal) gives: earlier itself when it
  // is this router's route for start and goal and the search would still
  // find it, else a new search.
  std::shared_ptr<const ClsRoute> shortest_route(const CellPos& start, const CellPos& goal,
                                                 const std::shared_ptr<const ClsRoute>& earlier);
  // Whether a search for route's cells now would read the graph as route's
  // search did (so find the same route).
  bool still_holds(const ClsRoute& route) const;
  // How many changes the graph has seen.
  uint64_t get_graph_stamp() const { return m_log_base + m_log.size(); }
  // Gives every node the reset search fields: weights BASE_WEIGHT, dist
  // UNREACHED, no pred. No node is visited: the fields of every node read
  // so until the search meets the node (meet()).
  void init_node();
  // A node's search fields as the search left them.
  int32_t dist_of(const ClsRouteNode& node) const { return node.m_search == m_search ? node.dist : UNREACHED; }
  // The cost of leaving node through its link in d: BASE_WEIGHT, made
  // cheaper along the lines set_recommended_path_weight() set; BASE_WEIGHT
  // without a link.
  int32_t weight_of(const ClsRouteNode& node, MovingDir d) const
  {
    return node.link(d) ? line_weight(node.pos, d) : BASE_WEIGHT;
  }
  const ClsRouteNode* pred_of(const ClsRouteNode& node) const
  {
    return node.m_search == m_search ? node.pred : nullptr;
  }
  // Makes the lines out of the start cell, then out of the goal cell (when
  // a node stands there), cheaper in up, down, left, right: the weight in
  // d of every node from the end on along its links in d, if it has a link
  // in d, is multiplied by 0.2 vertically, 0.5 horizontally, truncated
  // toward zero. The nodes are not visited: a node on such a line lies on
  // the end's column (row) on the side of d, so the weight follows from its
  // cell (weight_of()).
  void set_recommended_path_weight(const CellPos& start, const CellPos& goal);
  // Fills route with the cells from the goal back along pred, front first.
  void trace_pred(ClsRoute& route, const CellPos& goal) const;

private:
  // The cells of a generator's 3 by 3 block that lie in the grid, row by
  // row from the top left, with the node of each (null where none is).
  struct Block {
    std::array<CellPos, 9> cells;
    std::array<ClsRouteNode*, 9> nodes;
    int count = 0;
  };
  // Three row lookups, each followed by a walk along the row, instead of a
  // lookup per cell.
  void find_block(const CellPos& generator, Block& block) const;
  // foreach_term_cross_pos() without a function object per call.
  template <class Fn>
  void for_each_corner(const CellPos& pos, Fn&& fn) const
  {
    for (const auto& [y, row] : m_term_counts->get_rows())
      for (const auto& [x, count] : row) {
        if (x == pos.x || y == pos.y)
          continue; // pos itself, or a terminal on its row or column
        for (int32_t i = 0; i < *count; ++i) {
          fn(CellPos{x, pos.y});
          fn(CellPos{pos.x, y});
        }
      }
  }
  // The corner cells of pos with every other terminal as
  // foreach_term_cross_pos() calls them, each distinct cell once with the
  // number of times it comes.
  std::vector<std::pair<CellPos, int32_t>> corner_generators(const CellPos& pos) const;
  // Creates the nodes a generator's block lacks and references each cell of
  // the block times times.
  void reference_block(const CellPos& generator, int32_t times, std::vector<ClsRouteNode*>& created);
  // Terminal cells whose coordinate on the axis lies in first .. last.
  std::vector<CellPos> terminals_on(CellDir dir, int64_t first, int64_t last) const;
  // The node's search fields, reset when they belong to an earlier search.
  void meet(ClsRouteNode& node)
  {
    if (node.m_search == m_search)
      return;
    node.m_search = m_search;
    node.dist = UNREACHED;
    node.pred = nullptr;
  }
  // What a search can read of the node at a cell: whether there is one,
  // its terminal flag and the cells its links lead to ((-1, -1): none).
  struct NodeLook {
    bool exists = false;
    bool is_terminal = false;
    std::array<CellPos, 4> links{CellPos{-1, -1}, CellPos{-1, -1}, CellPos{-1, -1}, CellPos{-1, -1}};
    bool operator==(const NodeLook&) const = default;
  };
  struct Change {
    CellPos cell;
    NodeLook before;
  };
  static NodeLook look_of(const ClsRouteNode& node);
  NodeLook look_at(const CellPos& cell) const;
  // Logs a change a search could read at cell, which looked as before
  // (the node there, null for none), unless the operation under way logged
  // the cell already; moves the stamp on alone while no route of this graph
  // exists.
  void log_change(const CellPos& cell, const ClsRouteNode* before);
  // The cells that look otherwise now than at the log position stamp (at
  // least m_log_base).
  const std::vector<CellPos>& changed_since(uint64_t stamp) const;
  // Open while a public operation changes the graph (nested ones share the
  // outermost).
  class Edit {
  public:
    explicit Edit(ClsRouter& router);
    ~Edit();
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

  private:
    ClsRouter& m_router;
  };
  // Sets node's link in dir, logging the change.
  void relink(ClsRouteNode& node, MovingDir dir, ClsRouteNode* to);
  void set_terminal(ClsRouteNode& node, bool value);

  std::shared_ptr<TermCounts> m_term_counts;
  // The number of the latest search (init_node()); no node's fields belong
  // to search 0.
  uint32_t m_search = 1;
  // The ends of set_recommended_path_weight() (those without a node count
  // for nothing) and, by direction, the weight of a link on the lines of
  // neither end, of the start's, of the goal's, of both.
  std::array<CellPos, 2> m_ends{};
  std::array<bool, 2> m_has_end{};
  std::array<std::array<int32_t, 4>, 4> m_line_weights{};
  // The weight in d of a node at p that has a link in d.
  int32_t line_weight(const CellPos& p, MovingDir d) const;
  // The queue of the search: one bucket per distance, kept circularly.
  // Every distance waiting lies within BASE_WEIGHT above the one being
  // taken out (weights are positive and never above BASE_WEIGHT), so the
  // buckets never mix two distances; a bucket is filled in the order its
  // entries come. Entries thus leave by distance, and first in first out
  // among equal ones.
  static constexpr int32_t SEARCH_BUCKETS = 128;
  static_assert(SEARCH_BUCKETS > BASE_WEIGHT);
  std::array<std::vector<ClsRouteNode*>, SEARCH_BUCKETS> m_buckets;
  // This graph among every router's (a cleared graph counts as a new one).
  uint64_t m_serial;
  // The latest changes, oldest first; the first is change number m_log_base.
  std::vector<Change> m_log;
  uint64_t m_log_base = 0;
  // A route of this graph exists (a search ran since it was made or
  // cleared): only then does anyone read the log.
  bool m_routed = false;
  // Operations under way, and the cells the outermost has logged.
  int m_edits = 0;
  std::unordered_set<uint64_t> m_edited;
  // changed_since() by log position, for the graph at m_changed_at.
  mutable uint64_t m_changed_at = 0;
  mutable std::unordered_map<uint64_t, std::vector<CellPos>> m_changed;
};

} // namespace velkaro
