// Saving and loading documents of 1,000, 10,000 and 100,000 text elements
// (opened for the first time, and again: texts are measured once per
// distinct string),
// a row insertion and its undo and a row removal with its undo in the
// 10,000-element document, and, as the
// yardstick for loading, a bare pass of libxml2's text reader over the same
// files.
//
// The documents hold texts of every alignment, some over two cells, and
// families of a parent with children in its own chain and in the row below.

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <libxml/xmlreader.h>
#include <pangomm/init.h>

#include "bench_timing.h"
#include "model/element_cells.h"
#include "model/text_element.h"
#include "model/text_measure.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {
namespace {

constexpr int32_t columns = 100;

// Puts elm at the end of the chain at (x, y), as a read would.
void put(ModelElementCells& cells, const std::shared_ptr<ModelElement>& elm, int32_t x, int32_t y)
{
  if (const auto head = cells.get(x, y))
    head->add(elm);
  else
    cells.set(x, y, elm);
  elm->inserted(cells, {x, y});
}

std::shared_ptr<ModelWorkspace> generate(int n)
{
  const auto cells = ModelElementCells::create();
  static const ModelAlign aligns[] = {ModelAlign::LEFT, ModelAlign::CENTER, ModelAlign::RIGHT};
  static const ModelAlign valigns[] = {ModelAlign::TOP, ModelAlign::CENTER, ModelAlign::BOTTOM};
  std::shared_ptr<ModelElement> parent;
  for (int i = 0; i < n; ++i) {
    // Two elements per cell on even rows (a parent and its child), one on
    // odd rows (children of the parent above, or loose texts).
    const int32_t slot = i / 3;
    const int32_t x = 2 * (slot % (columns / 2));
    const int32_t y = 2 * (slot / (columns / 2)) + (i % 3 == 2 ? 1 : 0);
    std::shared_ptr<ModelTextElement> t;
    if (i % 3 == 0 || !parent)
      t = ModelTextElement::create();
    else
      t = ModelTextElement::create_with_parent(parent);
    t->set_text("text " + std::to_string(i));
    t->align = aligns[i % 3];
    t->valign = valigns[(i / 3) % 3];
    if (i % 3 == 0 && slot % 4 == 0)
      t->dh = 1;
    put(*cells, t, x, y);
    if (i % 3 == 0)
      parent = t;
  }
  const auto ws = ModelWorkspace::create();
  ws->set_cells(cells);
  ws->update_layout_all();
  return ws;
}

class Documents {
public:
  static Documents& get()
  {
    static Documents documents;
    return documents;
  }

  const std::string& path(int n)
  {
    auto it = m_paths.find(n);
    if (it != m_paths.end())
      return it->second;
    const std::string p = m_dir + "/doc-" + std::to_string(n) + ".xml";
    if (!generate(n)->save(p))
      std::fprintf(stderr, "cannot write %s\n", p.c_str());
    return m_paths.emplace(n, p).first->second;
  }
  const std::string& dir() const { return m_dir; }

  ~Documents()
  {
    for (const auto& [n, p] : m_paths)
      (void)g_unlink(p.c_str());
    (void)g_unlink((m_dir + "/out.xml").c_str());
    (void)g_rmdir(m_dir.c_str());
  }

private:
  Documents()
  {
    GError* error = nullptr;
    char* dir = g_dir_make_tmp("velkaro-bench-XXXXXX", &error);
    m_dir = dir ? dir : ".";
    g_free(dir);
    g_clear_error(&error);
  }

  std::string m_dir;
  std::map<int, std::string> m_paths;
};

// A document whose texts were never measured before (a first open).
void BM_Load(benchmark::State& state)
{
  const std::string& path = Documents::get().path(static_cast<int>(state.range(0)));
  const auto ws = ModelWorkspace::create();
  for (auto _ : state) {
    state.PauseTiming();
    ModelTextMeasure::forget();
    state.ResumeTiming();
    if (!ws->load(path))
      state.SkipWithError(ws->get_last_error().c_str());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same document opened again: its strings are measured already.
void BM_LoadAgain(benchmark::State& state)
{
  const std::string& path = Documents::get().path(static_cast<int>(state.range(0)));
  const auto ws = ModelWorkspace::create();
  for (auto _ : state)
    if (!ws->load(path))
      state.SkipWithError(ws->get_last_error().c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BareReaderPass(benchmark::State& state)
{
  const std::string& path = Documents::get().path(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    xmlTextReaderPtr reader = xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET);
    int nodes = 0;
    while (xmlTextReaderRead(reader) == 1)
      ++nodes;
    xmlFreeTextReader(reader);
    benchmark::DoNotOptimize(nodes);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Save(benchmark::State& state)
{
  const auto ws = ModelWorkspace::create();
  if (!ws->load(Documents::get().path(static_cast<int>(state.range(0)))))
    state.SkipWithError(ws->get_last_error().c_str());
  const std::string out = Documents::get().dir() + "/out.xml";
  for (auto _ : state)
    if (!ws->save(out))
      state.SkipWithError(ws->get_last_error().c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A row opened in the middle of the document and the record that undoes it.
void BM_InsertRow(benchmark::State& state)
{
  const auto ws = ModelWorkspace::create();
  (void)ws->load(Documents::get().path(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    const auto d = ws->new_diff();
    ws->set_diff(d);
    ws->insert_row(50);
    ws->set_diff(nullptr);
    state.PauseTiming();
    ws->patch(*d->reverse());
    state.ResumeTiming();
  }
}

void BM_UndoInsertRow(benchmark::State& state)
{
  const auto ws = ModelWorkspace::create();
  (void)ws->load(Documents::get().path(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    state.PauseTiming();
    const auto d = ws->new_diff();
    ws->set_diff(d);
    ws->insert_row(50);
    ws->set_diff(nullptr);
    state.ResumeTiming();
    ws->patch(*d->reverse());
  }
}

// A full row (a hundred elements) removed and put back by its record: each
// line whose elements changed is laid out once, at the end of the removal
// and of the patch.
void BM_RemoveRowAndUndo(benchmark::State& state)
{
  const auto ws = ModelWorkspace::create();
  (void)ws->load(Documents::get().path(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    const auto d = ws->new_diff();
    ws->set_diff(d);
    ws->remove_row(50);
    ws->set_diff(nullptr);
    ws->patch(*d->reverse());
  }
}

BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAgain)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReaderPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertRow)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoInsertRow)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveRowAndUndo)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velkaro

int main(int argc, char** argv)
{
  // The text elements' layouts are pangomm objects.
  Pango::init();
  return velkaro::bench::run_benchmarks(argc, argv) ? 0 : 1;
}
