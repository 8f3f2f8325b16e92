// The cheapest-route search over the route graph.

#include <array>
#include <cmath>
#include <vector>

#include "cls/route/route.h"
#include "cls/route/router.h"

namespace velkaro {

namespace {

constexpr MovingDir search_dirs[] = {MovingDir::up, MovingDir::down, MovingDir::left,
                                     MovingDir::right};

// The queue of the search: one bucket per distance, kept circularly. Every
// distance waiting lies within BASE_WEIGHT above the one being taken out
// (weights are positive and never above BASE_WEIGHT), so the buckets
// never mix two distances; a bucket is filled in the order its entries come.
// Entries thus leave by distance, and first in first out among equal ones.
constexpr int32_t SEARCH_BUCKETS = 128;
static_assert(SEARCH_BUCKETS > ClsRouter::BASE_WEIGHT);

} // namespace

void ClsRouter::init_node()
{
  for (ClsRouteNode* node : m_dirty) {
    node->weights.fill(BASE_WEIGHT);
    node->dist = UNREACHED;
    node->pred = nullptr;
    node->m_search_dirty = false;
  }
  m_dirty.clear();
  m_dirty_gone.clear();
}

void ClsRouter::gain_weight_on_directed_line(ClsRouteNode& node, double factor, MovingDir dir)
{
  for (ClsRouteNode* cur = &node; ClsRouteNode* next = cur->link(dir); cur = next) {
    mark_dirty(*cur);
    cur->set_weight(dir, static_cast<int32_t>(std::trunc(cur->weight(dir) * factor)));
  }
}

void ClsRouter::set_recommended_path_weight(const CellPos& start, const CellPos& goal)
{
  for (const CellPos& end : {start, goal}) {
    ClsRouteNode* node = find_node(end);
    if (!node)
      continue;
    for (MovingDir d : search_dirs)
      gain_weight_on_directed_line(
          *node, moving_dir_is_vertical(d) ? VERTICAL_LINE_FACTOR : HORIZONTAL_LINE_FACTOR, d);
  }
}

void ClsRouter::trace_pred(ClsRoute& route, const CellPos& goal) const
{
  std::vector<CellPos> back;
  for (const ClsRouteNode* n = find_node(goal); n; n = n->pred)
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
  ClsRouteNode* s = find_node(start);
  ClsRouteNode* g = find_node(goal);
  // Without a node at either end there is no route to trace (a cell that no
  // registration covers, such as a free text made in this session).
  if (!s || !g)
    return route;

  init_node();
  set_recommended_path_weight(start, goal);

  std::array<std::vector<ClsRouteNode*>, SEARCH_BUCKETS> buckets;
  size_t waiting = 1;
  mark_dirty(*s);
  s->dist = 0;
  buckets[0].push_back(s);
  bool reached = false;
  for (int32_t dist = 0; waiting > 0 && !reached; ++dist) {
    std::vector<ClsRouteNode*>& bucket = buckets[dist % SEARCH_BUCKETS];
    // By index: the bucket cannot grow while it is taken out (no weight is
    // 0), but an index stays valid if it did.
    for (size_t i = 0; i < bucket.size(); ++i) {
      ClsRouteNode* n = bucket[i];
      --waiting;
      // An entry whose node was reached more cheaply since was expanded then.
      if (n->dist != dist)
        continue;
      // Weights are positive: the goal's distance and the predecessors back
      // to the start are final once it leaves the queue.
      if (n == g) {
        reached = true;
        break;
      }
      for (MovingDir d : search_dirs) {
        ClsRouteNode* m = n->link(d);
        if (!m || (m->is_terminal && m != g))
          continue;
        const int32_t c = dist + n->weight(d);
        if (c < m->dist) {
          mark_dirty(*m);
          m->dist = c;
          m->pred = n;
          buckets[c % SEARCH_BUCKETS].push_back(m);
          ++waiting;
        }
      }
    }
    bucket.clear();
  }
  trace_pred(*route, goal);
  return route;
}

} // namespace velkaro
