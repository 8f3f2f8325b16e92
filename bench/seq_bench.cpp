// Redrawing one 1280×1024 page of the sequence canvas in the middle of a
// diagram of twelve life lines, each with a box of execution specifications
// every twenty rows and a message every third row, for life lines of 60 and
// of 1,200 cells. The page shows the same elements either way, so the cost
// of a redraw (all ten drawers and the working pass, as a GTK draw runs
// them) must not follow the length of the life lines.
//
// Needs a display (run it under xvfb-run).

#include <cstdlib>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_context.h"
#include "bench_display.h"
#include "common/directions.h"
#include "model/grid.h"
#include "seq/canvas.h"
#include "seq/doc/cells.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_head.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {
namespace {

constexpr int LIFE_LINES = 12;

using BenchContext = bench::Context<>;

// Appends elm to the chain at (x, y) of cells, as stored and settled.
void place(ModelElementCells& cells, int32_t x, int32_t y, const std::shared_ptr<ModelElement>& elm)
{
  if (const auto head = cells.get(x, y))
    head->add(elm);
  else
    cells.set(x, y, elm);
  elm->inserted(cells, {x, y});
  elm->in_process = false;
}

std::shared_ptr<SeqWorkspace> make_document(int rows)
{
  const auto ws = ModelWorkspace::create<SeqWorkspace>();
  const auto cells = SeqCells::create();
  for (int c = 0; c < LIFE_LINES; ++c) {
    const int32_t x = 2 * c + 1;
    auto head = SeqLifeHead::create();
    place(*cells, x, 0, head);
    place(*cells, x, 0, SeqTextElement::create_with_text(head, "participant " + std::to_string(c)));
    for (int32_t y = 1; y <= rows; ++y) {
      place(*cells, x, y, SeqLifeLine::create_with_head(head));
      if (y % 20 >= 1 && y % 20 <= 10)
        place(*cells, x, y, SeqExecSpec::create(0, y % 20 == 1));
    }
  }
  for (int32_t y = 2; y < rows; y += 3) {
    const int32_t x = 2 * ((y / 3) % (LIFE_LINES - 1)) + 1;
    auto msg = SeqMessage::create(cells->get(x, y)->seek<SeqLifeLine>(0), 1);
    place(*cells, x, y, msg);
    place(*cells, x + 1, y, SeqMsgLine::create_with_msg(msg));
    place(*cells, x + 2, y, SeqMsgLine::create_with_msg(msg));
    place(*cells, x, y, SeqMsgType::create_with(msg, y / 3));
  }
  ws->set_cells(cells);
  ws->update_layout_all();
  return ws;
}

// A window of one page holding a sequence canvas scrolled to the middle of
// a diagram whose life lines are rows long.
struct Scene {
  explicit Scene(int rows)
    : ws(make_document(rows)),
      ctx(CtrlContext::create<BenchContext>(ws)),
      canvas(std::make_shared<SeqCanvas>(*ctx)),
      page(*ctx, canvas)
  {
    page.show(*canvas);
    const Rectangle middle = ws->grid->get_rect(0, rows / 2);
    canvas->set_offset(CellDir::v, middle.y);
    ctx->set_pos({3, rows / 2 + 3});
    bench::settle();
  }
  void redraw() { page.redraw_visible(*canvas); }

  std::shared_ptr<SeqWorkspace> ws;
  std::shared_ptr<BenchContext> ctx;
  std::shared_ptr<SeqCanvas> canvas;
  bench::Page page;
};

void BM_RedrawSequencePage(benchmark::State& state)
{
  if (bench::skipped_without_display(state))
    return;
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state)
    scene.redraw();
  state.counters["page_y"] = scene.canvas->get_page_y();
  if (const char* out = std::getenv("VELKARO_BENCH_PNG"))
    scene.page.image->write_to_png(std::string(out) + "-" + std::to_string(state.range(0)) + ".png");
}

BENCHMARK(BM_RedrawSequencePage)->Arg(60)->Arg(1200)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velkaro

int main(int argc, char** argv)
{
  const velkaro::bench::Display display(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
