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
// The class diagram's page: documents of 25 and of 400 class boxes with
// 1.5 connectors per box (37 and 600), each with its two multiplicities,
// the boxes on every tenth column and row, each joined to its right and
// lower neighbours in turn, so that the page at the top-left corner shows
// about the same boxes and connectors either way. A redraw runs the class canvas's drawers; for contrast, the
// page drawn with a connector drawer that draws every connector of the
// document, as one without a region test would.
//
// Needs a display (run it under xvfb-run).

#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "bench_context.h"
#include "bench_display.h"
#include "common/text_join.h"
#include "cls/canvas.h"
#include "cls/connector_drawer_base.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/workspace.h"
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
    text->set_text(text_join({"t", std::string(5 - number.size(), '0'), number}));
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

// --- The class diagram ----------------------------------------------------------

// n class boxes on every tenth column and row (a page shows five by five
// of them), side by side in rows of the square's side, with 1.5 n
// connectors (rounded down): each box, row by row, to its right neighbour
// and then to the one below, while there are connectors left; the five
// kinds in turn, each with its two multiplicities.
std::shared_ptr<ClsWorkspace> make_class_document(int n)
{
  const auto ws = ModelWorkspace::create<ClsWorkspace>();
  int side = 1;
  while (side * side < n)
    ++side;
  const auto at = [side](int i) { return CellPos{10 * (i % side) + 1, 10 * (i / side) + 1}; };
  for (int i = 0; i < n; ++i) {
    const auto klass = ClsClassElement::create();
    const std::string number = std::to_string(i);
    klass->name_elem->set_text("Class" + std::string(3 - number.size(), '0') + number);
    ws->add_class(at(i), klass);
  }
  const int connectors = (3 * n) / 2;
  const auto& kinds = ClsAbstractConnectorElement::type_names();
  int made = 0;
  const auto join = [&](int a, int b) {
    if (made >= connectors || b >= n)
      return;
    ws->new_floating_connector(at(a), kinds[made % kinds.size()]);
    ws->update_floating_connector(at(b));
    const auto con = ws->get_floating_connector();
    if (!ws->fix_floating_connector())
      return;
    con->start_multiplicity->set_text("1");
    con->end_multiplicity->set_text("0..*");
    ++made;
  };
  for (int i = 0; i < n && made < connectors; ++i) {
    if (i % side + 1 < side)
      join(i, i + 1);
    join(i, i + side);
  }
  ws->update_layout_all();
  return ws;
}

// Draws every connector of the document, with no region test.
class EveryConnectorDrawer : public ClsFixedConnectorDrawer {
public:
  void draw() override
  {
    for (const auto& con : *get_cls_ws()->get_connectors())
      draw_connector(*con);
  }
};

struct ClassScene {
  ClassScene(int n, bool every_connector)
    : ws(make_class_document(n)),
      ctx(CtrlContext::create<BenchContext>(ws)),
      canvas(std::make_shared<BenchClsCanvas>(*ctx, every_connector)),
      page(*ctx, canvas)
  {
    ctx->set_pos({3, 3});
    page.show(*canvas);
  }
  void redraw()
  {
    const auto cr = Cairo::Context::create(page.image);
    gtk_widget_draw(GTK_WIDGET(canvas->gobj()), cr->cobj());
  }

  class BenchClsCanvas : public ClsCanvas {
  public:
    BenchClsCanvas(CtrlContext& ctrl, bool every_connector) : ClsCanvas(ctrl)
    {
      if (every_connector)
        drawers.at(4) = std::make_shared<EveryConnectorDrawer>();
    }
  };

  std::shared_ptr<ClsWorkspace> ws;
  std::shared_ptr<BenchContext> ctx;
  std::shared_ptr<BenchClsCanvas> canvas;
  bench::Page page;
};

void redraw_class_page(benchmark::State& state, bool every_connector)
{
  if (skipped_without_display(state))
    return;
  ClassScene scene(static_cast<int>(state.range(0)), every_connector);
  // The connectors the page shows.
  Rectangle page{0, 0, double(bench::Page::WIDTH), double(bench::Page::HEIGHT)};
  int shown = 0;
  for (const auto& con : *scene.ws->get_connectors()) {
    Rectangle bounds;
    if (ClsConnectorDrawerBase::get_drawn_bounds(*con, *scene.ws->grid, bounds) && bounds.is_intersect(page))
      ++shown;
  }
  for (auto _ : state)
    scene.redraw();
  state.counters["connectors"] = double(scene.ws->get_connectors()->size());
  state.counters["connectors_on_page"] = shown;
}

void BM_RedrawClassPage(benchmark::State& state) { redraw_class_page(state, false); }
void BM_RedrawClassPageEveryConnector(benchmark::State& state) { redraw_class_page(state, true); }

BENCHMARK(BM_RedrawClassPage)->Arg(25)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawClassPageEveryConnector)->Arg(25)->Arg(400)->Unit(benchmark::kMillisecond);

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
