#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/route_kit_for_test.h"
#include "cls/route/router.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

using test::route_graph_diff;
using test::route_graph_shot;
using test::RouteGraphShotForTest;

// Registrations as the tests keep them: terminal cell -> count.
using GraphRegs = std::map<std::pair<int32_t, int32_t>, int32_t>;

constexpr size_t UP = 0, DOWN = 1, LEFT = 2, RIGHT = 3;
const CellPos no_link{-1, -1};

// The graph the invariants describe for the registrations, worked out from
// their definition alone: every terminal block once per registration, every
// corner block once per pair of registrations in different rows and
// columns, links to the nearest node on the row or column.
RouteGraphShotForTest graph_by_definition(const GraphRegs& regs)
{
  std::map<std::pair<int32_t, int32_t>, int32_t> refs;
  const auto block = [&](int32_t x, int32_t y, int32_t times) {
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx) {
        const CellPos q{x + dx, y + dy};
        if (q.get_is_valid())
          refs[{q.x, q.y}] += times;
      }
  };
  for (const auto& [a, ca] : regs)
    block(a.first, a.second, ca);
  for (auto a = regs.begin(); a != regs.end(); ++a)
    for (auto b = std::next(a); b != regs.end(); ++b) {
      const auto [ax, ay] = a->first;
      const auto [bx, by] = b->first;
      if (ax == bx || ay == by)
        continue;
      block(ax, by, a->second * b->second);
      block(bx, ay, a->second * b->second);
    }
  std::map<int32_t, std::set<int32_t>> rows, cols;
  for (const auto& [cell, n] : refs) {
    rows[cell.second].insert(cell.first);
    cols[cell.first].insert(cell.second);
  }
  RouteGraphShotForTest shot;
  for (const auto& [cell, n] : refs) {
    const auto [x, y] = cell;
    test::RouteNodeShotForTest node;
    node.references = n;
    node.is_terminal = regs.count(cell) > 0;
    node.links.fill(no_link);
    const auto& col = cols[x];
    const auto& row = rows[y];
    if (auto it = col.find(y); it != col.begin())
      node.links[UP] = {x, *std::prev(it)};
    if (auto it = std::next(col.find(y)); it != col.end())
      node.links[DOWN] = {x, *it};
    if (auto it = row.find(x); it != row.begin())
      node.links[LEFT] = {*std::prev(it), y};
    if (auto it = std::next(row.find(x)); it != row.end())
      node.links[RIGHT] = {*it, y};
    shot[cell] = node;
  }
  return shot;
}

std::shared_ptr<ClsRouter> router_with(const GraphRegs& regs)
{
  auto router = ClsRouter::create();
  for (const auto& [cell, count] : regs)
    for (int32_t i = 0; i < count; ++i)
      EXPECT_TRUE(router->add_terminatable_node({cell.first, cell.second}));
  return router;
}

GraphRegs regs_of(const ClsRouter& router)
{
  GraphRegs regs;
  router.get_term_counts().foreach([&](int32_t x, int32_t y, const auto& count) {
    regs[{x, y}] = *count;
    return true;
  });
  return regs;
}

std::vector<std::pair<int32_t, int32_t>> node_cells(const ClsRouter& router)
{
  std::vector<std::pair<int32_t, int32_t>> cells;
  router.foreach([&](int32_t x, int32_t y, const auto&) {
    cells.emplace_back(x, y);
    return true;
  });
  return cells;
}

std::vector<std::pair<int32_t, int32_t>> square(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
  std::vector<std::pair<int32_t, int32_t>> cells;
  for (int32_t y = y0; y <= y1; ++y)
    for (int32_t x = x0; x <= x1; ++x)
      cells.emplace_back(x, y);
  return cells;
}

CellPos link_of(const ClsRouter& router, CellPos at, size_t dir)
{
  const ClsRouteNode* n = router.find_node(at);
  if (!n)
    return CellPos{-99, -99};
  return n->links[dir] ? n->links[dir]->pos : no_link;
}

// --- small graphs --------------------------------------------------------

TEST(ClsRouterGraph, OneTerminalAtTheOriginHasFourNodes)
{
  const auto router = router_with({{{0, 0}, 1}});
  EXPECT_EQ(node_cells(*router), square(0, 0, 1, 1));
  router->foreach([](int32_t x, int32_t y, const auto& node) {
    EXPECT_EQ(node->references, 1) << x << "," << y;
    EXPECT_EQ(node->is_terminal, x == 0 && y == 0) << x << "," << y;
    return true;
  });
  EXPECT_EQ(link_of(*router, {0, 0}, RIGHT), (CellPos{1, 0}));
  EXPECT_EQ(link_of(*router, {0, 0}, DOWN), (CellPos{0, 1}));
  EXPECT_EQ(link_of(*router, {0, 0}, UP), no_link);
  EXPECT_EQ(link_of(*router, {0, 0}, LEFT), no_link);
}

TEST(ClsRouterGraph, OneTerminalInsideTheGridHasNineNodes)
{
  const auto router = router_with({{{5, 5}, 1}});
  EXPECT_EQ(node_cells(*router), square(4, 4, 6, 6));
  const ClsRouteNode* centre = router->find_node({5, 5});
  ASSERT_NE(centre, nullptr);
  EXPECT_EQ(centre->references, 1);
  EXPECT_EQ(link_of(*router, {5, 5}, UP), (CellPos{5, 4}));
  EXPECT_EQ(link_of(*router, {5, 5}, DOWN), (CellPos{5, 6}));
  EXPECT_EQ(link_of(*router, {5, 5}, LEFT), (CellPos{4, 5}));
  EXPECT_EQ(link_of(*router, {5, 5}, RIGHT), (CellPos{6, 5}));
  EXPECT_EQ(link_of(*router, {4, 4}, UP), no_link);
}

TEST(ClsRouterGraph, TwoTerminalsAndTheirCorners)
{
  struct Case {
    const char* name;
    GraphRegs regs;
    std::vector<int32_t> row2_columns;
    size_t nodes;
  };
  const Case cases[] = {
      // Different rows and columns: blocks at both terminals and at the
      // corners (8, 2) and (2, 6).
      {"crossing", {{{2, 2}, 1}, {{8, 6}, 1}}, {1, 2, 3, 7, 8, 9}, 36},
      // One row: no corners.
      {"same row", {{{2, 2}, 1}, {{8, 2}, 1}}, {1, 2, 3, 7, 8, 9}, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_with(c.regs);
    std::vector<int32_t> row2;
    router->foreach_row(2, [&](int32_t x, int32_t, const auto&) {
      row2.push_back(x);
      return true;
    });
    EXPECT_EQ(row2, c.row2_columns);
    EXPECT_EQ(node_cells(*router).size(), c.nodes);
    EXPECT_EQ(link_of(*router, {3, 2}, RIGHT), (CellPos{7, 2}));
    EXPECT_EQ(link_of(*router, {7, 2}, LEFT), (CellPos{3, 2}));
    size_t terminals = 0;
    router->foreach([&](int32_t x, int32_t y, const auto& node) {
      if (node->is_terminal) {
        ++terminals;
        EXPECT_TRUE(c.regs.count({x, y})) << x << "," << y;
      }
      return true;
    });
    EXPECT_EQ(terminals, 2u);
    EXPECT_EQ(route_graph_diff(route_graph_shot(*router), graph_by_definition(c.regs)), "");
  }
}

TEST(ClsRouterGraph, ASecondRegistrationCountsAndComesOffOnce)
{
  const auto router = router_with({{{2, 2}, 1}, {{8, 6}, 1}});
  const RouteGraphShotForTest once = route_graph_shot(*router);
  EXPECT_TRUE(router->add_terminatable_node({2, 2}));
  EXPECT_EQ(router->get_term_count({2, 2}), 2);
  // Its own block and both corner blocks once more.
  EXPECT_EQ(router->find_node({2, 2})->references, 2);
  EXPECT_EQ(router->find_node({8, 2})->references, 2);
  EXPECT_EQ(router->find_node({9, 7})->references, 1);
  EXPECT_TRUE(router->find_node({2, 2})->is_terminal);
  EXPECT_EQ(route_graph_diff(route_graph_shot(*router),
                             graph_by_definition({{{2, 2}, 2}, {{8, 6}, 1}})),
            "");

  EXPECT_TRUE(router->rm_terminatable_node({2, 2}));
  EXPECT_TRUE(router->find_node({2, 2})->is_terminal);
  EXPECT_EQ(route_graph_diff(route_graph_shot(*router), once), "");

  EXPECT_TRUE(router->rm_terminatable_node({2, 2}));
  EXPECT_EQ(router->get_term_count({2, 2}), 0);
  // Only the block of (8, 6) is left.
  EXPECT_EQ(node_cells(*router), square(7, 5, 9, 7));
  EXPECT_EQ(route_graph_diff(route_graph_shot(*router), graph_by_definition({{{8, 6}, 1}})), "");

  // A cell that is no terminal: no change, still true.
  EXPECT_TRUE(router->rm_terminatable_node({2, 2}));
  EXPECT_EQ(node_cells(*router), square(7, 5, 9, 7));
}

TEST(ClsRouterGraph, RegisteringAndUnregisteringRestoresTheGraph)
{
  struct Case {
    const char* name;
    GraphRegs base;
    CellPos added;
  };
  const Case cases[] = {
      {"into an empty graph", {}, {5, 5}},
      {"between two blocks of a row", {{{2, 2}, 1}, {{12, 2}, 1}}, {7, 2}},
      {"crossing two terminals", {{{2, 2}, 1}, {{8, 6}, 1}}, {5, 10}},
      {"on a corner cell", {{{2, 2}, 1}, {{8, 6}, 1}}, {8, 2}},
      {"on a terminal already registered", {{{2, 2}, 1}, {{8, 6}, 1}}, {2, 2}},
      {"at the origin beside others", {{{1, 4}, 1}, {{6, 1}, 2}}, {0, 0}},
      {"at the far corner of the grid", {{{65533, 65530}, 1}}, {65535, 65535}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_with(c.base);
    const RouteGraphShotForTest before = route_graph_shot(*router);
    EXPECT_TRUE(router->add_terminatable_node(c.added));
    GraphRegs with = c.base;
    ++with[{c.added.x, c.added.y}];
    EXPECT_EQ(route_graph_diff(route_graph_shot(*router), graph_by_definition(with)), "");
    EXPECT_TRUE(router->rm_terminatable_node(c.added));
    EXPECT_EQ(route_graph_diff(route_graph_shot(*router), before), "");
    EXPECT_EQ(regs_of(*router), c.base);
  }
}

// --- rows and columns ---------------------------------------------------------

TEST(ClsRouterGraph, LineOperationsMoveOneRegistrationPerTerminalCell)
{
  struct Case {
    const char* name;
    GraphRegs before;
    bool insert;
    CellDir dir;
    int32_t index;
    int32_t count;
    GraphRegs after;
  };
  const Case cases[] = {
      {"row inserted between terminals", {{{2, 2}, 1}, {{8, 5}, 1}}, true, CellDir::v, 3, 1,
       {{{2, 2}, 1}, {{8, 6}, 1}}},
      {"row removed between terminals", {{{2, 2}, 1}, {{8, 6}, 1}}, false, CellDir::v, 3, 1,
       {{{2, 2}, 1}, {{8, 5}, 1}}},
      {"row inserted at a terminal's row moves it", {{{2, 2}, 1}, {{8, 5}, 1}}, true, CellDir::v,
       2, 2, {{{2, 4}, 1}, {{8, 7}, 1}}},
      {"row holding a terminal removed", {{{2, 2}, 1}, {{8, 5}, 1}, {{4, 7}, 1}}, false,
       CellDir::v, 5, 1, {{{2, 2}, 1}, {{4, 6}, 1}}},
      {"column inserted", {{{2, 2}, 1}, {{8, 5}, 1}}, true, CellDir::h, 5, 3,
       {{{2, 2}, 1}, {{11, 5}, 1}}},
      {"two columns removed, one holding a terminal", {{{2, 2}, 1}, {{5, 5}, 1}, {{9, 1}, 1}},
       false, CellDir::h, 4, 2, {{{2, 2}, 1}, {{7, 1}, 1}}},
      // One registration moves per cell, whatever its count.
      {"a cell registered twice moves once", {{{2, 2}, 1}, {{8, 5}, 2}}, true, CellDir::v, 3, 1,
       {{{2, 2}, 1}, {{8, 5}, 1}, {{8, 6}, 1}}},
      // The one unregistration per cell leaves the second, which moves with
      // the lines beyond.
      {"a removed row holding a cell registered twice", {{{2, 3}, 2}, {{6, 8}, 1}}, false,
       CellDir::v, 3, 1, {{{2, 2}, 1}, {{6, 7}, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_with(c.before);
    if (c.insert)
      router->insert_line(c.dir, c.index, c.count);
    else
      router->remove_line(c.dir, c.index, c.count);
    EXPECT_EQ(regs_of(*router), c.after);
    EXPECT_EQ(route_graph_diff(route_graph_shot(*router), graph_by_definition(c.after)), "");
  }
}

TEST(ClsRouterGraph, InsertingAndRemovingARowComesBack)
{
  const GraphRegs regs = {{{2, 2}, 1}, {{8, 5}, 1}, {{5, 9}, 1}};
  const auto router = router_with(regs);
  const RouteGraphShotForTest before = route_graph_shot(*router);
  router->insert_line(CellDir::v, 3, 1);
  router->remove_line(CellDir::v, 3, 1);
  EXPECT_EQ(route_graph_diff(route_graph_shot(*router), before), "");
  router->insert_line(CellDir::h, 0, 2);
  router->remove_line(CellDir::h, 0, 2);
  EXPECT_EQ(route_graph_diff(route_graph_shot(*router), before), "");
}

// --- positions outside the grid ---------------------------------------------------

TEST(ClsRouterGraph, PositionsOutsideTheGridAreRefusedWithAWarning)
{
  const CellPos outside[] = {{-1, 0}, {0, -1}, {65536, 3}, {3, 65536}, {-5, -5}};
  for (const CellPos& p : outside) {
    SCOPED_TRACE(p.to_string());
    const auto router = ClsRouter::create();
    test::LogCapture log;
    EXPECT_FALSE(router->add_terminatable_node(p));
    EXPECT_EQ(log.warnings.size(), 1u);
    EXPECT_EQ(router->get_term_count(p), 0);
    EXPECT_TRUE(node_cells(*router).empty());
    EXPECT_TRUE(router->rm_terminatable_node(p));
  }
}

TEST(ClsRouterGraph, LineOperationsDropRegistrationsPushedOutOfTheGrid)
{
  struct Case {
    const char* name;
    GraphRegs before;
    bool insert;
    CellDir dir;
    int32_t index;
    GraphRegs after;
  };
  const Case cases[] = {
      {"row 65535 pushed down", {{{4, 65535}, 1}, {{9, 65530}, 1}}, true, CellDir::v, 65530,
       {{{9, 65531}, 1}}},
      {"column 65535 pushed right", {{{65535, 4}, 1}}, true, CellDir::h, 0, {}},
      {"second registration in row 0 removed", {{{3, 0}, 2}, {{7, 4}, 1}}, false, CellDir::v, 0,
       {{{7, 3}, 1}}},
      {"second registration in column 0 removed", {{{0, 6}, 2}}, false, CellDir::h, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto router = router_with(c.before);
    test::LogCapture log;
    if (c.insert)
      router->insert_line(c.dir, c.index, 1);
    else
      router->remove_line(c.dir, c.index, 1);
    EXPECT_EQ(log.warnings.size(), 1u);
    EXPECT_EQ(regs_of(*router), c.after);
    EXPECT_EQ(route_graph_diff(route_graph_shot(*router), graph_by_definition(c.after)), "");
  }
}

// --- random edits ------------------------------------------------------------------

// The registrations a line operation leaves, by the rule of the router: the
// cells in a removed band lose one registration, then one registration of
// every cell at or beyond the line moves (and is dropped outside the grid).
GraphRegs regs_after_line(GraphRegs regs, bool insert, CellDir dir, int32_t index, int32_t count)
{
  const auto coord = [dir](const std::pair<int32_t, int32_t>& c) {
    return dir == CellDir::h ? c.first : c.second;
  };
  const auto take_one = [&regs](std::pair<int32_t, int32_t> c) {
    if (--regs[c] <= 0)
      regs.erase(c);
  };
  if (!insert) {
    std::vector<std::pair<int32_t, int32_t>> band;
    for (const auto& [c, n] : regs)
      if (index <= coord(c) && coord(c) < index + count)
        band.push_back(c);
    for (const auto& c : band)
      take_one(c);
  }
  const int32_t delta = insert ? count : -count;
  std::vector<std::pair<int32_t, int32_t>> moving;
  for (const auto& [c, n] : regs)
    if (coord(c) >= index)
      moving.push_back(c);
  for (const auto& c : moving) {
    take_one(c);
    auto to = c;
    (dir == CellDir::h ? to.first : to.second) += delta;
    if (CellPos{to.first, to.second}.get_is_valid())
      ++regs[to];
  }
  return regs;
}

TEST(ClsRouterGraph, RandomEditsKeepTheGraphOfTheRegistrations)
{
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&rng](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    const auto router = ClsRouter::create();
    GraphRegs regs;
    test::LogCapture log; // drops at the edge of the grid warn
    for (int step = 0; step < 50; ++step) {
      const int op = pick(0, 9);
      std::string what;
      if (op <= 4) {
        const CellPos p{pick(0, 14), pick(0, 14)};
        EXPECT_TRUE(router->add_terminatable_node(p));
        ++regs[{p.x, p.y}];
        what = "add " + p.to_string();
      } else if (op <= 7) {
        // Mostly a registered cell, sometimes any cell.
        CellPos p{pick(0, 14), pick(0, 14)};
        if (!regs.empty() && op <= 6) {
          auto it = regs.begin();
          std::advance(it, pick(0, static_cast<int32_t>(regs.size()) - 1));
          p = {it->first.first, it->first.second};
        }
        EXPECT_TRUE(router->rm_terminatable_node(p));
        if (regs.count({p.x, p.y}) && --regs[{p.x, p.y}] == 0)
          regs.erase({p.x, p.y});
        what = "rm " + p.to_string();
      } else {
        const bool insert = op == 8;
        const CellDir dir = pick(0, 1) ? CellDir::h : CellDir::v;
        const int32_t index = pick(0, 15);
        const int32_t count = pick(1, 2);
        if (insert)
          router->insert_line(dir, index, count);
        else
          router->remove_line(dir, index, count);
        regs = regs_after_line(regs, insert, dir, index, count);
        what = std::string(insert ? "insert " : "remove ") + cell_dir_to_string(dir) + " " +
               std::to_string(index) + "+" + std::to_string(count);
      }
      SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
      ASSERT_EQ(regs_of(*router), regs);
      const RouteGraphShotForTest got = route_graph_shot(*router);
      ASSERT_EQ(route_graph_diff(got, route_graph_shot(*router_with(regs))), "");
      ASSERT_EQ(route_graph_diff(got, graph_by_definition(regs)), "");
    }
  }
}

} // namespace
} // namespace velkaro
