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

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include "ctrl/context.h"
#include "ctrl/mode.h"
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

constexpr int PAGE_WIDTH = 1280;
constexpr int PAGE_HEIGHT = 1024;

class BenchMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "BENCH MODE"; }
};

class BenchContext : public CtrlContext {
public:
  BenchContext(Key key, std::shared_ptr<ModelWorkspace> ws) : CtrlContext(key, std::move(ws), "bench")
  {
    set_modes({std::make_shared<BenchMode>(*this)});
  }
  std::string get_name() const override { return "BenchContext"; }
};

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
    : ws(make_document(n)), ctx(CtrlContext::create<BenchContext>(ws)), canvas(std::make_shared<BenchCanvas>(*ctx))
  {
    sw.set_size_request(PAGE_WIDTH, PAGE_HEIGHT);
    sw.add(*canvas);
    window.add(sw);
    canvas->set_scrolled_window(sw);
    ctx->set_canvas(canvas);
    ctx->set_pos({3, 3});
    window.show_all();
    settle();
    canvas->update();
    settle();
    image = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, PAGE_WIDTH, PAGE_HEIGHT);
  }
  ~Scene()
  {
    sw.remove();
    ctx->set_canvas(nullptr);
  }
  static void settle()
  {
    while (gtk_events_pending())
      gtk_main_iteration_do(false);
  }
  void redraw()
  {
    const auto cr = Cairo::Context::create(image);
    gtk_widget_draw(GTK_WIDGET(canvas->gobj()), cr->cobj());
  }

  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<BenchContext> ctx;
  std::shared_ptr<BenchCanvas> canvas;
  Gtk::Window window;
  Gtk::ScrolledWindow sw;
  Cairo::RefPtr<Cairo::ImageSurface> image;
};

bool g_have_display = false;

void BM_RedrawPage(benchmark::State& state)
{
  if (!g_have_display) {
    state.SkipWithError("no display: run under xvfb-run");
    return;
  }
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
  if (!g_have_display) {
    state.SkipWithError("no display: run under xvfb-run");
    return;
  }
  Scene scene(static_cast<int>(state.range(0)));
  CountingDrawer drawer;
  const auto cr = Cairo::Context::create(scene.image);
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
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("GDK_BACKEND", "x11", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  // The context keeps its settings under the configuration directory.
  char* config = g_dir_make_tmp("velkaro-bench-XXXXXX", nullptr);
  if (config)
    setenv("XDG_CONFIG_HOME", config, 1);
  Gtk::Main::init_gtkmm_internals();
  velkaro::g_have_display = gtk_init_check(&argc, &argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (config) {
    std::error_code ec;
    std::filesystem::remove_all(config, ec);
    g_free(config);
  }
  return 0;
}
