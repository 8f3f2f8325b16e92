#pragma once
// ViewPngWriter: writes an image as a PNG stream from bands of rows, so that
// an export never holds the whole image: the exporter records the drawing
// of one band after the other, and the writer's own threads turn each
// recording into pixels and compress them while the next is recorded.
//
// The stream reads back as the very pixels cairo's own writer
// (cairo_surface_write_to_png_stream) gives for the whole image: 8-bit grey
// samples when every pixel is an opaque grey (an export in the light
// palette: the same pixels in a third of the bytes), 8-bit RGB when every
// pixel is opaque, 8-bit RGBA with the colours divided by alpha as cairo
// divides them otherwise. Rows are filtered against the row above (most
// become zeros; a band's first row stands unfiltered when the row above is
// another band's, unknown to it), and each band is compressed as a piece
// of one zlib stream ending on a byte boundary, their checksums combined.
// A long run of rows like the row above (in a wide export, mostly rows that
// only vertical lines cross) is not given to zlib: its filtered rows, all
// zeros, are written as one block of fixed codes that copies every zero
// from the byte before it, which costs nothing per byte.
//
// The samples are chosen when the writer is made. A band whose pixels they
// cannot hold (a colour in a grey image, a translucent pixel in an RGB one)
// spoils the stream: get_needed() then names the samples the image needs,
// and the caller makes a writer with those and hands the bands again (the
// exporter tries grey first, since a light-palette export usually is).
//
// Use: band_count() bands, band i of band_rows(i) rows starting at row
// band_y(i); hand them over in order (submit_kept() or submit_render()),
// then finish() and write(). One thread calls the writer; the compressors
// are its own threads, all joined when it is destroyed, and when none can
// be started the caller's thread does their work in the submit calls.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <cairo.h>

namespace velkaro {

class ViewPngWriter {
public:
  // Bytes per pixel in the stream.
  enum class Samples { grey = 1, rgb = 3, rgba = 4 };

  // A band's pixels: rows of ARGB32 (or RGB24) pixels, stride bytes apart.
  struct Buffer {
    unsigned char* data = nullptr;
    int stride = 0;
    int rows = 0;
  };
  // Fills every pixel of a band's buffer (whose contents are undefined
  // when it comes); false when it could not.
  using Render = std::function<bool(const Buffer& buffer)>;

  // A writer of a width by height image (both at least 1) in samples;
  // has_alpha: the pixels are ARGB32 (otherwise RGB24, whose top byte
  // means nothing). Works on threads threads (0: one less than the machine
  // has cores, at least one, at most seven), in bands of band_height rows
  // (0: band_height_for(width, height)).
  ViewPngWriter(int width, int height, Samples samples, bool has_alpha, size_t threads = 0, int band_height = 0);
  // The rows of the writer's own bands: about two megabytes of pixels, at
  // least 16 rows unless those would hold more than 32 megabytes (a very
  // wide image goes row by row), at most the image's height.
  static int band_height_for(int width, int height);
  ~ViewPngWriter();
  ViewPngWriter(const ViewPngWriter&) = delete;
  ViewPngWriter& operator=(const ViewPngWriter&) = delete;

  int band_count() const { return m_band_count; }
  // The first row of band i and its number of rows.
  int band_y(int i) const;
  int band_rows(int i) const { return band_y(i + 1) - band_y(i); }

  // Hands over the next band from memory the caller keeps unchanged until
  // finish() returns.
  void submit_kept(const unsigned char* data, int stride);
  // Hands over the next band as work for a compressor, which runs render
  // on a buffer of the band's rows, then compresses it. Waits while many
  // bands wait for a compressor.
  void submit_render(Render render);

  // The samples the bands seen so far need: more than the writer's own
  // once a band could not be written with them. Waits for nothing.
  Samples get_needed() const;
  Samples get_samples() const { return m_samples; }

  // After the last band: waits for the compressors. CAIRO_STATUS_SUCCESS
  // when the stream is complete; CAIRO_STATUS_INVALID_FORMAT when a band
  // needed richer samples (get_needed()), CAIRO_STATUS_INVALID_SIZE when
  // bands are missing, CAIRO_STATUS_NO_MEMORY when one could not be
  // compressed.
  cairo_status_t finish();
  // After a successful finish(): writes the stream through write. The
  // status of the first failed write, or CAIRO_STATUS_SUCCESS.
  cairo_status_t write(cairo_write_func_t write, void* closure) const;

private:
  struct Band;
  struct Compressor;

  void work();
  void compress(Compressor& c, Band& band);
  void hand_over(const unsigned char* data, int stride, Render render);
  std::unique_ptr<unsigned char[]> take_buffer();
  void run(Compressor& c, Band& band);
  void need(Samples samples);

  const int m_width;
  const int m_height;
  const Samples m_samples;
  const bool m_has_alpha;
  int m_band_count = 0;
  int m_band_height = 0;

  std::vector<std::unique_ptr<Band>> m_bands;
  // The last row handed over, as the row above the next band.
  std::vector<uint32_t> m_last_row;
  int m_next_band = 0;

  mutable std::mutex m_mutex;
  // Compressors wait here for a band.
  std::condition_variable m_work;
  // The caller waits here for room in the queue or the last band.
  std::condition_variable m_room;
  // Bands handed over and not yet taken by a compressor.
  std::deque<Band*> m_queue;
  size_t m_max_queued = 0;
  // Buffers of compressed bands, free for the next band to render.
  std::vector<std::unique_ptr<unsigned char[]>> m_free;
  int m_done = 0;
  bool m_stopping = false;
  Samples m_needed;
  std::vector<std::thread> m_threads;
  // Works on the caller's thread when no thread could be started.
  std::unique_ptr<Compressor> m_own;
};

// Writes a whole image surface (flushed by the caller) through write as
// ViewPngWriter does; any format other than ARGB32 and RGB24 goes to cairo's
// writer. The status of the first failure, or CAIRO_STATUS_SUCCESS.
cairo_status_t view_write_png(cairo_surface_t* surface, cairo_write_func_t write, void* closure);

} // namespace velkaro
