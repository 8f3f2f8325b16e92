// Large sequence diagrams (bench/seq_diagram.h: eight life lines, calls,
// replies and asynchronous messages, nested boxes, "alt" and "loop"
// fragments) of 50, 200, 500 and 2,000 messages:
//
//  1. building each diagram through the workspace's operations;
//  2. opening each saved diagram and exporting it to PNG in process (load
//     with layout, then drawing and writing the image);
//  3. one keystroke on the 500- and 2,000-message diagrams through the
//     sequence modes, as the canvas receives it, each followed by a redraw
//     of one 1280x1024 page: a row inserted ("o") and its undo ("u"), a
//     row removed ("dd") and its undo, a message inserted on a life line
//     ("a" in the vertical context, into the range mode) and settled
//     ("<Enter>"), a cursor move ("j"); and the refresh of the enabled
//     actions that the context runs after an edit;
//  4. bench_seq_export (opening a diagram and exporting it, as a whole
//     process) started on each diagram.
//
// Every figure is the median of its runs, each timed alone; after the
// benchmarks a table gives them with their ratios. VELKARO_BENCH_KEEP names a
// folder that receives the diagrams and their exported images; with
// VELKARO_BENCH_REUSE also set, the diagrams found there are taken as they
// are (for profiling the other figures).
//
// Needs a display (run it under xvfb-run).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtk/gtk.h>

#include "bench_display.h"
#include "bench_timing.h"
#include "common/cell_range.h"
#include "common/directions.h"
#include "ctrl/undo/action_processor.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/canvas.h"
#include "seq/context.h"
#include "seq/exporting_cnavas.h"
#include "seq/doc/workspace.h"
#include "seq_diagram.h"

namespace velkaro {
namespace {

constexpr double FRAME_MS = 1000.0 / 60.0;
// Around the diagram in an export, so that frames at its edges stand clear.
constexpr double MARGIN = 12.0;

std::string g_self;

// The runs are noted by figure and diagram size.
using bench::Clock;
using bench::median;
using bench::ms_since;
using bench::note;
using bench::runs;
using bench::settle;
using bench::skipped_without_display;

// --- The diagrams, generated and saved once each.

class Diagrams {
public:
  static Diagrams& get()
  {
    static Diagrams diagrams;
    return diagrams;
  }

  const std::string& path(int messages)
  {
    auto it = m_paths.find(messages);
    if (it != m_paths.end())
      return it->second;
    const std::string p = m_dir + "/seq-" + std::to_string(messages) + ".xml";
    // A kept folder serves the diagrams it holds (VELKARO_BENCH_REUSE set).
    if (m_keep && std::getenv("VELKARO_BENCH_REUSE") && std::filesystem::exists(p))
      return m_paths.emplace(messages, p).first->second;
    const auto ws = ModelWorkspace::create<SeqWorkspace>();
    (void)seq_generate_diagram(*ws, messages);
    if (!ws->save(p))
      std::fprintf(stderr, "cannot write %s: %s\n", p.c_str(), ws->get_last_error().c_str());
    return m_paths.emplace(messages, p).first->second;
  }
  std::string out(int messages) const { return m_dir + "/seq-" + std::to_string(messages) + ".png"; }

  ~Diagrams()
  {
    std::error_code ec;
    if (!m_keep)
      std::filesystem::remove_all(m_dir, ec);
  }

private:
  Diagrams()
  {
    if (const char* keep = std::getenv("VELKARO_BENCH_KEEP"); keep && *keep) {
      m_dir = keep;
      m_keep = true;
      std::filesystem::create_directories(m_dir);
      return;
    }
    char* dir = g_dir_make_tmp("velkaro-bench-XXXXXX", nullptr);
    m_dir = dir ? dir : ".";
    g_free(dir);
  }

  std::string m_dir;
  bool m_keep = false;
  std::map<int, std::string> m_paths;
};

// The rectangle an export of the whole diagram covers.
Rectangle whole(ModelWorkspace& ws)
{
  CellRange range = *ws.get_cells()->get_exists_range();
  range.start = {0, 0};
  Rectangle r = ws.grid->get_range_rect(range);
  return {-MARGIN, -MARGIN, r.width + 2 * MARGIN, r.height + 2 * MARGIN};
}

// --- 1. Building.

void BM_Generate(benchmark::State& state)
{
  const int messages = static_cast<int>(state.range(0));
  SeqDiagramFigures figures;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto ws = ModelWorkspace::create<SeqWorkspace>();
    figures = seq_generate_diagram(*ws, messages);
    note("build through the operations", messages, ms_since(start));
  }
  state.counters["rows"] = figures.rows;
  state.counters["sync"] = figures.synchronous;
  state.counters["async"] = figures.asynchronous;
  state.counters["replies"] = figures.replies;
  state.counters["boxes"] = figures.boxes;
  state.counters["deepest"] = figures.deepest;
  state.counters["alts"] = figures.alts;
  state.counters["texts"] = figures.texts;
}

// --- 2. Open and export in process.

void BM_OpenAndExport(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  const int messages = static_cast<int>(state.range(0));
  const std::string& path = Diagrams::get().path(messages);
  const std::string out = Diagrams::get().out(messages);
  double width = 0;
  double height = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto ws = ModelWorkspace::create<SeqWorkspace>();
    if (!ws->load(path)) {
      state.SkipWithError(ws->get_last_error().c_str());
      return;
    }
    const double load_ms = ms_since(start);
    const auto ctx = SeqContext::create(ws);
    const Rectangle rect = whole(*ws);
    const auto drawn = Clock::now();
    const auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(ctx, rect);
    if (!exporter->export_png(out)) {
      state.SkipWithError(exporter->get_last_error().c_str());
      return;
    }
    const double export_ms = ms_since(drawn);
    note("open + export PNG", messages, ms_since(start));
    note("  of which open (load + layout)", messages, load_ms);
    note("  of which export (draw + write)", messages, export_ms);
    width = rect.width;
    height = rect.height;
  }
  state.counters["width"] = width;
  state.counters["height"] = height;
}

// --- 3. Keystrokes.

// A window of one page holding the sequence canvas of a loaded diagram.
using Scene = bench::EditorScene<SeqWorkspace, SeqContext, SeqCanvas>;

// The cell of the second life line in the middle message row of the
// diagram (a row where nothing but a message crosses: no frame edge).
CellPos middle_row(Scene& s)
{
  const int32_t x = SeqDiagramColumns::life_line(1);
  const CellRange used = *s.ws->get_cells()->get_exists_range();
  for (int32_t y = used.end.y / 2;; ++y) {
    bool frame = false;
    const auto head = s.ws->elm_at({SeqDiagramColumns::ALT_LEFT + 2, y});
    if (head)
      frame = head->get_type_name() == std::string("SeqFragLine");
    if (!frame && s.ws->elm_at({x, y}))
      return {x, y};
  }
}

const char* const KEYSTROKES[] = {
  "insert a row (o)",      "undo the row insertion (u)", "remove a row (dd)", "undo the row removal (u)",
  "insert a message (a)",  "settle the message (Enter)", "cursor move (j)",   "refresh of the enabled actions",
};

void BM_Keystrokes(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  const int messages = static_cast<int>(state.range(0));
  Scene s(Diagrams::get().path(messages));
  if (!s.loaded) {
    state.SkipWithError("the diagram did not load");
    return;
  }
  const CellPos cell = middle_row(s);
  s.go(cell);
  const std::string before = std::to_string(s.ws->get_cells()->get_exists_range()->end.y);
  for (auto _ : state) {
    // A row opened below the cursor and taken back.
    const size_t steps = s.undo_steps();
    note(KEYSTROKES[0], messages, s.stroke("o"));
    note(KEYSTROKES[1], messages, s.stroke("u"));
    // The cursor's row removed and put back.
    note(KEYSTROKES[2], messages, s.stroke("dd"));
    note(KEYSTROKES[3], messages, s.stroke("u"));
    // A message from the life line in an empty row, to the next one.
    s.keys("o");
    s.go({cell.x, cell.y + 1});
    s.keys("<C-space>");
    note(KEYSTROKES[4], messages, s.stroke("a"));
    note(KEYSTROKES[5], messages, s.stroke("<Enter>"));
    s.keys("<S-space>");
    // The refresh that the context schedules after an edit.
    const auto start = Clock::now();
    const auto names = s.ctx->enum_actionable_name();
    note(KEYSTROKES[7], messages, ms_since(start));
    benchmark::DoNotOptimize(names);
    s.keys("uu");
    s.go(cell);
    note(KEYSTROKES[6], messages, s.stroke("j"));
    s.keys("k");
    if (s.undo_steps() != steps) {
      state.SkipWithError("the keys left steps on the undo stack");
      return;
    }
  }
  if (std::to_string(s.ws->get_cells()->get_exists_range()->end.y) != before)
    state.SkipWithError("the undo did not give the diagram back");
}

// --- 4. The whole process.

void BM_ExportProcess(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  const int messages = static_cast<int>(state.range(0));
  const std::string program = (std::filesystem::path(g_self).parent_path() / "bench_seq_export").string();
  const std::string& path = Diagrams::get().path(messages);
  const std::string out = Diagrams::get().out(messages) + ".process.png";
  for (auto _ : state) {
    const char* argv[] = {program.c_str(), path.c_str(), out.c_str(), nullptr};
    int status = 0;
    GError* error = nullptr;
    const auto start = Clock::now();
    const bool ran = g_spawn_sync(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr,
                                  nullptr, nullptr, &status, &error);
    const double ms = ms_since(start);
    if (!ran || !g_spawn_check_wait_status(status, nullptr)) {
      state.SkipWithError(error ? error->message : "bench_seq_export failed");
      g_clear_error(&error);
      return;
    }
    note("whole process: open + export", messages, ms);
  }
}

BENCHMARK(BM_Generate)->Arg(50)->Arg(200)->Arg(500)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndExport)->Arg(50)->Arg(200)->Arg(500)->Arg(2000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Keystrokes)->Arg(500)->Arg(2000)->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportProcess)->Arg(50)->Arg(500)->Arg(2000)->Iterations(5)->Unit(benchmark::kMillisecond);

// --- The table.

void print_table()
{
  bench::RunsTable table{"Median of each run, in ms (ratio to the 500-message diagram):", "", {}, 500, 2, 2};
  for (const int n : {50, 200, 500, 2000})
    table.columns.push_back({n, std::to_string(n)});
  bench::print_runs_table(table);
  // The goals, as ratios of each figure to its budget.
  std::printf("\nGoals (figure / budget; at most 1 meets the goal):\n");
  const auto goal = [](const std::string& name, int n, double budget) {
    const auto figure = runs().find(name);
    if (figure == runs().end() || !figure->second.count(n))
      return;
    const double ms = median(figure->second.at(n));
    std::printf("  %-34s %5d msgs %9.2f ms / %6.1f ms = %5.2f %s\n", name.c_str(), n, ms, budget, ms / budget,
                ms <= budget ? "met" : "MISSED");
  };
  for (const char* k : KEYSTROKES)
    goal(k, 2000, FRAME_MS);
  goal("open + export PNG", 500, 90.0);
  goal("whole process: open + export", 500, 300.0);
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
