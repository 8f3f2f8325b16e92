#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>
#include <queue>
#include <random>
#include <string>
#include <unordered_map>
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
    dists.push_back(router.dist_of(*router.find_node(c)));
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
  const auto w = [&](CellPos at, MovingDir d) { return router->weight_of(*router->find_node(at), d); };
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
  router->foreach([&](int32_t, int32_t, const auto& node) {
    for (MovingDir d : {MovingDir::up, MovingDir::down, MovingDir::left, MovingDir::right})
      EXPECT_EQ(router->weight_of(*node, d), ClsRouter::BASE_WEIGHT);
    EXPECT_EQ(router->dist_of(*node), ClsRouter::UNREACHED);
    EXPECT_EQ(router->pred_of(*node), nullptr);
    return true;
  });
}

// --- the search against the plain one ----------------------------------------------

// The graph as a search reads it, copied out of the router once per state
// of the graph (the searches between two edits all read the same one): the
// nodes in map order, each with its cell, its terminal flag and the nodes
// its links lead to, by number.
struct PlainGraph {
  std::vector<const ClsRouteNode*> nodes;
  std::vector<CellPos> cells;
  std::vector<bool> terminal;
  std::vector<std::array<int32_t, 4>> links; // -1: no link
  std::unordered_map<const ClsRouteNode*, int32_t> number;

  explicit PlainGraph(const ClsRouter& router)
  {
    router.foreach([&](int32_t, int32_t, const ClsRouter::Value& node) {
      number.emplace(node.get(), static_cast<int32_t>(nodes.size()));
      nodes.push_back(node.get());
      cells.push_back(node->pos);
      terminal.push_back(node->is_terminal);
      return true;
    });
    links.resize(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
      for (size_t d = 0; d < 4; ++d)
        links[i][d] = nodes[i]->links[d] ? number.at(nodes[i]->links[d]) : -1;
  }

  int32_t number_of(const ClsRouter& router, CellPos cell) const
  {
    const ClsRouteNode* node = router.find_node(cell);
    return node ? number.at(node) : -1;
  }
};

// A search written out plainly, step by step, on fields of its own:
// every node reset, the lines out of both ends made cheaper, then every
// queue entry taken out and expanded until the queue is empty (entries
// ordered by the distance they were put in with, equal ones first in first
// out), then the trace from the goal.
struct PlainSearchResult {
  std::vector<CellPos> cells;
  std::vector<int32_t> dist; // by node number
};

PlainSearchResult plain_search(const ClsRouter& router, const PlainGraph& graph, CellPos start, CellPos goal)
{
  PlainSearchResult result;
  const size_t count = graph.nodes.size();
  std::vector<std::array<int32_t, 4>> weights(count, {100, 100, 100, 100});
  result.dist.assign(count, 2147483647);
  std::vector<int32_t> pred(count, -1);
  for (const CellPos& end : {start, goal}) {
    const int32_t node = graph.number_of(router, end);
    if (node < 0)
      continue;
    for (size_t d = 0; d < 4; ++d) {
      const double factor = d < 2 ? 0.2 : 0.5;
      for (int32_t cur = node; graph.links[cur][d] >= 0; cur = graph.links[cur][d])
        weights[cur][d] = static_cast<int32_t>(weights[cur][d] * factor);
    }
  }
  const int32_t s = graph.number_of(router, start);
  const int32_t g = graph.number_of(router, goal);
  using Entry = std::tuple<int32_t, uint64_t, int32_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
  uint64_t seq = 0;
  result.dist[s] = 0;
  queue.emplace(0, seq++, s);
  while (!queue.empty()) {
    const int32_t n = std::get<2>(queue.top());
    queue.pop();
    for (size_t d = 0; d < 4; ++d) {
      const int32_t m = graph.links[n][d];
      if (m < 0 || (graph.terminal[m] && m != g))
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
  for (int32_t n = g; n >= 0; n = pred[n])
    back.push_back(graph.cells[n]);
  result.cells.assign(back.rbegin(), back.rend());
  return result;
}

// Checks one search of the router against the plain one over graph (the
// router's graph as it is now): the route, the cost of every node on it,
// and every cost below the goal's (those are final when the router stops at
// the goal).
void expect_search_as_plain(ClsRouter& router, const PlainGraph& graph, CellPos start, CellPos goal)
{
  const auto route = router.new_shortest_route(start, goal);
  const PlainSearchResult plain = plain_search(router, graph, start, goal);
  ASSERT_EQ(route->cells, plain.cells) << start.to_string() << " -> " << goal.to_string();
  const ClsRouteNode* g = router.find_node(goal);
  const int32_t goal_dist = plain.dist.at(static_cast<size_t>(graph.number.at(g)));
  EXPECT_EQ(router.dist_of(*g), goal_dist);
  for (size_t i = 0; i < graph.nodes.size(); ++i) {
    const int32_t d = plain.dist[i];
    if (d < goal_dist || goal_dist == ClsRouter::UNREACHED) {
      EXPECT_EQ(router.dist_of(*graph.nodes[i]), d) << "node " << graph.cells[i].to_string();
    }
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
      const PlainGraph graph(*router);
      for (int q = 0; q < 8; ++q) {
        const CellPos a = any_of(terminals);
        const CellPos b = any_of(terminals);
        expect_search_as_plain(*router, graph, a, b);
        expect_search_as_plain(*router, graph, b, a);
        if (!nodes.empty()) {
          // Ends on cells that hold a node but no terminal.
          expect_search_as_plain(*router, graph, any_of(nodes), b);
          expect_search_as_plain(*router, graph, a, any_of(nodes));
        }
      }
    }
  }
}

// --- routes found again ---------------------------------------------------------

// A route handed back by shortest_route() is the one a search would find.
TEST(ClsRouterSearch, RoutesHandedBackAreTheOnesASearchFinds)
{
  size_t handed_back = 0;
  size_t searched_again = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&rng](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    const auto router = ClsRouter::create();
    test::LogCapture log;
    std::vector<CellPos> terminals;
    for (int i = 0; i < 12; ++i) {
      terminals.push_back({pick(0, 30), pick(0, 30)});
      router->add_terminatable_node(terminals.back());
    }
    // Crowded, so that routes go round terminals.
    for (int i = 0; i < 40; ++i)
      router->add_terminatable_node({pick(0, 30), pick(0, 30)});
    std::map<std::pair<size_t, size_t>, std::shared_ptr<const ClsRoute>> kept;
    for (int round = 0; round < 60; ++round) {
      // The pair whose route an edit went beside, asked for first.
      std::optional<std::pair<size_t, size_t>> beside;
      // Small edits mostly, so that routes far from them stand.
      switch (pick(0, 9)) {
      case 0: router->insert_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, 30), 1); break;
      case 1: router->remove_line(pick(0, 1) ? CellDir::h : CellDir::v, pick(0, 30), 1); break;
      case 2:
      case 3: {
        // Out and back in: the graph is as it was.
        const CellPos t = terminals[static_cast<size_t>(pick(0, 11))];
        router->rm_terminatable_node(t);
        router->add_terminatable_node(t);
        break;
      }
      case 4: router->rm_terminatable_node(terminals[static_cast<size_t>(pick(0, 11))]); break;
      case 5:
      case 6: {
        // On or beside a kept route, where it may well run another way now.
        const auto it = std::next(kept.begin(), pick(0, static_cast<int32_t>(kept.size())) % std::max<size_t>(kept.size(), 1));
        if (it != kept.end() && it->second && !it->second->cells.empty()) {
          const auto& cells = it->second->cells;
          const CellPos c = cells[static_cast<size_t>(pick(0, static_cast<int32_t>(cells.size()) - 1))];
          const CellPos p{std::max(0, c.x + pick(-1, 1)), std::max(0, c.y + pick(-1, 1))};
          router->add_terminatable_node(p);
          if (pick(0, 3) == 0)
            router->rm_terminatable_node(p);
          beside = it->first;
        }
        break;
      }
      default: router->add_terminatable_node({pick(0, 30), pick(0, 30)}); break;
      }
      for (int q = 0; q < 10; ++q) {
        auto a = static_cast<size_t>(pick(0, 11));
        auto b = static_cast<size_t>(pick(0, 11));
        if (q == 0 && beside)
          std::tie(a, b) = *beside;
        std::shared_ptr<const ClsRoute>& earlier = kept[{a, b}];
        const auto route = router->shortest_route(terminals[a], terminals[b], earlier);
        const auto fresh = router->new_shortest_route(terminals[a], terminals[b]);
        ASSERT_EQ(route->cells, fresh->cells)
            << "round " << round << ": " << terminals[a].to_string() << " -> " << terminals[b].to_string();
        ++(route == earlier ? handed_back : searched_again);
        earlier = route;
      }
    }
  }
  // Both ways were taken.
  EXPECT_GT(handed_back, 100u);
  EXPECT_GT(searched_again, 100u);
}

TEST(ClsRouterSearch, ARouteIsSearchedAgainOnlyWhenWhatItsSearchReadChanged)
{
  const auto router = router_on({{2, 2}, {8, 6}, {30, 30}});
  const auto first = router->shortest_route({2, 2}, {8, 6}, nullptr);
  // Another pair of cells is another search.
  EXPECT_NE(router->shortest_route({8, 6}, {2, 2}, first), first);
  // A terminal far away added and removed again leaves the route's cells as
  // they looked.
  router->add_terminatable_node({40, 40});
  router->rm_terminatable_node({40, 40});
  EXPECT_EQ(router->shortest_route({2, 2}, {8, 6}, first), first);
  // A terminal between the ends changes what the search reads.
  router->add_terminatable_node({5, 4});
  const auto second = router->shortest_route({2, 2}, {8, 6}, first);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->cells, router->new_shortest_route({2, 2}, {8, 6})->cells);
  // Once the log has forgotten the moment of the search, it is made again:
  // more changes since than the log keeps (each round logs a few dozen).
  const uint64_t searched_at = router->get_graph_stamp();
  while (router->get_graph_stamp() <= searched_at + ClsRouter::LOG_LIMIT) {
    router->add_terminatable_node({50, 50});
    router->rm_terminatable_node({50, 50});
  }
  const auto third = router->shortest_route({2, 2}, {8, 6}, second);
  EXPECT_NE(third, second);
  EXPECT_EQ(third->cells, second->cells);
  // A cleared graph is another graph.
  const auto fourth = router->shortest_route({2, 2}, {8, 6}, third);
  EXPECT_EQ(fourth, third);
  router->clear();
  router->add_terminatable_node({2, 2});
  router->add_terminatable_node({8, 6});
  router->add_terminatable_node({5, 4});
  router->add_terminatable_node({30, 30});
  EXPECT_NE(router->shortest_route({2, 2}, {8, 6}, fourth), fourth);
}

} // namespace
} // namespace velkaro
