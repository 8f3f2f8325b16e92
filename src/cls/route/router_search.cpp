// The cheapest-route search over the route graph.

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "cls/route/route.h"
#include "cls/route/router.h"

namespace velkaro {

namespace {

constexpr MovingDir search_dirs[] = {MovingDir::up, MovingDir::down, MovingDir::left,
                                     MovingDir::right};

} // namespace

void ClsRouter::init_node()
{
  if (++m_search == 0) {
    // The count went round: no node may keep a number it could meet again.
    foreach([](int32_t, int32_t, const Value& node) {
      node->m_search = 0;
      return true;
    });
    m_search = 1;
  }
  m_has_end = {false, false};
}

void ClsRouter::set_recommended_path_weight(const CellPos& start, const CellPos& goal)
{
  m_ends = {start, goal};
  m_has_end = {find_node(start) != nullptr, find_node(goal) != nullptr};
  // Once for a line of one end, twice for a link on the lines of both (or
  // of an end that is start and goal), in that order.
  for (MovingDir d : search_dirs) {
    const double factor = moving_dir_is_vertical(d) ? VERTICAL_LINE_FACTOR : HORIZONTAL_LINE_FACTOR;
    const auto once = [factor](int32_t w) { return static_cast<int32_t>(std::trunc(w * factor)); };
    auto& weights = m_line_weights[static_cast<size_t>(d)];
    weights = {BASE_WEIGHT, once(BASE_WEIGHT), once(BASE_WEIGHT), once(once(BASE_WEIGHT))};
  }
}

int32_t ClsRouter::line_weight(const CellPos& p, MovingDir d) const
{
  // On the line out of end in d: end's column (row) at end or beyond it in d.
  const auto on_line = [&p, d](const CellPos& end) {
    switch (d) {
    case MovingDir::up: return p.x == end.x && p.y <= end.y;
    case MovingDir::down: return p.x == end.x && p.y >= end.y;
    case MovingDir::left: return p.y == end.y && p.x <= end.x;
    case MovingDir::right: return p.y == end.y && p.x >= end.x;
    }
    return false;
  };
  const size_t k = (m_has_end[0] && on_line(m_ends[0]) ? 1 : 0) + (m_has_end[1] && on_line(m_ends[1]) ? 2 : 0);
  return k ? m_line_weights[static_cast<size_t>(d)][k] : BASE_WEIGHT;
}

void ClsRouter::trace_pred(ClsRoute& route, const CellPos& goal) const
{
  std::vector<CellPos> back;
  for (const ClsRouteNode* n = find_node(goal); n; n = pred_of(*n))
    back.push_back(n->pos);
  route.cells.insert(route.cells.begin(), back.rbegin(), back.rend());
}

std::shared_ptr<ClsRoute> ClsRouter::new_shortest_route(const CellPos& start, const CellPos& goal)
{
  auto route = ClsRoute::create();
  if (!start.get_is_valid() || !goal.get_is_valid())
    return route;
  route->start = start;
  route->goal = goal;
  // What the search reads: the nodes at both ends, then every node it
  // expands with the nodes that one links to.
  CellRange& searched = route->searched;
  searched = {{std::min(start.x, goal.x), std::min(start.y, goal.y)},
              {std::max(start.x, goal.x), std::max(start.y, goal.y)}};
  route->graph_router = m_serial;
  route->graph_stamp = get_graph_stamp();
  m_routed = true;
  ClsRouteNode* s = find_node(start);
  ClsRouteNode* g = find_node(goal);
  // Without a node at either end there is no route to trace (a cell that no
  // registration covers, such as a free text made in this session).
  if (!s || !g)
    return route;

  init_node();
  set_recommended_path_weight(start, goal);

  // Kept from search to search with their room; a search that ended early
  // left entries behind. A bit per bucket tells the ones holding entries,
  // so that the walk over distances jumps over the empty ones.
  auto& buckets = m_buckets;
  for (auto& b : buckets)
    b.clear();
  std::array<uint64_t, SEARCH_BUCKETS / 64> filled{};
  // Distances are never negative: unsigned, the bucket and its bit are
  // masks and shifts.
  const auto push = [&](ClsRouteNode* node, int32_t d) {
    const uint32_t b = static_cast<uint32_t>(d) % SEARCH_BUCKETS;
    buckets[b].push_back(node);
    filled[b / 64] |= uint64_t{1} << (b % 64);
  };
  // The first bucket holding entries from b on, circularly; -1 for none.
  const auto next_filled = [&filled](int32_t b) {
    for (int32_t k = 0; k <= static_cast<int32_t>(filled.size()); ++k) {
      const int32_t word = (b / 64 + k) % static_cast<int32_t>(filled.size());
      uint64_t bits = filled[static_cast<size_t>(word)];
      if (k == 0)
        bits &= ~uint64_t{0} << (b % 64);
      if (bits)
        return word * 64 + __builtin_ctzll(bits);
    }
    return -1;
  };
  meet(*s);
  s->dist = 0;
  push(s, 0);
  // In a local: the stores into nodes could otherwise be the router's.
  const uint32_t search = m_search;
  bool reached = false;
  // The rectangle read: every node expanded lies in it already (the start,
  // or a node an expanded one links to), and each of its links widens it on
  // the link's side only.
  int32_t top = searched.start.y;
  int32_t bottom = searched.end.y;
  int32_t left = searched.start.x;
  int32_t right = searched.end.x;
  int32_t dist = 0;
  while (!reached) {
    // Every entry waiting lies within BASE_WEIGHT above dist: the next
    // filled bucket is the next distance that has entries.
    const int32_t at = dist % SEARCH_BUCKETS;
    const int32_t b = next_filled(at);
    if (b < 0)
      break;
    dist += (b - at + SEARCH_BUCKETS) % SEARCH_BUCKETS;
    std::vector<ClsRouteNode*>& bucket = buckets[static_cast<size_t>(b)];
    // By index: the bucket cannot grow while it is taken out (no weight is
    // 0), but an index stays valid if it did.
    for (size_t i = 0; i < bucket.size(); ++i) {
      ClsRouteNode* n = bucket[i];
      // An entry whose node was reached more cheaply since was expanded then.
      if (n->dist != dist)
        continue;
      // Weights are positive: the goal's distance and the predecessors back
      // to the start are final once it leaves the queue.
      if (n == g) {
        reached = true;
        break;
      }
      // Off the lines through the ends every link weighs BASE_WEIGHT.
      const CellPos& p = n->pos;
      const bool on_lines = p.x == start.x || p.x == goal.x || p.y == start.y || p.y == goal.y;
      // Inlined by force: called for each link of every node expanded, the
      // call itself (the captures read through the closure) cost as much as
      // the rest of the search on a graph of 40,000 nodes.
      const auto relax = [&](ClsRouteNode* m, MovingDir d) __attribute__((always_inline)) {
        if (m->is_terminal && m != g)
          return;
        const int32_t c = dist + (on_lines ? line_weight(n->pos, d) : BASE_WEIGHT);
        // A node met first in this search has the reset fields (meet()):
        // any distance is below UNREACHED, and dist and pred are both set.
        if (m->m_search != search || c < m->dist) {
          m->m_search = search;
          m->dist = c;
          m->pred = n;
          push(m, c);
        }
      };
      // Up, down, left, right: the order ties are broken in.
      if (ClsRouteNode* m = n->link(MovingDir::up)) {
        top = std::min(top, m->pos.y);
        relax(m, MovingDir::up);
      }
      if (ClsRouteNode* m = n->link(MovingDir::down)) {
        bottom = std::max(bottom, m->pos.y);
        relax(m, MovingDir::down);
      }
      if (ClsRouteNode* m = n->link(MovingDir::left)) {
        left = std::min(left, m->pos.x);
        relax(m, MovingDir::left);
      }
      if (ClsRouteNode* m = n->link(MovingDir::right)) {
        right = std::max(right, m->pos.x);
        relax(m, MovingDir::right);
      }
    }
    if (reached)
      break;
    bucket.clear();
    filled[static_cast<size_t>(b / 64)] &= ~(uint64_t{1} << (b % 64));
  }
  searched = {{left, top}, {right, bottom}};
  trace_pred(*route, goal);
  return route;
}

const std::vector<CellPos>& ClsRouter::changed_since(uint64_t stamp) const
{
  if (m_changed_at != get_graph_stamp()) {
    m_changed.clear();
    m_changed_at = get_graph_stamp();
  }
  const auto [it, fresh] = m_changed.try_emplace(stamp);
  if (!fresh)
    return it->second;
  // The first change of a cell since stamp says how it looked then.
  std::unordered_set<uint64_t> met;
  for (size_t i = stamp - m_log_base; i < m_log.size(); ++i) {
    const Change& c = m_log[i];
    const uint64_t key = (uint64_t{static_cast<uint32_t>(c.cell.y)} << 32) | static_cast<uint32_t>(c.cell.x);
    if (met.insert(key).second && !(look_at(c.cell) == c.before))
      it->second.push_back(c.cell);
  }
  return it->second;
}

bool ClsRouter::still_holds(const ClsRoute& route) const
{
  if (route.graph_router != m_serial || route.graph_stamp < m_log_base || route.graph_stamp > get_graph_stamp())
    return false;
  for (const CellPos& c : changed_since(route.graph_stamp))
    if (route.searched.is_pos_inside(c))
      return false;
  return true;
}

std::shared_ptr<const ClsRoute> ClsRouter::shortest_route(const CellPos& start, const CellPos& goal,
                                                          const std::shared_ptr<const ClsRoute>& earlier)
{
  if (earlier && earlier->start == start && earlier->goal == goal && still_holds(*earlier))
    return earlier;
  return new_shortest_route(start, goal);
}

} // namespace velkaro
