// Large class diagrams (bench/cls_diagram.h: classes with attributes and
// operations, 1.5 n connectors of the five kinds, a forest of
// generalizations) of 25, 100 and 400 classes on the grid placement and 25
// and 100 staggered (the router's worst case):
//
//  1. building each diagram through the workspace's operations;
//  2. opening each saved diagram in process: load (read, terminals
//     registered, every connector routed, everything laid out and spread);
//     beside it, on a router of its own, registering the diagram's cells and
//     routing its connectors alone, to tell routing from spreading;
//  3. opening each diagram and exporting the whole of it to PNG in process
//     (load, then the class exporter's drawing and writing);
//  4. a row inserted and removed again at the document level (every
//     connector routed again and spread each time; no controller, no
//     redraw);
//  5. the keystrokes of the class editor with their page redraw on the
//     grids of 100 and 400 classes (cls_keystroke_bench.cpp);
//  6. bench_cls_export started on each diagram as a whole process, opening
//     it only and opening and exporting it, with its processor time (user
//     and system: the figure that holds when other work shares the
//     machine) and its peak memory (as the program reports it).
//
// Every figure is the median of its runs, each timed alone; after the
// benchmarks a table gives them with their growth from 25 to 100 and from
// 100 to 400 classes, then the goals. VELKARO_BENCH_KEEP names a folder that
// receives the diagrams and their images; with VELKARO_BENCH_REUSE also set,
// the diagrams found there are taken as they are.
//
// Needs a display (run it under xvfb-run).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>
#include <glib.h>

#include "bench_display.h"
#include "bench_timing.h"
#include "cls/context.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "cls/exporting_cnavas.h"
#include "cls_bench_diagrams.h"
#include "cls_diagram.h"
#include "cls_keystroke_bench.h"

namespace velkaro {
namespace {

std::string g_self;

using bench::Clock;
using bench::ClsDiagrams;
using bench::ClsKey;
using bench::cls_figure;
using bench::cls_key_of;
using bench::median;
using bench::ms_since;
using bench::note;
using bench::runs;
using bench::skipped_without_display;

// Around the diagram in an export, so that nothing touches the image's
// border.
constexpr double MARGIN = 12.0;

// --- 1. Building.

void BM_Build(benchmark::State& state, ClsPlacement placement)
{
  const ClsKey key = cls_key_of(state, placement);
  const ClsDiagramPlan& plan = ClsDiagrams::get().plan(key);
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto ws = ModelWorkspace::create<ClsWorkspace>();
    if (!cls_build_diagram(*ws, plan)) {
      state.SkipWithError("the diagram could not be built");
      return;
    }
    note(cls_figure("build through the operations", placement), key.second, ms_since(start));
  }
  state.counters["classes"] = static_cast<double>(plan.classes.size());
  state.counters["connectors"] = static_cast<double>(plan.connectors.size());
  state.counters["generalizations"] = static_cast<double>(plan.generalizations);
}

// --- 2. Opening in process.

size_t node_count(const ClsRouter& router)
{
  size_t nodes = 0;
  for (const auto& row : router.get_rows())
    nodes += row.second.size();
  return nodes;
}

// A new workspace holding the diagram saved at path; null, with the
// benchmark skipped, when there is none or it does not load.
std::shared_ptr<ClsWorkspace> opened(benchmark::State& state, const std::string& path)
{
  const auto ws = ModelWorkspace::create<ClsWorkspace>();
  if (path.empty() || !ws->load(path)) {
    state.SkipWithError(path.empty() ? "no diagram" : ws->get_last_error().c_str());
    return nullptr;
  }
  return ws;
}

void BM_Open(benchmark::State& state, ClsPlacement placement)
{
  const ClsKey key = cls_key_of(state, placement);
  const std::string& path = ClsDiagrams::get().path(key);
  size_t segments = 0;
  size_t nodes = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto ws = opened(state, path);
    if (!ws)
      return;
    note(cls_figure("open (read, register, route, lay out)", placement), key.second, ms_since(start));
    segments = ws->get_layouter()->size();
    nodes = node_count(*ws->get_router());
  }
  state.counters["segments"] = static_cast<double>(segments);
  state.counters["nodes"] = static_cast<double>(nodes);
}

// The router's share of opening: the diagram's cells registered on a router
// of its own, then its connectors routed.
void BM_RouterAlone(benchmark::State& state, ClsPlacement placement)
{
  const ClsKey key = cls_key_of(state, placement);
  const ClsDiagramPlan& plan = ClsDiagrams::get().plan(key);
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto router = ClsRouter::create();
    for (const ClsPlannedClass& c : plan.classes)
      router->add_terminatable_node(c.cell);
    const double registered = ms_since(start);
    const auto routing = Clock::now();
    size_t cells = 0;
    for (const ClsPlannedConnector& c : plan.connectors)
      cells += router->new_shortest_route(plan.classes[c.from].cell, plan.classes[c.to].cell)->cells.size();
    benchmark::DoNotOptimize(cells);
    note(cls_figure("  register the cells alone", placement), key.second, registered);
    note(cls_figure("  route the connectors alone", placement), key.second, ms_since(routing));
  }
}

// --- 3. Open and export in process.

void BM_OpenAndExport(benchmark::State& state, ClsPlacement placement)
{
  if (skipped_without_display(state))
    return;
  const ClsKey key = cls_key_of(state, placement);
  const std::string& path = ClsDiagrams::get().path(key);
  const std::string out = ClsDiagrams::get().out(key);
  Rectangle rect;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto ws = opened(state, path);
    if (!ws)
      return;
    const double load_ms = ms_since(start);
    const auto drawn = Clock::now();
    const auto ctx = ClsContext::create(ws);
    rect = cls_whole_rect(*ws, MARGIN);
    const auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(ctx, rect);
    if (!exporter->export_png(out)) {
      state.SkipWithError(exporter->get_last_error().c_str());
      return;
    }
    const double export_ms = ms_since(drawn);
    note(cls_figure("open + export PNG", placement), key.second, ms_since(start));
    note(cls_figure("  of which open", placement), key.second, load_ms);
    note(cls_figure("  of which export (context, draw, write)", placement), key.second, export_ms);
  }
  state.counters["width"] = rect.width;
  state.counters["height"] = rect.height;
}

// --- 4. A row inserted and removed at the document level.

void BM_RowInsertRemove(benchmark::State& state, ClsPlacement placement)
{
  const ClsKey key = cls_key_of(state, placement);
  const auto ws = opened(state, ClsDiagrams::get().path(key));
  if (!ws)
    return;
  // The row below the middle row of classes: between two rows of classes.
  const ClsDiagramPlan& plan = ClsDiagrams::get().plan(key);
  const int32_t row = plan.classes[plan.classes.size() / 2].cell.y + 1;
  for (auto _ : state) {
    auto start = Clock::now();
    if (!ws->insert_line(CellDir::v, row)) {
      state.SkipWithError("the row was not inserted");
      return;
    }
    note(cls_figure("row inserted (document only)", placement), key.second, ms_since(start));
    start = Clock::now();
    if (!ws->remove_line(CellDir::v, row)) {
      state.SkipWithError("the row was not removed");
      return;
    }
    note(cls_figure("row removed (document only)", placement), key.second, ms_since(start));
  }
}

// --- 6. The whole process.

struct ProcessRun {
  bool ok = false;
  double ms = 0.0;
  // Processor time (user and system).
  double cpu_ms = 0.0;
  // Peak resident memory in kB, as the program reports it.
  long max_rss_kb = 0;
};

ProcessRun run_process(const std::vector<std::string>& args)
{
  std::vector<char*> argv;
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ProcessRun run;
  int out[2];
  if (pipe(out) != 0)
    return run;
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    return run;
  }
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string said;
  char buf[256];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
    said.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid)
    return run;
  run.ms = ms_since(start);
  // Not ru_maxrss: it counts the pages the fork shared with this process.
  const size_t at = said.rfind("peak_kb ");
  if (at == std::string::npos)
    return run;
  run.max_rss_kb = std::strtol(said.c_str() + at + 8, nullptr, 10);
  const auto ms_of = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
  run.cpu_ms = ms_of(usage.ru_utime) + ms_of(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// bench_cls_export on the diagram, opening it only or (with_export) also
// exporting it.
void BM_Process(benchmark::State& state, ClsPlacement placement, bool with_export)
{
  if (skipped_without_display(state))
    return;
  const ClsKey key = cls_key_of(state, placement);
  const std::string program = (std::filesystem::path(g_self).parent_path() / "bench_cls_export").string();
  const std::string& path = ClsDiagrams::get().path(key);
  if (path.empty()) {
    state.SkipWithError("no diagram");
    return;
  }
  std::vector<std::string> args = {program, path};
  if (with_export)
    args.push_back(ClsDiagrams::get().out(key, "-process"));
  const std::string what = with_export ? "whole process: open + export" : "whole process: open";
  long max_rss_kb = 0;
  for (auto _ : state) {
    const ProcessRun run = run_process(args);
    if (!run.ok) {
      state.SkipWithError("bench_cls_export failed");
      return;
    }
    note(cls_figure(what.c_str(), placement), key.second, run.ms);
    note(cls_figure((what + ", processor time").c_str(), placement), key.second, run.cpu_ms);
    note(cls_figure((what + ", peak MB").c_str(), placement), key.second, run.max_rss_kb / 1024.0);
    max_rss_kb = std::max(max_rss_kb, run.max_rss_kb);
  }
  state.counters["max_rss_MB"] = static_cast<double>(max_rss_kb) / 1024.0;
}

BENCHMARK_CAPTURE(BM_Build, grid, ClsPlacement::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Build, staggered, ClsPlacement::staggered)
    ->Arg(25)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, grid, ClsPlacement::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, staggered, ClsPlacement::staggered)
    ->Arg(25)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RouterAlone, grid, ClsPlacement::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RouterAlone, staggered, ClsPlacement::staggered)
    ->Arg(25)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RowInsertRemove, grid, ClsPlacement::grid)
    ->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenAndExport, grid, ClsPlacement::grid)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenAndExport, staggered, ClsPlacement::staggered)
    ->Arg(25)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Process, grid_open, ClsPlacement::grid, false)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Process, staggered_open, ClsPlacement::staggered, false)
    ->Arg(25)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Process, grid_export, ClsPlacement::grid, true)
    ->Arg(25)->Arg(100)->Arg(400)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Process, staggered_export, ClsPlacement::staggered, true)
    ->Arg(25)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);

// --- The table.

void print_table()
{
  std::printf("\nMedian of each run, in ms (peak memory in MB), with the growth between sizes:\n");
  std::printf("%-52s %10s %10s %10s %9s %9s\n", "", "n = 25", "n = 100", "n = 400", "25->100", "100->400");
  for (const auto& [name, by_n] : runs()) {
    const auto at = [&m = by_n](int n) {
      const auto it = m.find(n);
      return it == m.end() ? -1.0 : median(it->second);
    };
    const double a = at(25);
    const double b = at(100);
    const double c = at(400);
    std::printf("%-52s", name.c_str());
    for (const double v : {a, b, c})
      v < 0 ? std::printf(" %10s", "-") : std::printf(" %10.2f", v);
    for (const auto& [lo, hi] : {std::pair{a, b}, std::pair{b, c}})
      lo > 0 && hi >= 0 ? std::printf(" %8.2fx", hi / lo) : std::printf(" %9s", "-");
    std::printf("\n");
  }
  std::printf("\nGoals (figure / budget; at most 1 meets the goal):\n");
  const auto goal = [](const std::string& name, int n, double budget, const char* unit) {
    const auto figure_runs = runs().find(name);
    if (figure_runs == runs().end() || !figure_runs->second.count(n))
      return;
    const double v = median(figure_runs->second.at(n));
    std::printf("  %-52s n = %3d %9.2f %s / %6.1f %s = %5.2f %s\n", name.c_str(), n, v, unit, budget, unit,
                v / budget, v <= budget ? "met" : "MISSED");
  };
  constexpr double FRAME_MS = 1000.0 / 60.0;
  const auto whole = [](ClsPlacement placement) { return cls_figure("whole process: open + export", placement); };
  goal(whole(ClsPlacement::grid), 100, 200.0, "ms");
  goal(whole(ClsPlacement::grid), 400, 1500.0, "ms");
  goal(whole(ClsPlacement::staggered), 100, 1000.0, "ms");
  goal(cls_figure("whole process: open + export, peak MB", ClsPlacement::grid), 400, 150.0, "MB");
  for (const bench::ClsKeystroke& k : bench::CLS_KEYSTROKES) {
    const std::string name = cls_figure(k.name, ClsPlacement::grid);
    if (k.routes_all)
      goal(name, 100, FRAME_MS, "ms");
    goal(name, 400, k.routes_all ? 100.0 : FRAME_MS, "ms");
  }
}

} // namespace
} // namespace velkaro

int main(int argc, char** argv)
{
  velkaro::g_self = argv[0];
  const velkaro::bench::Display display(argc, argv);
  if (!velkaro::bench::run_benchmarks(argc, argv))
    return 1;
  velkaro::print_table();
  return 0;
}
