#include "model/text_measure_batch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>

#include <pango/pangocairo.h>

#include "common/c_resource.h"
#include "model/text_measure.h"

namespace velkaro {
namespace {

// The batch open on this thread, if any.
thread_local ModelTextMeasureBatch* open_batch = nullptr;

// Every setting of a context that its layouts' measurements depend on,
// copied out of the shared context on the main thread so that a worker
// reads nothing of it.
struct ContextSettings {
  CPtr<PangoFontDescription, pango_font_description_free> font;
  PangoLanguage* language = nullptr; // interned by Pango, valid for ever
  PangoDirection base_dir = PANGO_DIRECTION_LTR;
  PangoGravity base_gravity = PANGO_GRAVITY_SOUTH;
  PangoGravityHint gravity_hint = PANGO_GRAVITY_HINT_NATURAL;
  bool round_glyph_positions = true;
  std::optional<PangoMatrix> matrix;
  CPtr<cairo_font_options_t, cairo_font_options_destroy> font_options; // none set: null
  double context_resolution = -1.0;
  double font_map_resolution = 96.0;
  cairo_font_type_t font_type = CAIRO_FONT_TYPE_FT;

  static ContextSettings of(PangoContext* context)
  {
    ContextSettings s;
    if (const PangoFontDescription* font = pango_context_get_font_description(context))
      s.font.reset(pango_font_description_copy(font));
    s.language = pango_context_get_language(context);
    s.base_dir = pango_context_get_base_dir(context);
    s.base_gravity = pango_context_get_base_gravity(context);
    s.gravity_hint = pango_context_get_gravity_hint(context);
    s.round_glyph_positions = pango_context_get_round_glyph_positions(context);
    if (const PangoMatrix* matrix = pango_context_get_matrix(context))
      s.matrix = *matrix;
    if (const cairo_font_options_t* options = pango_cairo_context_get_font_options(context))
      s.font_options.reset(cairo_font_options_copy(options));
    s.context_resolution = pango_cairo_context_get_resolution(context);
    auto* map = PANGO_CAIRO_FONT_MAP(pango_context_get_font_map(context));
    s.font_map_resolution = pango_cairo_font_map_get_resolution(map);
    s.font_type = pango_cairo_font_map_get_font_type(map);
    return s;
  }
};

// A worker's own context and layout, on its thread's own font map.
class WorkerLayout {
public:
  explicit WorkerLayout(const ContextSettings& s)
  {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    auto* cairo_map = PANGO_CAIRO_FONT_MAP(map);
    if (pango_cairo_font_map_get_font_type(cairo_map) != s.font_type)
      return;
    if (pango_cairo_font_map_get_resolution(cairo_map) != s.font_map_resolution)
      pango_cairo_font_map_set_resolution(cairo_map, s.font_map_resolution);
    m_context.reset(pango_font_map_create_context(map));
    PangoContext* c = m_context.get();
    pango_context_set_font_description(c, s.font.get());
    pango_context_set_language(c, s.language);
    pango_context_set_base_dir(c, s.base_dir);
    pango_context_set_base_gravity(c, s.base_gravity);
    pango_context_set_gravity_hint(c, s.gravity_hint);
    pango_context_set_round_glyph_positions(c, s.round_glyph_positions);
    pango_context_set_matrix(c, s.matrix ? &*s.matrix : nullptr);
    pango_cairo_context_set_font_options(c, s.font_options.get());
    pango_cairo_context_set_resolution(c, s.context_resolution);
    m_layout.reset(pango_layout_new(c));
  }

  // False when this thread cannot measure as the shared context does.
  bool get_is_ready() const { return m_layout != nullptr; }

  PangoRectangle measure(const std::string& text)
  {
    pango_layout_set_text(m_layout.get(), text.data(), static_cast<int>(text.size()));
    PangoRectangle ink{};
    pango_layout_get_pixel_extents(m_layout.get(), &ink, nullptr);
    return ink;
  }

private:
  static void unref(gpointer p) { g_object_unref(p); }
  CPtr<PangoContext, unref> m_context;
  CPtr<PangoLayout, unref> m_layout;
};

struct Chunk {
  std::vector<std::string> texts;
  std::vector<PangoRectangle> inks;
};

} // namespace

// What the batch and its workers share; the workers reach nothing else.
struct ModelTextMeasureBatch::Shared {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<std::unique_ptr<Chunk>> todo;
  std::vector<std::unique_ptr<Chunk>> done;
  bool closed = false;
  // Written before the first worker starts, only read afterwards.
  ContextSettings settings;

  std::unique_ptr<Chunk> take()
  {
    std::unique_lock lock(mutex);
    ready.wait(lock, [this] { return !todo.empty() || closed; });
    if (todo.empty())
      return nullptr;
    auto chunk = std::move(todo.front());
    todo.pop_front();
    return chunk;
  }

  void work()
  {
    std::unique_ptr<Chunk> chunk;
    try {
      WorkerLayout layout(settings);
      if (!layout.get_is_ready())
        return;
      while ((chunk = take())) {
        chunk->inks.reserve(chunk->texts.size());
        for (const std::string& text : chunk->texts)
          chunk->inks.push_back(layout.measure(text));
        std::lock_guard lock(mutex);
        done.push_back(std::move(chunk));
      }
    } catch (...) {
      // Whatever this worker held is left to the others.
      if (chunk) {
        chunk->inks.clear();
        std::lock_guard lock(mutex);
        todo.push_back(std::move(chunk));
      }
    }
  }
};

size_t ModelTextMeasureBatch::default_workers()
{
  const size_t processors = std::thread::hardware_concurrency();
  return std::min(processors > 1 ? processors - 1 : 0, MAX_WORKERS);
}

ModelTextMeasureBatch::ModelTextMeasureBatch() : ModelTextMeasureBatch(default_workers(), CHUNK) {}

ModelTextMeasureBatch::ModelTextMeasureBatch(size_t workers, size_t chunk)
    : m_workers(workers), m_chunk(std::max<size_t>(chunk, 1))
{
  if (open_batch)
    return;
  open_batch = this;
  m_open = true;
  m_serial = ModelTextMeasure::get_serial();
  m_shared = std::make_shared<Shared>();
}

ModelTextMeasureBatch::~ModelTextMeasureBatch()
{
  finish();
}

bool ModelTextMeasureBatch::get_is_open()
{
  return open_batch != nullptr;
}

std::optional<Pango::Rectangle> ModelTextMeasureBatch::expect(std::string_view text)
{
  if (!open_batch)
    return std::nullopt;
  return open_batch->add(text);
}

std::optional<Pango::Rectangle> ModelTextMeasureBatch::add(std::string_view text)
{
  std::optional<Pango::Rectangle> measured;
  if (!ModelTextMeasure::claim(text, &measured))
    return measured;
  m_filling.emplace_back(text);
  if (m_filling.size() >= m_chunk)
    hand_over();
  return std::nullopt;
}

void ModelTextMeasureBatch::hand_over()
{
  if (m_filling.empty())
    return;
  auto chunk = std::make_unique<Chunk>();
  chunk->texts = std::move(m_filling);
  m_filling.clear();
  {
    std::lock_guard lock(m_shared->mutex);
    m_shared->todo.push_back(std::move(chunk));
  }
  if (m_threads.empty() && m_workers > 0)
    start_workers();
  else
    m_shared->ready.notify_one();
}

void ModelTextMeasureBatch::start_workers()
{
  m_shared->settings = ContextSettings::of(ModelTextMeasure::get_context()->gobj());
  try {
    while (m_threads.size() < m_workers)
      // The worker holds the shared part alive, never the batch.
      m_threads.emplace_back([shared = m_shared] { shared->work(); });
  } catch (const std::system_error&) {
    // Fewer workers, or none: finish() measures what they leave.
  }
  m_started = m_threads.size();
  // No more are tried, even when none started.
  m_workers = m_started;
}

void ModelTextMeasureBatch::finish(bool help)
{
  if (!m_open || m_finished)
    return;
  m_finished = true;
  open_batch = nullptr;
  hand_over();
  Shared& shared = *m_shared;
  {
    std::lock_guard lock(shared.mutex);
    shared.closed = true;
  }
  shared.ready.notify_all();
  // Measured here, on the shared context (which takes the claims over).
  const auto measure_left = [&shared] {
    while (const auto chunk = shared.take())
      for (const std::string& text : chunk->texts)
        (void)ModelTextMeasure::get_pixel_ink_extents(text);
  };
  if (help || m_threads.empty())
    measure_left();
  for (std::thread& t : m_threads)
    t.join();
  m_threads.clear();
  // What a worker that gave up left behind.
  measure_left();
  for (const auto& chunk : shared.done) {
    for (size_t i = 0; i < chunk->texts.size(); ++i)
      ModelTextMeasure::keep(chunk->texts[i], Pango::Rectangle(&chunk->inks[i]), m_serial);
    m_by_workers += chunk->texts.size();
  }
  shared.done.clear();
}

} // namespace velkaro
