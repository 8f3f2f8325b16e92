// One keystroke's edit on grids of texts of 1,000, 10,000 and 40,000
// elements (100 columns wide) and on one of 100 x 400, each made through the
// undo processor of a controller context as a key would make it: storing one
// text and its undo, removing one and its undo, opening a row in the middle
// and its undo, removing a full row and its undo, the first cursor move
// after an edit, and the refresh of the enabled actions (the context's
// enumeration of actionable names, with the cell mode's dry runs of
// "change" and "append-text").
//
// Each figure is the median of its runs, timed one by one; after the
// benchmarks a table gives every figure and its ratio to the one of the
// 1,000-text grid.

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <glibmm/init.h>
#include <glibmm/main.h>
#include <pangomm/init.h>

#include "bench_context.h"
#include "bench_timing.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/cell_mode.h"
#include "model/element_cells.h"
#include "model/text_element.h"
#include "model/workspace.h"

namespace velkaro {
namespace {

// The cell mode of a small diagram kind: "change" replaces the text under
// the cursor by a new one as a recorded step; the other insertions do
// nothing.
class BenchCellMode : public CtrlCellMode {
public:
  explicit BenchCellMode(CtrlContext& ctrl) : CtrlCellMode(ctrl) {}

  bool insert() override { return false; }
  bool insert_shift() override { return false; }
  bool append() override { return false; }
  bool append_shift() override { return false; }
  bool copy_(bool remove) override
  {
    get_ctrl().copy(nullptr, remove);
    return true;
  }
  bool change_() override
  {
    auto& ctx = get_ctrl();
    const auto text = ctx.get_now_text_elm();
    if (!text)
      return false;
    return ctx.with_diff_if([&] {
      const auto changed = ModelTextElement::create();
      changed->set_text("changed");
      get_ws()->replace(text, changed);
      get_ws()->signal_update();
      return true;
    });
  }
};

using BenchContext = bench::Context<BenchCellMode>;

// A grid of texts, columns wide, one text per cell from (0, 0) on.
struct Grid {
  int32_t columns;
  int32_t rows;
  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<BenchContext> ctx;
};

Grid make_grid(int32_t columns, int32_t rows)
{
  const auto cells = ModelElementCells::create();
  for (int32_t y = 0; y < rows; ++y)
    for (int32_t x = 0; x < columns; ++x) {
      const auto t = ModelTextElement::create();
      t->set_text("text " + std::to_string(y * columns + x));
      cells->set(x, y, t);
      t->inserted(*cells, {x, y});
    }
  Grid g{columns, rows, ModelWorkspace::create(), nullptr};
  g.ws->set_cells(cells);
  g.ws->update_layout_all();
  g.ctx = CtrlContext::create<BenchContext>(g.ws);
  return g;
}

// The grids, made once each: "1000" (100 x 10), "10000" (100 x 100),
// "40000" (100 x 400 would be the tall one; this one is 200 x 200) and
// "100x400".
Grid& grid(int which)
{
  static std::map<int, Grid> grids;
  auto it = grids.find(which);
  if (it != grids.end())
    return it->second;
  static const std::map<int, std::pair<int32_t, int32_t>> shapes = {
    {0, {100, 10}}, {1, {100, 100}}, {2, {200, 200}}, {3, {100, 400}}};
  const auto [columns, rows] = shapes.at(which);
  return grids.emplace(which, make_grid(columns, rows)).first->second;
}

const char* grid_name(int which)
{
  static const char* names[] = {"1000", "10000", "40000", "100x400"};
  return names[which];
}

// Times fn alone, noting each run by benchmark and grid; prepare and finish
// run outside the timing.
template <class Prepare, class Fn, class Finish>
void timed(benchmark::State& state, const char* name, Prepare prepare, Fn fn, Finish finish)
{
  const int which = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    state.ResumeTiming();
    const auto start = bench::Clock::now();
    fn();
    const double ms = bench::ms_since(start);
    state.PauseTiming();
    finish();
    // Lets the refresh timers that came due run, as the main loop would.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    state.ResumeTiming();
    bench::note(name, which, ms);
  }
}

// A cell in the middle of the grid.
CellPos middle(const Grid& g) { return {g.columns / 2, g.rows / 2}; }

// Stores a new text at an empty cell beside the grid, as "tt" does.
bool store_text(Grid& g)
{
  return g.ctx->with_diff_if([&g] { return g.ws->add_text({g.columns, g.rows / 2}); });
}

void undo(Grid& g) { g.ctx->get_action_proc()->undo(false); }

void BM_StoreText(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "store one text", [] {}, [&g] { store_text(g); }, [&g] { undo(g); });
}

void BM_UndoStoreText(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "undo the store", [&g] { store_text(g); }, [&g] { undo(g); }, [] {});
}

bool remove_text(Grid& g)
{
  return g.ctx->with_diff_if([&g] {
    const auto e = g.ws->elm_at(middle(g));
    if (!e)
      return false;
    g.ws->remove(e);
    g.ws->signal_update();
    return true;
  });
}

void BM_RemoveText(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "remove one text", [] {}, [&g] { remove_text(g); }, [&g] { undo(g); });
}

void BM_UndoRemoveText(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "undo the removal", [&g] { remove_text(g); }, [&g] { undo(g); }, [] {});
}

bool insert_row(Grid& g)
{
  return g.ctx->with_diff_if([&g] { return g.ws->insert_line(CellDir::v, g.rows / 2); });
}

void BM_InsertRow(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "insert a row", [] {}, [&g] { insert_row(g); }, [&g] { undo(g); });
}

void BM_UndoInsertRow(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "undo the row insertion", [&g] { insert_row(g); }, [&g] { undo(g); }, [] {});
}

bool remove_row(Grid& g)
{
  return g.ctx->with_diff_if([&g] { return g.ws->remove_line(CellDir::v, g.rows / 2); });
}

void BM_RemoveRow(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "remove a full row", [] {}, [&g] { remove_row(g); }, [&g] { undo(g); });
}

void BM_UndoRemoveRow(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(state, "undo the row removal", [&g] { remove_row(g); }, [&g] { undo(g); }, [] {});
}

// The cursor steps right from the middle of the grid just after a text was
// stored and undone elsewhere.
void BM_FirstMoveAfterEdit(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  timed(
    state, "first cursor move after an edit",
    [&g] {
      store_text(g);
      undo(g);
      g.ctx->set_pos(middle(g));
      // As the cell mode has it: a step crosses a multi-cell element whole.
      g.ctx->in_cell_mode = true;
    },
    [&g] { g.ctx->move_pos(MovingDir::right); }, [] {});
}

// The enumeration the delayed refresh runs, with the cursor on a text (so
// the dry run of "change" replaces it); an edit comes before each.
void BM_RefreshActions(benchmark::State& state)
{
  Grid& g = grid(static_cast<int>(state.range(0)));
  CtrlContext::NameSet names;
  timed(
    state, "refresh of the enabled actions",
    [&g] {
      store_text(g);
      undo(g);
      g.ctx->set_pos(middle(g));
    },
    [&g, &names] { names = g.ctx->enum_actionable_name(); }, [] {});
  if (!names.count("change"))
    state.SkipWithError("\"change\" is not actionable on a text");
}

#define GRIDS ->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Iterations(50)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_StoreText) GRIDS;
BENCHMARK(BM_UndoStoreText) GRIDS;
BENCHMARK(BM_RemoveText) GRIDS;
BENCHMARK(BM_UndoRemoveText) GRIDS;
BENCHMARK(BM_InsertRow) GRIDS;
BENCHMARK(BM_UndoInsertRow) GRIDS;
BENCHMARK(BM_RemoveRow) GRIDS;
BENCHMARK(BM_UndoRemoveRow) GRIDS;
BENCHMARK(BM_FirstMoveAfterEdit) GRIDS;
BENCHMARK(BM_RefreshActions) GRIDS;

void print_table()
{
  bench::RunsTable table{"Median of each run, in ms, and ratio to the 1000-text grid:", "edit", {}, 0, 3, 1};
  for (int which = 0; which < 4; ++which)
    table.columns.push_back({which, grid_name(which)});
  bench::print_runs_table(table);
}

} // namespace
} // namespace velkaro

int main(int argc, char** argv)
{
  // The configuration store of the context writes under a directory of its own.
  GError* error = nullptr;
  char* dir = g_dir_make_tmp("velkaro-bench-XXXXXX", &error);
  g_clear_error(&error);
  if (dir)
    g_setenv("XDG_CONFIG_HOME", dir, TRUE);
  Glib::init();
  Pango::init();
  if (!velkaro::bench::run_benchmarks(argc, argv))
    return 1;
  velkaro::print_table();
  if (dir) {
    (void)std::system(("rm -rf '" + std::string(dir) + "'").c_str());
    g_free(dir);
  }
  return 0;
}
