#include "view/png_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include <zlib.h>

namespace velkaro {
namespace {

// Bands hold about this many bytes of pixels (they stay in a core's cache
// while rendered and compressed), and at least MIN_BAND_ROWS rows, unless
// so many rows of a very wide image would hold more than MAX_BAND_BYTES
// (the writer keeps a few bands' buffers at once): then as many rows as
// that holds, at least one.
constexpr size_t BAND_BYTES = size_t{2} << 20;
constexpr int MIN_BAND_ROWS = 16;
constexpr size_t MAX_BAND_BYTES = size_t{32} << 20;
constexpr size_t MAX_THREADS = 7;
// Bands handed over wait for a compressor, at most this many a thread.
constexpr size_t QUEUED_PER_THREAD = 2;
// Compressed data leaves the compressor in pieces of at most this size.
constexpr size_t OUT_PIECE = size_t{64} << 10;

// Runs of rows like the row above that hold at least this many bytes are
// written by deflate_alike_rows() instead of zlib.
constexpr size_t MIN_ALIKE_BYTES = size_t{16} << 10;

using Samples = ViewPngWriter::Samples;

// Raw deflate data, bit by bit: least significant bit first, Huffman codes
// most significant bit first (RFC 1951).
class DeflateBits {
public:
  explicit DeflateBits(std::vector<unsigned char>& out) : m_out(out) {}

  void put(uint32_t bits, int count)
  {
    m_bits |= uint64_t{bits} << m_count;
    m_count += count;
    while (m_count >= 8) {
      m_out.push_back(static_cast<unsigned char>(m_bits));
      m_bits >>= 8;
      m_count -= 8;
    }
  }
  void code(uint32_t code, int length)
  {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i)
      reversed |= ((code >> i) & 1u) << (length - 1 - i);
    put(reversed, length);
  }
  // The bits up to the next byte boundary, as zeros.
  void align()
  {
    if (m_count > 0)
      put(0, 8 - m_count);
  }

private:
  std::vector<unsigned char>& m_out;
  uint64_t m_bits = 0;
  int m_count = 0;
};

// The codes of a canonical Huffman code given by its code lengths (RFC
// 1951, 3.2.2); a length of 0: no code.
template <size_t N>
std::array<uint32_t, N> canonical_codes(const std::array<int, N>& lengths)
{
  std::array<uint32_t, 16> count{};
  for (const int l : lengths)
    if (l > 0)
      ++count[static_cast<size_t>(l)];
  std::array<uint32_t, 16> next{};
  for (size_t bits = 1, code = 0; bits < 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = static_cast<uint32_t>(code);
  }
  std::array<uint32_t, N> codes{};
  for (size_t i = 0; i < N; ++i)
    if (lengths[i] > 0)
      codes[i] = next[static_cast<size_t>(lengths[i])]++;
  return codes;
}

// The code of the blocks of deflate_alike_rows(): a complete code over the
// few literal/length symbols a run of zero rows needs, the copy of 258
// bytes one bit long, and one distance code (one byte back), one bit long.
struct AlikeCode {
  // Literal/length symbols 0 .. 285.
  std::array<int, 286> lengths{};
  std::array<uint32_t, 286> codes{};
  // The code-length code, by code-length symbol 0 .. 18.
  std::array<int, 19> cl_lengths{};
  std::array<uint32_t, 19> cl_codes{};

  AlikeCode()
  {
    lengths[285] = 1;
    for (const int v : {0, 2, 256, 257, 258})
      lengths[static_cast<size_t>(v)] = 4;
    for (int v = 259; v <= 264; ++v)
      lengths[static_cast<size_t>(v)] = 5;
    codes = canonical_codes(lengths);
    // The code lengths are sent as the lengths 1, 4 and 5, single zeros and
    // runs of zeros (18).
    cl_lengths[4] = cl_lengths[5] = cl_lengths[18] = 2;
    cl_lengths[0] = cl_lengths[1] = 3;
    cl_codes = canonical_codes(cl_lengths);
  }

  void symbol(DeflateBits& bits, size_t v) const { bits.code(codes[v], lengths[v]); }
  void length_symbol(DeflateBits& bits, size_t v) const { bits.code(cl_codes[v], cl_lengths[v]); }

  // The block header: a dynamic block that is not the last, with this
  // code.
  void header(DeflateBits& bits) const
  {
    bits.put(0, 1);
    bits.put(2, 2);
    bits.put(286 - 257, 5); // HLIT
    bits.put(0, 5);         // HDIST: one distance code
    // The code-length code lengths in their order, up to the last used.
    static constexpr std::array<int, 19> order = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    size_t sent = order.size();
    while (sent > 4 && cl_lengths[static_cast<size_t>(order[sent - 1])] == 0)
      --sent;
    bits.put(static_cast<uint32_t>(sent - 4), 4); // HCLEN
    for (size_t i = 0; i < sent; ++i)
      bits.put(static_cast<uint32_t>(cl_lengths[static_cast<size_t>(order[i])]), 3);
    // The 286 literal/length code lengths, then the distance code's.
    std::vector<int> all(lengths.begin(), lengths.end());
    all.push_back(1);
    for (size_t i = 0; i < all.size();) {
      if (all[i] != 0) {
        length_symbol(bits, static_cast<size_t>(all[i]));
        ++i;
        continue;
      }
      size_t run = 0;
      while (i + run < all.size() && all[i + run] == 0 && run < 138)
        ++run;
      if (run < 11) {
        for (size_t k = 0; k < run; ++k)
          length_symbol(bits, 0);
      } else {
        length_symbol(bits, 18);
        bits.put(static_cast<uint32_t>(run - 11), 7);
      }
      i += run;
    }
  }
};

// Appends to out the raw deflate data of rows filtered rows each made of
// the filter byte 2 ("Up") and samples zeros: what a row like the one above
// it filters to. One block of its own code (AlikeCode), every zero after a
// row's first copied from the byte before it (two bits for 258 bytes),
// then an empty stored block, which ends the data on a byte boundary (as
// zlib's Z_SYNC_FLUSH ends it). No code refers to data before the block, so
// zlib's data may come on either side, each piece begun afresh.
void deflate_alike_rows(std::vector<unsigned char>& out, size_t samples, size_t rows)
{
  static const AlikeCode code;
  DeflateBits bits(out);
  code.header(bits);
  const auto copy_one_back = [&bits](size_t length) {
    // 285 copies 258 bytes, 257 .. 264 copy 3 .. 10; distance code 0.
    code.symbol(bits, length == 258 ? 285 : 257 + length - 3);
    bits.code(0, 1);
  };
  for (size_t r = 0; r < rows; ++r) {
    code.symbol(bits, 2);
    if (samples == 0)
      continue;
    code.symbol(bits, 0);
    size_t left = samples - 1;
    for (; left >= 258; left -= 258)
      copy_one_back(258);
    for (; left >= 3; left -= std::min<size_t>(left, 10))
      copy_one_back(std::min<size_t>(left, 10));
    for (; left > 0; --left)
      code.symbol(bits, 0);
  }
  code.symbol(bits, 256);
  // An empty stored block: three header bits, the boundary, LEN, NLEN.
  bits.put(0, 3);
  bits.align();
  out.insert(out.end(), {0x00, 0x00, 0xff, 0xff});
}

const uint32_t* row_at(const unsigned char* data, int stride, int y)
{
  return reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
}

// Writes the samples of a row of width pixels to out; false when the
// pixels need richer samples than kind (the row is then not written
// whole). has_alpha: ARGB32 pixels, otherwise RGB24.
bool to_samples(const uint32_t* p, int width, bool has_alpha, Samples kind, unsigned char* out)
{
  // Opaque when every alpha byte is 0xff (RGB24: always).
  uint32_t alpha = 0xff000000u;
  switch (kind) {
  case Samples::grey: {
    // Red, green and blue alike: no bit differs between neighbouring bytes.
    uint32_t differ = 0;
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = p[x];
      alpha &= pixel;
      differ |= (pixel ^ (pixel >> 8)) & 0xffffu;
      out[x] = static_cast<unsigned char>(pixel);
    }
    return differ == 0 && (!has_alpha || alpha == 0xff000000u);
  }
  case Samples::rgb:
    for (int x = 0; x < width; ++x, out += 3) {
      const uint32_t pixel = p[x];
      alpha &= pixel;
      out[0] = static_cast<unsigned char>(pixel >> 16);
      out[1] = static_cast<unsigned char>(pixel >> 8);
      out[2] = static_cast<unsigned char>(pixel);
    }
    return !has_alpha || alpha == 0xff000000u;
  case Samples::rgba:
    break;
  }
  for (int x = 0; x < width; ++x, out += 4) {
    const uint32_t pixel = has_alpha ? p[x] : (p[x] | 0xff000000u);
    const uint32_t a = pixel >> 24;
    if (a == 0) {
      out[0] = out[1] = out[2] = out[3] = 0;
      continue;
    }
    // Colours divided by alpha, rounded, as cairo's writer divides them.
    out[0] = static_cast<unsigned char>((((pixel >> 16) & 0xff) * 255 + a / 2) / a);
    out[1] = static_cast<unsigned char>((((pixel >> 8) & 0xff) * 255 + a / 2) / a);
    out[2] = static_cast<unsigned char>(((pixel & 0xff) * 255 + a / 2) / a);
    out[3] = static_cast<unsigned char>(a);
  }
  return true;
}

// The samples a row of pixels needs.
Samples needed_by(const uint32_t* p, int width, bool has_alpha)
{
  Samples need = Samples::grey;
  for (int x = 0; x < width; ++x) {
    const uint32_t pixel = p[x];
    if (has_alpha && (pixel >> 24) != 0xff)
      return Samples::rgba;
    if (((pixel ^ (pixel >> 8)) & 0xffffu) != 0)
      need = Samples::rgb;
  }
  return need;
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

} // namespace

// One band of rows and, once compressed, its piece of the zlib stream: raw
// deflate data ending on a byte boundary (the last band ends the stream),
// with the Adler-32 and length of the filtered rows it holds.
struct ViewPngWriter::Band {
  int y0 = 0;
  int y1 = 0;
  bool last = false;
  const unsigned char* data = nullptr;
  int stride = 0;
  // The buffer a rendered band lives in.
  std::unique_ptr<unsigned char[]> owned;
  // The row above the band's first, when known: otherwise its first row is
  // written unfiltered.
  std::vector<uint32_t> above;
  // Fills the band's buffer on a compressor, for a band handed over so.
  ViewPngWriter::Render render;
  std::vector<unsigned char> out;
  uLong adler = 0;
  uLong length = 0;
  bool ok = false;
};

// What a compressing thread keeps from band to band.
struct ViewPngWriter::Compressor {
  z_stream z{};
  bool z_ready = false;
  std::vector<unsigned char> prev;
  std::vector<unsigned char> cur;
  // A row's filter byte, then its filtered samples.
  std::vector<unsigned char> line;
  std::vector<unsigned char> piece;

  Compressor(int width, Samples kind)
    : prev(static_cast<size_t>(width) * static_cast<size_t>(kind)),
      cur(prev.size()),
      line(prev.size() + 1),
      piece(OUT_PIECE)
  {
    z_ready = deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_RLE) == Z_OK;
  }
  ~Compressor()
  {
    if (z_ready)
      deflateEnd(&z);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;
};

ViewPngWriter::ViewPngWriter(int width, int height, Samples samples, bool has_alpha, size_t threads, int band_height)
  : m_width(std::max(width, 1)),
    m_height(std::max(height, 1)),
    m_samples(samples),
    m_has_alpha(has_alpha),
    m_needed(samples)
{
  m_band_height = std::min(band_height > 0 ? band_height : band_height_for(m_width, m_height), m_height);
  m_band_count = (m_height + m_band_height - 1) / m_band_height;
  m_bands.reserve(static_cast<size_t>(m_band_count));
  for (int i = 0; i < m_band_count; ++i) {
    auto band = std::make_unique<Band>();
    band->y0 = band_y(i);
    band->y1 = band_y(i + 1);
    band->last = i + 1 == m_band_count;
    m_bands.push_back(std::move(band));
  }
  // The caller's thread records the next band meanwhile.
  if (threads == 0)
    threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 2, MAX_THREADS + 1) - 1;
  threads = std::min<size_t>(threads, static_cast<size_t>(m_band_count));
  m_max_queued = QUEUED_PER_THREAD * threads;
  try {
    for (size_t t = 0; t < threads; ++t)
      m_threads.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // With no thread at all, the submit calls do the threads' work.
  }
}

ViewPngWriter::~ViewPngWriter()
{
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_work.notify_all();
  for (auto& t : m_threads)
    t.join();
}

int ViewPngWriter::band_height_for(int width, int height)
{
  const size_t row_bytes = static_cast<size_t>(std::max(width, 1)) * 4;
  const size_t fewest = std::clamp<size_t>(MAX_BAND_BYTES / row_bytes, 1, MIN_BAND_ROWS);
  const size_t rows = std::max(BAND_BYTES / row_bytes, fewest);
  return static_cast<int>(std::min(rows, static_cast<size_t>(std::max(height, 1))));
}

int ViewPngWriter::band_y(int i) const
{
  return std::min(m_height, i * m_band_height);
}

void ViewPngWriter::submit_kept(const unsigned char* data, int stride)
{
  hand_over(data, stride, nullptr);
}

void ViewPngWriter::submit_render(Render render)
{
  {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_queue.size() < m_max_queued || m_threads.empty(); });
  }
  hand_over(nullptr, 0, std::move(render));
}

void ViewPngWriter::hand_over(const unsigned char* data, int stride, Render render)
{
  if (m_next_band >= m_band_count)
    return;
  Band& band = *m_bands[static_cast<size_t>(m_next_band++)];
  band.data = data;
  band.stride = stride;
  band.render = std::move(render);
  if (data) {
    if (band.y0 > 0 && !m_last_row.empty())
      band.above = m_last_row;
    const uint32_t* last = row_at(data, stride, band.y1 - band.y0 - 1);
    m_last_row.assign(last, last + m_width);
  } else {
    m_last_row.clear();
  }
  if (m_threads.empty()) {
    if (!m_own)
      m_own = std::make_unique<Compressor>(m_width, m_samples);
    try {
      run(*m_own, band);
    } catch (const std::exception&) {
      band.ok = false;
    }
    const std::lock_guard lock(m_mutex);
    if (band.owned)
      m_free.push_back(std::move(band.owned));
    ++m_done;
    return;
  }
  {
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(&band);
  }
  m_work.notify_one();
}

void ViewPngWriter::work()
{
  std::unique_ptr<Compressor> c;
  for (;;) {
    Band* band = nullptr;
    {
      std::unique_lock lock(m_mutex);
      m_work.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
      if (m_stopping)
        return;
      band = m_queue.front();
      m_queue.pop_front();
    }
    m_room.notify_one();
    try {
      if (!c)
        c = std::make_unique<Compressor>(m_width, m_samples);
      run(*c, *band);
    } catch (const std::exception&) {
      // Out of memory, or a render that threw: the band is not written.
      band->ok = false;
    }
    {
      const std::lock_guard lock(m_mutex);
      if (band->owned)
        m_free.push_back(std::move(band->owned));
      ++m_done;
    }
    m_room.notify_one();
  }
}

std::unique_ptr<unsigned char[]> ViewPngWriter::take_buffer()
{
  {
    const std::lock_guard lock(m_mutex);
    if (!m_free.empty()) {
      auto data = std::move(m_free.back());
      m_free.pop_back();
      return data;
    }
  }
  return std::unique_ptr<unsigned char[]>(
    new (std::nothrow) unsigned char[static_cast<size_t>(m_width) * 4 * static_cast<size_t>(m_band_height)]);
}

void ViewPngWriter::run(Compressor& c, Band& band)
{
  band.ok = false;
  if (get_needed() != m_samples) {
    // A spoiled stream: the band is not worth its pixels.
    band.render = nullptr;
    return;
  }
  if (band.render) {
    band.owned = take_buffer();
    if (!band.owned)
      return;
    band.data = band.owned.get();
    band.stride = m_width * 4;
    const bool rendered = band.render({band.owned.get(), band.stride, band.y1 - band.y0});
    band.render = nullptr;
    if (!rendered)
      return;
  }
  compress(c, band);
}

ViewPngWriter::Samples ViewPngWriter::get_needed() const
{
  const std::lock_guard lock(m_mutex);
  return m_needed;
}

void ViewPngWriter::need(Samples samples)
{
  const std::lock_guard lock(m_mutex);
  m_needed = std::max(m_needed, samples);
}

void ViewPngWriter::compress(Compressor& c, Band& band)
{
  band.ok = false;
  if (!c.z_ready || deflateReset(&c.z) != Z_OK || get_needed() != m_samples)
    return;
  const size_t samples = c.cur.size();
  std::vector<unsigned char>& line = c.line;
  std::fill(c.prev.begin(), c.prev.end(), 0);
  if (!band.above.empty())
    to_samples(band.above.data(), m_width, m_has_alpha, m_samples, c.prev.data());
  band.out.clear();
  band.adler = adler32(0, nullptr, 0);
  band.length = 0;
  bool failed = false;
  // zlib has been given data since it last began afresh.
  bool fed = false;
  const auto feed = [&](size_t bytes, int flush) {
    c.z.next_in = line.data();
    c.z.avail_in = static_cast<uInt>(bytes);
    fed = true;
    do {
      c.z.next_out = c.piece.data();
      c.z.avail_out = static_cast<uInt>(c.piece.size());
      if (deflate(&c.z, flush) == Z_STREAM_ERROR) {
        failed = true;
        return;
      }
      band.out.insert(band.out.end(), c.piece.data(), c.piece.data() + (c.piece.size() - c.z.avail_out));
    } while (c.z.avail_out == 0 || c.z.avail_in > 0);
  };
  // Filter "Up" on every row: a row like the one above is all zeros.
  line[0] = 2;
  // The Adler-32 of a row of zeros after its filter byte 2.
  const uLong zero_row = adler32_combine(adler32(adler32(0, nullptr, 0), line.data(), 1),
                                         ((static_cast<uLong>(samples) % 65521) << 16) | 1,
                                         static_cast<z_off_t>(samples));
  // Rows of zeros waiting to be written, and whether line holds one.
  size_t alike = 0;
  bool zeros = false;
  const auto write_alike = [&]() {
    if (alike * line.size() >= MIN_ALIKE_BYTES) {
      // A long run is written as it is known to compress: zlib's data so
      // far ends on a byte boundary, the run's comes, zlib begins afresh.
      if (fed)
        feed(0, Z_SYNC_FLUSH);
      deflate_alike_rows(band.out, samples, alike);
      failed = failed || deflateReset(&c.z) != Z_OK;
      fed = false;
    } else {
      if (!zeros)
        std::fill(line.begin() + 1, line.end(), 0);
      zeros = true;
      for (size_t k = 0; k < alike && !failed; ++k)
        feed(line.size(), Z_NO_FLUSH);
    }
    alike = 0;
  };
  const size_t row_bytes = static_cast<size_t>(m_width) * 4;
  for (int y = band.y0; y < band.y1 && !failed; ++y) {
    const uint32_t* row = row_at(band.data, band.stride, y - band.y0);
    const uint32_t* above = y == band.y0 ? (band.above.empty() ? nullptr : band.above.data())
                                         : row_at(band.data, band.stride, y - band.y0 - 1);
    band.length += line.size();
    if (above && std::memcmp(row, above, row_bytes) == 0) {
      band.adler = adler32_combine(band.adler, zero_row, static_cast<z_off_t>(line.size()));
      ++alike;
      continue;
    }
    write_alike();
    if (!above && y > 0) {
      // The row above is another band's, unknown here: no filter.
      if (!to_samples(row, m_width, m_has_alpha, m_samples, c.prev.data())) {
        need(needed_by(row, m_width, m_has_alpha));
        return;
      }
      line[0] = 0;
      std::copy(c.prev.begin(), c.prev.end(), line.begin() + 1);
    } else {
      if (!to_samples(row, m_width, m_has_alpha, m_samples, c.cur.data())) {
        need(needed_by(row, m_width, m_has_alpha));
        return;
      }
      for (size_t i = 0; i < samples; ++i)
        line[i + 1] = static_cast<unsigned char>(c.cur[i] - c.prev[i]);
      std::swap(c.cur, c.prev);
    }
    band.adler = adler32(band.adler, line.data(), static_cast<uInt>(line.size()));
    zeros = false;
    feed(line.size(), Z_NO_FLUSH);
    line[0] = 2;
  }
  if (!failed)
    write_alike();
  // The piece ends on a byte boundary; the last one ends the stream.
  if (!failed && band.last)
    feed(0, Z_FINISH);
  else if (!failed && fed)
    feed(0, Z_SYNC_FLUSH);
  band.ok = !failed;
}

cairo_status_t ViewPngWriter::finish()
{
  {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_done == m_next_band; });
    if (m_needed != m_samples)
      return CAIRO_STATUS_INVALID_FORMAT;
  }
  if (m_next_band != m_band_count)
    return CAIRO_STATUS_INVALID_SIZE;
  for (const auto& band : m_bands)
    if (!band->ok)
      return CAIRO_STATUS_NO_MEMORY;
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t ViewPngWriter::write(cairo_write_func_t write, void* closure) const
{
  uLong adler = adler32(0, nullptr, 0);
  for (const auto& band : m_bands)
    adler = adler32_combine(adler, band->adler, static_cast<z_off_t>(band->length));

  ChunkWriter out(write, closure);
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::array<unsigned char, 13> ihdr{};
  put32(ihdr.data(), static_cast<uint32_t>(m_width));
  put32(ihdr.data() + 4, static_cast<uint32_t>(m_height));
  ihdr[8] = 8;
  ihdr[9] = m_samples == Samples::rgba ? 6 : (m_samples == Samples::rgb ? 2 : 0);
  // A white background, as cairo's writer states it (one grey sample, or
  // red, green and blue).
  static const unsigned char bkgd[6] = {0, 0xff, 0, 0xff, 0, 0xff};
  const size_t bkgd_size = m_samples == Samples::grey ? 2 : 6;
  // The zlib header of a 32K window; the checksum ends the last band's chunk.
  static const unsigned char zlib_head[2] = {0x78, 0x01};
  std::array<unsigned char, 4> zlib_tail{};
  put32(zlib_tail.data(), static_cast<uint32_t>(adler));

  if (!out.raw(signature, sizeof signature) || !out.chunk("IHDR", {{ihdr.data(), ihdr.size()}}) ||
      !out.chunk("bKGD", {{bkgd, bkgd_size}}))
    return out.status();
  for (const auto& band : m_bands) {
    const std::pair<const unsigned char*, size_t> head{zlib_head, band->y0 == 0 ? sizeof zlib_head : 0};
    const std::pair<const unsigned char*, size_t> tail{zlib_tail.data(), band->last ? zlib_tail.size() : 0};
    if (!out.chunk("IDAT", {head, {band->out.data(), band->out.size()}, tail}))
      return out.status();
  }
  out.chunk("IEND", {});
  return out.status();
}

cairo_status_t view_write_png(cairo_surface_t* surface, cairo_write_func_t write, void* closure)
{
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  if ((format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) || !data || width <= 0 || height <= 0)
    return cairo_surface_write_to_png_stream(surface, write, closure);
  // Grey first; a band that needs more tells which, and the image is
  // written again with that.
  Samples samples = Samples::grey;
  for (;;) {
    ViewPngWriter png(width, height, samples, format == CAIRO_FORMAT_ARGB32);
    for (int i = 0; i < png.band_count() && png.get_needed() == samples; ++i)
      png.submit_kept(data + static_cast<ptrdiff_t>(png.band_y(i)) * stride, stride);
    const cairo_status_t status = png.finish();
    if (png.get_needed() != samples) {
      samples = png.get_needed();
      continue;
    }
    return status == CAIRO_STATUS_SUCCESS ? png.write(write, closure) : status;
  }
}

} // namespace velkaro
