#pragma once
// ModelTextMeasureBatch: measures ahead, on worker threads, the strings that
// texts are given while it is open, so that laying the texts out afterwards
// finds every string measured (ModelTextMeasure).
//
// Reading a document opens one: every string a text holder takes while the
// batch is open (expect()) and that is neither measured nor claimed yet is
// claimed (ModelTextMeasure::claim()) and queued, in chunks, for the
// workers, which start with the first full chunk and measure while the
// reader goes on. finish() hands the last chunk over, measures on the
// calling thread whatever no worker has taken, joins the workers and keeps
// their measurements in ModelTextMeasure. Nothing is laid out with a
// batch's measurements before its finish().
//
// Each worker measures on a context of its own, made from its own thread's
// PangoCairo font map and given every setting of the shared context (font
// description, language, direction, gravity, matrix, glyph rounding, cairo
// font options, resolutions), so that its measurements are those the
// shared context would give; a worker never touches a Pango object of
// another thread. Measurements are kept only while the shared context
// keeps the serial it had when the batch opened. When no thread can be
// started, everything is measured by finish() on the calling thread.
//
// Main thread only, like ModelTextMeasure: one batch is open at a time; a
// batch made while another is open does nothing, and its texts go to the
// open one. The destructor finishes a batch that was not finished, so the
// workers are always joined before it is gone.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <pangomm/rectangle.h>

namespace velkaro {

class ModelTextMeasureBatch {
public:
  // Up to default_workers() workers, chunks of CHUNK strings.
  ModelTextMeasureBatch();
  // Up to workers workers (0: everything is measured by finish()), taking
  // chunks of chunk strings (at least 1).
  ModelTextMeasureBatch(size_t workers, size_t chunk);
  ~ModelTextMeasureBatch();
  ModelTextMeasureBatch(const ModelTextMeasureBatch&) = delete;
  ModelTextMeasureBatch& operator=(const ModelTextMeasureBatch&) = delete;

  static constexpr size_t CHUNK = 64;
  // A worker measures a string in about the time the reader takes to read
  // one and a half texts, so two keep up with it; more only slow the reader.
  static constexpr size_t MAX_WORKERS = 2;
  // One worker fewer than the processors, at most MAX_WORKERS.
  static size_t default_workers();

  // Queues text in the open batch, if any, unless it is measured already or
  // queued; its measurement when it is measured already (and a batch is
  // open). text as a layout keeps it: valid UTF-8 without a NUL.
  static std::optional<Pango::Rectangle> expect(std::string_view text);
  // True while a batch is open.
  static bool get_is_open();

  // Ends the batch: measures what is left (on the calling thread when help
  // is true, otherwise it waits for the workers, unless none started),
  // joins the workers and keeps the measurements. Once only; later calls
  // do nothing.
  void finish(bool help = true);

  // What finish() found: the strings measured by workers, and the number of
  // workers that started.
  size_t get_measured_by_workers() const { return m_by_workers; }
  size_t get_workers_started() const { return m_started; }

private:
  struct Shared;

  std::optional<Pango::Rectangle> add(std::string_view text);
  void hand_over();
  void start_workers();

  bool m_open = false;
  bool m_finished = false;
  size_t m_workers;
  size_t m_chunk;
  size_t m_started = 0;
  size_t m_by_workers = 0;
  unsigned m_serial = 0;
  // The chunk being filled: strings claimed in ModelTextMeasure.
  std::vector<std::string> m_filling;
  std::shared_ptr<Shared> m_shared;
  std::vector<std::thread> m_threads;
};

} // namespace velkaro
