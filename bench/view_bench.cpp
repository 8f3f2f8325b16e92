// Redrawing one 1280×1024 page of the canvas, for documents of 100 and of
// 10,000 text elements whose page holds the same elements: the elements
// stand on every sixth column and sixth row, so the page at the document's
// top-left corner shows the same eight by eight of them either way. A
// redraw runs every drawer of a canvas (grid, cursor frame, an element
// drawer that outlines each text and draws it, selected range, viewport)
// and the working pass, exactly as a GTK draw does; its cost must follow
// the page, not the document.
//
// For contrast, the walk over every element of the document (what a drawer
// that ignored the update rectangle would pay) is measured too.
//
// Needs a display (run it under xvfb-run).

#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "bench_context.h"
#include "bench_display.h"
#include "model/element_cells.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "view/canvas.h"
#include "view/drawer_context.h"
#include "view/cell_cursor_drawer.h"
#include "view/grid_drawer.h"
#include "view/selected_range_drawer.h"
#include "view/viewport_drawer.h"
#include "view/ws_drawer.h"

namespace velkaro {
namespace {

using bench::skipped_without_display;
using BenchContext = bench::Context<>;

// Outlines every text element it visits and draws its text, as a diagram
// kind's text drawer does.
class TextElementDrawer : public ViewWsDrawer {
public:
  bool get_for_working() const override { return true; }
  void draw() override
  {
    each_target<ModelTextElement>(get_clip_region(), [this] {
      ++visits;
      get_cr()->rectangle(now_rect.x + 2, now_rect.y + 2, now_rect.width - 4, now_rect.height - 4);
      init();
      get_cr()->stroke();
      draw_text_elm(Point(0, 0));
    });
  }
  long visits = 0;
};

class BenchCanvas : public ViewCanvas {
public:
  explicit BenchCanvas(CtrlContext& ctrl) : ViewCanvas(ctrl)
  {
    drawers.push_back(std::make_shared<ViewHVGridDrawer>());
    drawers.push_back(std::make_shared<ViewCellCursorDrawer>());
    drawers.push_back(texts);
    drawers.push_back(std::make_shared<ViewSelectedRangeDrawer>());
    drawers.push_back(std::make_shared<ViewViewportDrawer>());
  }
  std::shared_ptr<TextElementDrawer> texts = std::make_shared<TextElementDrawer>();
};

// n text elements on a square lattice of every sixth column and row.
std::shared_ptr<ModelWorkspace> make_document(int n)
{
  const auto cells = ModelElementCells::create();
  int side = 1;
  while (side * side < n)
    ++side;
  for (int i = 0; i < n; ++i) {
    const auto text = ModelTextElement::create();
    // Texts of one width in both documents, so that their columns are alike.
    const std::string number = std::to_string(i);
    text->set_text("t" + std::string(5 - number.size(), '0') + number);
    const int32_t x = 6 * (i % side);
    const int32_t y = 6 * (i / side);
    cells->set(x, y, text);
    text->inserted(*cells, {x, y});
    text->in_process = false;
  }
  const auto ws = ModelWorkspace::create();
  ws->set_cells(cells);
  ws->update_layout_all();
  return ws;
}

// A window of one page holding a canvas over a document of n elements.
struct Scene {
  explicit Scene(int n)
    : ws(make_document(n)),
      ctx(CtrlContext::create<BenchContext>(ws)),
      canvas(std::make_shared<BenchCanvas>(*ctx)),
      page(*ctx, canvas)
  {
    ctx->set_pos({3, 3});
    page.show(*canvas);
  }
  // What a GTK draw of the page at the document's top-left corner runs.
  void redraw()
  {
    const auto cr = Cairo::Context::create(page.image);
    gtk_widget_draw(GTK_WIDGET(canvas->gobj()), cr->cobj());
  }

  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<BenchContext> ctx;
  std::shared_ptr<BenchCanvas> canvas;
  bench::Page page;
};

void BM_RedrawPage(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  Scene scene(static_cast<int>(state.range(0)));
  scene.canvas->texts->visits = 0;
  for (auto _ : state)
    scene.redraw();
  state.counters["texts_drawn"] = double(scene.canvas->texts->visits) / double(state.iterations());
  state.counters["page_width"] = scene.canvas->get_page_width();
  state.counters["page_height"] = scene.canvas->get_page_height();
}

// Every element of the document visited once, without the region test.
class CountingDrawer : public ViewWsDrawer {
public:
  void draw() override
  {
    each_target(nullptr, Cairo::RefPtr<Cairo::Region>(), [this] { ++visited; });
  }
  long visited = 0;
};

void BM_WalkWholeDocument(benchmark::State& state)
{
  if (skipped_without_display(state))
    return;
  Scene scene(static_cast<int>(state.range(0)));
  CountingDrawer drawer;
  const auto cr = Cairo::Context::create(scene.page.image);
  scene.canvas->get_dc()->cr = cr;
  for (auto _ : state)
    drawer.draw_for(scene.canvas->get_dc(), scene.ctx);
  benchmark::DoNotOptimize(drawer.visited);
}

BENCHMARK(BM_RedrawPage)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkWholeDocument)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

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
