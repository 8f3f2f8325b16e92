#include "view/png_writer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <zlib.h>

namespace velkaro {
namespace {

// Bands are compressed on at most this many threads, each band at least
// this many rows.
constexpr size_t MAX_THREADS = 8;
constexpr size_t MIN_BAND_ROWS = 256;
constexpr size_t MAX_BAND_BYTES = size_t{256} << 20;
// The output of a band grows in steps of this many bytes.
constexpr size_t OUT_STEP = size_t{1} << 20;

struct Image {
  const unsigned char* data;
  int width;
  int height;
  int stride;
  // ARGB32; otherwise RGB24, whose top byte means nothing.
  bool has_alpha;

  const uint32_t* row(int y) const
  {
    return reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
  }
};

// What the pixels of some rows are: all opaque, all grey (red, green and
// blue alike in every opaque pixel).
struct Kind {
  bool opaque = true;
  bool grey = true;
};

Kind kind_of_rows(const Image& im, int y0, int y1)
{
  Kind k;
  for (int y = y0; y < y1 && (k.opaque || k.grey); ++y) {
    const uint32_t* p = im.row(y);
    uint32_t alpha = 0xff000000u;
    bool grey = true;
    for (int x = 0; x < im.width; ++x) {
      const uint32_t pixel = p[x];
      alpha &= pixel;
      grey &= ((pixel >> 16) & 0xff) == (pixel & 0xff) && ((pixel >> 8) & 0xff) == (pixel & 0xff);
    }
    k.opaque = k.opaque && (!im.has_alpha || alpha == 0xff000000u);
    k.grey = k.grey && grey;
  }
  return k;
}

// The samples of a pixel in the PNG: one grey byte, RGB, or RGBA with the
// colours divided by alpha as cairo's writer divides them.
enum class Samples { grey = 1, rgb = 3, rgba = 4 };

void to_samples(const Image& im, int y, Samples kind, unsigned char* out)
{
  const uint32_t* p = im.row(y);
  switch (kind) {
  case Samples::grey:
    for (int x = 0; x < im.width; ++x)
      out[x] = static_cast<unsigned char>(p[x]);
    return;
  case Samples::rgb:
    for (int x = 0; x < im.width; ++x, out += 3) {
      out[0] = static_cast<unsigned char>(p[x] >> 16);
      out[1] = static_cast<unsigned char>(p[x] >> 8);
      out[2] = static_cast<unsigned char>(p[x]);
    }
    return;
  case Samples::rgba:
    break;
  }
  for (int x = 0; x < im.width; ++x, out += 4) {
    const uint32_t pixel = p[x];
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0) {
      out[0] = out[1] = out[2] = out[3] = 0;
      continue;
    }
    out[0] = static_cast<unsigned char>((((pixel >> 16) & 0xff) * 255 + alpha / 2) / alpha);
    out[1] = static_cast<unsigned char>((((pixel >> 8) & 0xff) * 255 + alpha / 2) / alpha);
    out[2] = static_cast<unsigned char>(((pixel & 0xff) * 255 + alpha / 2) / alpha);
    out[3] = static_cast<unsigned char>(alpha);
  }
}

// One band of rows, compressed as a piece of the image's zlib stream: raw
// deflate data ending on a byte boundary (the last band ends the stream),
// with the Adler-32 of the filtered rows it holds.
struct Band {
  int y0 = 0;
  int y1 = 0;
  bool last = false;
  std::vector<unsigned char> out;
  uLong adler = 0;
  uLong length = 0;
  bool ok = false;
};

void compress_band(const Image& im, Samples kind, Band& band)
{
  const size_t samples = static_cast<size_t>(im.width) * static_cast<size_t>(kind);
  std::vector<unsigned char> prev(samples, 0);
  std::vector<unsigned char> cur(samples);
  std::vector<unsigned char> line(samples + 1);
  if (band.y0 > 0)
    to_samples(im, band.y0 - 1, kind, prev.data());
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
    return;
  band.adler = adler32(0, nullptr, 0);
  band.length = 0;
  size_t used = 0;
  bool failed = false;
  const auto feed = [&](const unsigned char* in, size_t n, int flush) {
    z.next_in = const_cast<unsigned char*>(in);
    z.avail_in = static_cast<uInt>(n);
    do {
      if (band.out.size() - used < 64)
        band.out.resize(band.out.size() + OUT_STEP);
      z.next_out = band.out.data() + used;
      z.avail_out = static_cast<uInt>(band.out.size() - used);
      const int status = deflate(&z, flush);
      used = band.out.size() - z.avail_out;
      if (status == Z_STREAM_ERROR) {
        failed = true;
        return;
      }
    } while (z.avail_out == 0 || z.avail_in > 0);
  };
  // Filter "Up" on every row: a row like the one above is all zeros.
  line[0] = 2;
  // The Adler-32 of a row of zeros after its filter byte 2.
  const uLong zero_row = adler32_combine(adler32(adler32(0, nullptr, 0), line.data(), 1),
                                         ((static_cast<uLong>(samples) % 65521) << 16) | 1,
                                         static_cast<z_off_t>(samples));
  bool zeros = false;
  for (int y = band.y0; y < band.y1 && !failed; ++y) {
    const bool same = y > 0 && std::memcmp(im.row(y), im.row(y - 1), static_cast<size_t>(im.width) * 4) == 0;
    if (same) {
      if (!zeros)
        std::fill(line.begin() + 1, line.end(), 0);
      band.adler = adler32_combine(band.adler, zero_row, static_cast<z_off_t>(line.size()));
    } else {
      to_samples(im, y, kind, cur.data());
      for (size_t i = 0; i < samples; ++i)
        line[i + 1] = static_cast<unsigned char>(cur[i] - prev[i]);
      std::swap(cur, prev);
      band.adler = adler32(band.adler, line.data(), static_cast<uInt>(line.size()));
    }
    zeros = same;
    band.length += line.size();
    const bool end = y == band.y1 - 1;
    feed(line.data(), line.size(), end ? (band.last ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH);
  }
  deflateEnd(&z);
  band.out.resize(used);
  band.ok = !failed;
}

void put32(unsigned char* p, uint32_t v)
{
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

class ChunkWriter {
public:
  ChunkWriter(cairo_write_func_t write, void* closure) : m_write(write), m_closure(closure) {}

  bool raw(const unsigned char* data, size_t n)
  {
    while (n > 0 && m_status == CAIRO_STATUS_SUCCESS) {
      const auto part = static_cast<unsigned int>(std::min<size_t>(n, 1u << 30));
      m_status = m_write(m_closure, data, part);
      data += part;
      n -= part;
    }
    return m_status == CAIRO_STATUS_SUCCESS;
  }
  // A chunk of type whose data is the pieces in order.
  bool chunk(const char* type, std::initializer_list<std::pair<const unsigned char*, size_t>> pieces)
  {
    size_t n = 0;
    for (const auto& [data, size] : pieces)
      n += size;
    std::array<unsigned char, 8> head{};
    put32(head.data(), static_cast<uint32_t>(n));
    std::memcpy(head.data() + 4, type, 4);
    uLong crc = crc32(0, head.data() + 4, 4);
    for (const auto& [data, size] : pieces)
      crc = crc32_z(crc, data, size);
    std::array<unsigned char, 4> tail{};
    put32(tail.data(), static_cast<uint32_t>(crc));
    if (!raw(head.data(), head.size()))
      return false;
    for (const auto& [data, size] : pieces)
      if (!raw(data, size))
        return false;
    return raw(tail.data(), tail.size());
  }
  cairo_status_t status() const { return m_status; }

private:
  cairo_write_func_t m_write;
  void* m_closure;
  cairo_status_t m_status = CAIRO_STATUS_SUCCESS;
};

// Runs fn(i) for i in 0..n - 1 on up to threads threads (the caller's
// among them), each taking the next i that nobody took; on the caller's
// alone when no thread can be started.
template <class Fn>
void in_parallel(size_t n, size_t threads, Fn fn)
{
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i = next++; i < n; i = next++)
      fn(i);
  };
  std::vector<std::thread> started;
  try {
    for (size_t t = 1; t < std::min(n, threads); ++t)
      started.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer helpers: the others' share is taken by those running.
  }
  work();
  for (auto& t : started)
    t.join();
}

} // namespace

cairo_status_t view_write_png(cairo_surface_t* surface, cairo_write_func_t write, void* closure)
{
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  const Image im{cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                 cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface),
                 format == CAIRO_FORMAT_ARGB32};
  if ((format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) || !im.data || im.width <= 0 ||
      im.height <= 0)
    return cairo_surface_write_to_png_stream(surface, write, closure);

  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, MAX_THREADS);
  // No band of more than MAX_BAND_BYTES of samples
  // (a chunk holds less than 2 GiB) and none of fewer than MIN_BAND_ROWS
  // rows unless the image is that small.
  const size_t row_bytes = static_cast<size_t>(im.width) * 4 + 1;
  const size_t by_size = (row_bytes * static_cast<size_t>(im.height) + MAX_BAND_BYTES - 1) / MAX_BAND_BYTES;
  const size_t by_rows = std::max<size_t>(1, static_cast<size_t>(im.height) / MIN_BAND_ROWS);
  // Four bands a thread, so that a thread held up by the system does not
  // hold up the whole.
  const size_t bands_n = std::clamp<size_t>(std::max(std::min(4 * threads, by_rows), by_size), 1,
                                            static_cast<size_t>(im.height));
  std::vector<Band> bands(bands_n);
  for (size_t i = 0; i < bands_n; ++i) {
    bands[i].y0 = static_cast<int>(static_cast<int64_t>(im.height) * static_cast<int64_t>(i) / static_cast<int64_t>(bands_n));
    bands[i].y1 = static_cast<int>(static_cast<int64_t>(im.height) * static_cast<int64_t>(i + 1) / static_cast<int64_t>(bands_n));
    bands[i].last = i + 1 == bands_n;
  }
  // An image without any translucent pixel is RGB, as cairo writes it, and
  // grey when all its pixels are: the same pixels in a third of the bytes.
  std::vector<Kind> kinds(bands_n);
  in_parallel(bands_n, threads, [&](size_t i) { kinds[i] = kind_of_rows(im, bands[i].y0, bands[i].y1); });
  const bool opaque = std::all_of(kinds.begin(), kinds.end(), [](const Kind& k) { return k.opaque; });
  const bool grey = std::all_of(kinds.begin(), kinds.end(), [](const Kind& k) { return k.grey; });
  const Samples kind = !opaque ? Samples::rgba : (grey ? Samples::grey : Samples::rgb);
  in_parallel(bands_n, threads, [&](size_t i) { compress_band(im, kind, bands[i]); });
  for (const Band& band : bands)
    if (!band.ok)
      return CAIRO_STATUS_NO_MEMORY;

  uLong adler = adler32(0, nullptr, 0);
  for (const Band& band : bands)
    adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));

  ChunkWriter out(write, closure);
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::array<unsigned char, 13> ihdr{};
  put32(ihdr.data(), static_cast<uint32_t>(im.width));
  put32(ihdr.data() + 4, static_cast<uint32_t>(im.height));
  ihdr[8] = 8;
  ihdr[9] = kind == Samples::rgba ? 6 : (kind == Samples::rgb ? 2 : 0);
  // A white background, as cairo's writer states it (one grey sample, or
  // red, green and blue).
  static const unsigned char bkgd[6] = {0, 0xff, 0, 0xff, 0, 0xff};
  const size_t bkgd_size = kind == Samples::grey ? 2 : 6;
  // The zlib header of a 32K window; the checksum ends the last band's chunk.
  static const unsigned char zlib_head[2] = {0x78, 0x01};
  std::array<unsigned char, 4> zlib_tail{};
  put32(zlib_tail.data(), static_cast<uint32_t>(adler));

  if (!out.raw(signature, sizeof signature) || !out.chunk("IHDR", {{ihdr.data(), ihdr.size()}}) ||
      !out.chunk("bKGD", {{bkgd, bkgd_size}}))
    return out.status();
  for (size_t i = 0; i < bands_n; ++i) {
    const Band& band = bands[i];
    const std::pair<const unsigned char*, size_t> head{zlib_head, i == 0 ? sizeof zlib_head : 0};
    const std::pair<const unsigned char*, size_t> tail{zlib_tail.data(), band.last ? zlib_tail.size() : 0};
    if (!out.chunk("IDAT", {head, {band.out.data(), band.out.size()}, tail}))
      return out.status();
  }
  out.chunk("IEND", {});
  return out.status();
}

} // namespace velkaro
