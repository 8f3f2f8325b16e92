// The route graph of a class diagram: registering n class boxes as terminals
// and routing 1.5 n connectors between them, n = 25, 100 and 400, on two
// layouts:
// - grid: the boxes on a square grid with one empty row and column between
//   them (every corner cell of two boxes is a box cell, so the graph holds
//   about 9 n nodes);
// - staggered: every box in a row and a column of its own (every pair of
//   boxes adds two corner cells: the graph grows with n squared, the
//   router's worst case).
// After the benchmarks, a table of the median run of each figure with its
// ratio to n = 100.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_timing.h"
#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"

namespace velkaro {
namespace {

using bench::Clock;
using bench::ms_since;
using bench::note;

enum class RouteLayout { grid, staggered };

std::vector<CellPos> boxes_of(RouteLayout layout, int n)
{
  std::vector<CellPos> boxes;
  if (layout == RouteLayout::grid) {
    const int side = static_cast<int>(std::ceil(std::sqrt(n)));
    for (int i = 0; i < n; ++i)
      boxes.push_back({2 * (i % side) + 1, 2 * (i / side) + 1});
  } else {
    // Column i, row taken by a permutation (7 shares no factor with the sizes).
    for (int i = 0; i < n; ++i)
      boxes.push_back({2 * i + 1, 2 * ((7 * i) % n) + 1});
  }
  return boxes;
}

// 1.5 n pairs of different boxes, the same for every run.
std::vector<std::pair<CellPos, CellPos>> pairs_of(const std::vector<CellPos>& boxes)
{
  std::mt19937 rng(34);
  std::uniform_int_distribution<size_t> pick(0, boxes.size() - 1);
  std::vector<std::pair<CellPos, CellPos>> pairs;
  while (pairs.size() < boxes.size() * 3 / 2) {
    const size_t a = pick(rng);
    const size_t b = pick(rng);
    if (a != b)
      pairs.emplace_back(boxes[a], boxes[b]);
  }
  return pairs;
}

const char* layout_name(RouteLayout layout)
{
  return layout == RouteLayout::grid ? "grid" : "staggered";
}

size_t node_count(const ClsRouter& router)
{
  size_t nodes = 0;
  for (const auto& row : router.get_rows())
    nodes += row.second.size();
  return nodes;
}

void BM_Register(benchmark::State& state, RouteLayout layout)
{
  const int n = static_cast<int>(state.range(0));
  const std::vector<CellPos> boxes = boxes_of(layout, n);
  size_t nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto router = ClsRouter::create();
    state.ResumeTiming();
    const auto start = Clock::now();
    for (const CellPos& b : boxes)
      router->add_terminatable_node(b);
    note(std::string("register n boxes, ") + layout_name(layout), n, ms_since(start));
    // The router's release is not part of the figure.
    state.PauseTiming();
    nodes = node_count(*router);
    router.reset();
    state.ResumeTiming();
  }
  state.counters["nodes"] = static_cast<double>(nodes);
}

void BM_Route(benchmark::State& state, RouteLayout layout)
{
  const int n = static_cast<int>(state.range(0));
  const std::vector<CellPos> boxes = boxes_of(layout, n);
  const auto pairs = pairs_of(boxes);
  const auto router = ClsRouter::create();
  for (const CellPos& b : boxes)
    router->add_terminatable_node(b);
  size_t segments = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    segments = 0;
    for (const auto& [a, b] : pairs)
      segments += router->new_shortest_route(a, b)->new_segments().size();
    note(std::string("route 1.5n pairs, ") + layout_name(layout), n, ms_since(start));
  }
  benchmark::DoNotOptimize(segments);
  state.counters["nodes"] = static_cast<double>(node_count(*router));
  state.counters["segments"] = static_cast<double>(segments);
  state.counters["per_route_us"] = benchmark::Counter(
      static_cast<double>(pairs.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_Register, grid, RouteLayout::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Register, staggered, RouteLayout::staggered)
    ->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Route, grid, RouteLayout::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Route, staggered, RouteLayout::staggered)
    ->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velkaro

int main(int argc, char** argv)
{
  if (!velkaro::bench::run_benchmarks(argc, argv))
    return 1;
  velkaro::bench::RunsTable table{"Median of each run, in ms (ratio to n = 100):", "", {}, 100,
                                  3, 2};
  for (const int n : {25, 100, 400})
    table.columns.push_back({n, "n = " + std::to_string(n)});
  velkaro::bench::print_runs_table(table);
  return 0;
}
