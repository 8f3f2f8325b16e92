#include <array>
#include <map>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

std::shared_ptr<ClsRouter> router_on(const std::vector<CellPos>& terminals)
{
  auto router = ClsRouter::create();
  for (const CellPos& t : terminals)
    EXPECT_TRUE(router->add_terminatable_node(t));
  return router;
}

std::vector<int32_t> dists_along(const ClsRouter& router, const ClsRoute& route)
{
  std::vector<int32_t> dists;
  for (const CellPos& c : route.cells)
    dists.push_back(router.find_node(c)->dist);
  return dists;
}

using SearchCells = std::vector<CellPos>;
using SearchRuns = std::vector<std::pair<CellPos, CellPos>>;

SearchRuns runs_of(const std::vector<std::shared_ptr<ClsSegment>>& segments)
{
  SearchRuns runs;
  for (const auto& s : segments)
    runs.emplace_back(s->start, s->end);
  return runs;
}

// --- routes and costs -----------------------------------------------------------

TEST(ClsRouterSearch, RoutesAndTheirCosts)
{
  struct Case {
    const char* name;
    std::vector<CellPos> terminals;
    CellPos start;
    CellPos goal;
    SearchCells cells;
    std::vector<int32_t> dists;
    SearchRuns segments;
  };
  const Case cases[] = {
      {"down then right, vertical lines first",
       {{2, 2}, {8, 6}},
       {2, 2},
       {8, 6},
       {{2, 2}, {2, 3}, {2, 5}, {2, 6}, {3, 6}, {7, 6}, {8, 6}},
       {0, 20, 40, 60, 160, 260, 360},
       {{{2, 2}, {2, 6}}, {{2, 6}, {8, 6}}}},
      {"the way back, vertical first again",
       {{2, 2}, {8, 6}},
       {8, 6},
       {2, 2},
       {{8, 6}, {8, 5}, {8, 3}, {8, 2}, {7, 2}, {3, 2}, {2, 2}},
       {0, 20, 40, 60, 160, 260, 360},
       {{{8, 6}, {8, 2}}, {{8, 2}, {2, 2}}}},
      {"along a row",
       {{2, 2}, {8, 2}},
       {2, 2},
       {8, 2},
       {{2, 2}, {3, 2}, {7, 2}, {8, 2}},
       {0, 50, 100, 150},
       {{{2, 2}, {8, 2}}}},
      {"along a column",
       {{2, 2}, {2, 9}},
       {2, 2},
       {2, 9},
       {{2, 2}, {2, 3}, {2, 8}, {2, 9}},
       {0, 20, 40, 60},
       {{{2, 2}, {2, 9}}}},
      {"two cells",
       {{2, 2}, {2, 3}},
       {2, 2},
       {2, 3},
       {{2, 2}, {2, 3}},
       {0, 20},
       {{{2, 2}, {2, 3}}}},
      {"start equal to goal", {{2, 2}, {8, 6}}, {2, 2}, {2, 2}, {{2, 2}}, {0}, {}},
      // The goal's four neighbours are terminals, which are never entered.
      {"goal walled in by terminals",
       {{5, 5}, {5, 4}, {5, 6}, {4, 5}, {6, 5}, {12, 12}},
       {12, 12},
       {5, 5},
       {{5, 5}},
       {ClsRouter::UNREACHED},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_on(c.terminals);
    const auto route = router->new_shortest_route(c.start, c.goal);
    EXPECT_EQ(route->start, c.start);
    EXPECT_EQ(route->goal, c.goal);
    EXPECT_EQ(route->cells, c.cells);
    if (route->cells == c.cells) {
      EXPECT_EQ(dists_along(*router, *route), c.dists);
    }
    EXPECT_EQ(runs_of(route->new_segments()), c.segments);
  }
}

TEST(ClsRouterSearch, RoutesCutIntoMaximalStraightRunsThatNameTheirNeighbours)
{
  ClsRoute route;
  route.cells = {{1, 1}, {1, 3}, {1, 4}, {4, 4}, {6, 4}, {6, 2}, {9, 2}};
  const auto segs = route.new_segments();
  ASSERT_EQ(runs_of(segs), (SearchRuns{{{1, 1}, {1, 4}}, {{1, 4}, {6, 4}}, {{6, 4}, {6, 2}},
                                       {{6, 2}, {9, 2}}}));
  for (size_t i = 0; i < segs.size(); ++i) {
    EXPECT_EQ(segs[i]->prev.lock(), i == 0 ? nullptr : segs[i - 1]);
    EXPECT_EQ(segs[i]->next.lock(), i + 1 == segs.size() ? nullptr : segs[i + 1]);
    EXPECT_FALSE(segs[i]->is_laid_out);
    EXPECT_EQ(segs[i]->get_form(), segs[i]->get_form());
  }
  EXPECT_TRUE(ClsRoute().new_segments().empty());
  ClsRoute one;
  one.cells = {{3, 3}};
  EXPECT_TRUE(one.new_segments().empty());
}

// A search from or to a cell without a node gives no route (a free text
// made in the session is no terminal); one outside the grid neither, and
// keeps start and goal at (0, 0).
TEST(ClsRouterSearch, EndsWithoutANodeGiveNoRoute)
{
  struct Case {
    const char* name;
    CellPos start;
    CellPos goal;
    CellPos want_start;
    CellPos want_goal;
  };
  const Case cases[] = {
      {"start without a node", {20, 20}, {8, 6}, {20, 20}, {8, 6}},
      {"goal without a node", {2, 2}, {20, 20}, {2, 2}, {20, 20}},
      {"neither", {30, 1}, {20, 20}, {30, 1}, {20, 20}},
      {"start outside the grid", {-1, 2}, {8, 6}, {0, 0}, {0, 0}},
      {"goal outside the grid", {2, 2}, {8, 65536}, {0, 0}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_on({{2, 2}, {8, 6}});
    test::LogCapture log;
    const auto route = router->new_shortest_route(c.start, c.goal);
    EXPECT_TRUE(route->cells.empty());
    EXPECT_EQ(route->start, c.want_start);
    EXPECT_EQ(route->goal, c.want_goal);
    EXPECT_TRUE(route->new_segments().empty());
    EXPECT_TRUE(log.messages.empty());
    // The router still routes afterwards.
    EXPECT_EQ(router->new_shortest_route({2, 2}, {8, 6})->cells.size(), 7u);
  }
}

TEST(ClsRouterSearch, CheaperLinesLeadAwayFromBothEnds)
{
  // Start and goal on one column: the links between them lie on the lines
  // of both, downwards from the start and upwards from the goal.
  const auto router = router_on({{2, 2}, {2, 9}});
  router->init_node();
  router->set_recommended_path_weight({2, 2}, {2, 9});
  const auto w = [&](CellPos at, MovingDir d) { return router->find_node(at)->weight(d); };
  EXPECT_EQ(w({2, 2}, MovingDir::down), 20);
  EXPECT_EQ(w({2, 3}, MovingDir::down), 20);
  EXPECT_EQ(w({2, 8}, MovingDir::up), 20);
  // Up from the start to row 1, and up from the goal through the start: twice.
  EXPECT_EQ(w({2, 2}, MovingDir::up), 4);
  EXPECT_EQ(w({2, 3}, MovingDir::up), 20);
  EXPECT_EQ(w({2, 2}, MovingDir::right), 50);
  // The last node of a line has no link and keeps its weight.
  EXPECT_EQ(w({2, 1}, MovingDir::up), 100);
  EXPECT_EQ(w({3, 3}, MovingDir::down), 100);
  // A reset brings every weight back.
  router->init_node();
  router->foreach([](int32_t, int32_t, const auto& node) {
    for (int32_t wt : node->weights)
      EXPECT_EQ(wt, ClsRouter::BASE_WEIGHT);
    EXPECT_EQ(node->dist, ClsRouter::UNREACHED);
    EXPECT_EQ(node->pred, nullptr);
    return true;
  });
}

// --- the search against the plain one ----------------------------------------------

// A search written out plainly, step by step, on fields of its own:
// every node reset, the lines out of both ends made cheaper, then every
// queue entry taken out and expanded until the queue is empty (entries
// ordered by the distance they were put in with, equal ones first in first
// out), then the trace from the goal.
struct PlainSearchResult {
  std::vector<CellPos> cells;
  std::map<const ClsRouteNode*, int32_t> dist;
};

PlainSearchResult plain_search(const ClsRouter& router, CellPos start, CellPos goal)
{
  PlainSearchResult result;
  std::map<const ClsRouteNode*, std::array<int32_t, 4>> weights;
  std::map<const ClsRouteNode*, const ClsRouteNode*> pred;
  router.foreach([&](int32_t, int32_t, const ClsRouter::Value& node) {
    weights[node.get()].fill(100);
    result.dist[node.get()] = 2147483647;
    pred[node.get()] = nullptr;
    return true;
  });
  for (const CellPos& end : {start, goal}) {
    const ClsRouteNode* node = router.find_node(end);
    if (!node)
      continue;
    for (size_t d = 0; d < 4; ++d) {
      const double factor = d < 2 ? 0.2 : 0.5;
      for (const ClsRouteNode* cur = node; cur->links[d]; cur = cur->links[d])
        weights[cur][d] = static_cast<int32_t>(weights[cur][d] * factor);
    }
  }
  const ClsRouteNode* s = router.find_node(start);
  using Entry = std::tuple<int32_t, uint64_t, const ClsRouteNode*>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
  uint64_t seq = 0;
  result.dist[s] = 0;
  queue.emplace(0, seq++, s);
  while (!queue.empty()) {
    const ClsRouteNode* n = std::get<2>(queue.top());
    queue.pop();
    for (size_t d = 0; d < 4; ++d) {
      const ClsRouteNode* m = n->links[d];
      if (!m || (m->is_terminal && !(m->pos == goal)))
        continue;
      const int32_t c = result.dist[n] + weights[n][d];
      if (c < result.dist[m]) {
        result.dist[m] = c;
        pred[m] = n;
        queue.emplace(c, seq++, m);
      }
    }
  }
  std::vector<CellPos> back;
  for (const ClsRouteNode* n = router.find_node(goal); n; n = pred[n])
    back.push_back(n->pos);
  result.cells.assign(back.rbegin(), back.rend());
  return result;
}

// Checks one search of the router against the plain one: the route, the
// cost of every node on it, and every cost below the goal's (those are
// final when the router stops at the goal).
void expect_search_as_plain(ClsRouter& router, CellPos start, CellPos goal)
{
  const auto route = router.new_shortest_route(start, goal);
  const PlainSearchResult plain = plain_search(router, start, goal);
  ASSERT_EQ(route->cells, plain.cells) << start.to_string() << " -> " << goal.to_string();
  const ClsRouteNode* g = router.find_node(goal);
  const int32_t goal_dist = plain.dist.at(g);
  EXPECT_EQ(g->dist, goal_dist);
  for (const auto& [node, d] : plain.dist)
    if (d < goal_dist || goal_dist == ClsRouter::UNREACHED) {
      EXPECT_EQ(node->dist, d) << "node " << node->pos.to_string();
    }
}

TEST(ClsRouterSearch, StoppingAtTheGoalFindsWhatTheWholeSearchFinds)
{
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&rng](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    const auto router = ClsRouter::create();
    test::LogCapture log;
    for (int round = 0; round < 6; ++round) {
      // Edit the graph between searches: new nodes must be reset too.
      for (int i = pick(1, 4); i > 0; --i)
        router->add_terminatable_node({pick(0, 24), pick(0, 24)});
      if (pick(0, 2) == 0)
        router->rm_terminatable_node({pick(0, 24), pick(0, 24)});
      if (pick(0, 2) == 0)
        router->insert_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, 20), pick(1, 2));
      if (pick(0, 2) == 0)
        router->remove_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, 20), 1);

      std::vector<CellPos> terminals, nodes;
      router->foreach([&](int32_t x, int32_t y, const auto& node) {
        (node->is_terminal ? terminals : nodes).push_back({x, y});
        return true;
      });
      if (terminals.empty())
        continue;
      const auto any_of = [&](const std::vector<CellPos>& v) {
        return v[pick(0, static_cast<int32_t>(v.size()) - 1)];
      };
      for (int q = 0; q < 8; ++q) {
        const CellPos a = any_of(terminals);
        const CellPos b = any_of(terminals);
        expect_search_as_plain(*router, a, b);
        expect_search_as_plain(*router, b, a);
        if (!nodes.empty()) {
          // Ends on cells that hold a node but no terminal.
          expect_search_as_plain(*router, any_of(nodes), b);
          expect_search_as_plain(*router, a, any_of(nodes));
        }
      }
    }
  }
}

} // namespace
} // namespace velkaro
