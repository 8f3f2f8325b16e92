#include "view/png_reader_for_test.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <zlib.h>

namespace velkaro::test {
namespace {

uint32_t get32(const unsigned char* p)
{
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

int paeth(int a, int b, int c)
{
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc)
    return a;
  return pb <= pc ? b : c;
}

// Undoes the filter of one row in place, against the row above (zeros for
// the first row).
bool unfilter(int type, unsigned char* row, const unsigned char* above, size_t n, size_t bpp)
{
  for (size_t i = 0; i < n; ++i) {
    const int a = i >= bpp ? row[i - bpp] : 0;
    const int b = above[i];
    const int c = i >= bpp ? above[i - bpp] : 0;
    int add = 0;
    switch (type) {
    case 0: break;
    case 1: add = a; break;
    case 2: add = b; break;
    case 3: add = (a + b) / 2; break;
    case 4: add = paeth(a, b, c); break;
    default: return false;
    }
    row[i] = static_cast<unsigned char>(row[i] + add);
  }
  return true;
}

} // namespace

bool read_png_rows(const std::string& path, PngHeader& header,
                   const std::function<void(int y, const unsigned char* samples)>& row, std::string& error)
{
  std::ifstream in(path, std::ios::binary);
  const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (data.size() < 8 || std::memcmp(bytes, signature, 8) != 0) {
    error = "no PNG signature";
    return false;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    error = "no inflater";
    return false;
  }
  std::vector<unsigned char> line, above;
  size_t filled = 0;
  int y = 0;
  bool seen_header = false, ended = false, stream_end = false;
  size_t at = 8;
  const auto fail = [&](const std::string& why) {
    error = why;
    inflateEnd(&z);
    return false;
  };
  while (at + 12 <= data.size() && !ended) {
    const uint32_t length = get32(bytes + at);
    const std::string type(data, at + 4, 4);
    const unsigned char* body = bytes + at + 8;
    if (length > data.size() - at - 12)
      return fail("chunk " + type + " runs past the end");
    at += 12 + size_t{length};
    if (type == "IHDR") {
      if (length != 13 || body[8] != 8 || body[12] != 0)
        return fail("not an 8-bit image without interlacing");
      header.width = static_cast<int>(get32(body));
      header.height = static_cast<int>(get32(body + 4));
      header.channels = body[9] == 0 ? 1 : body[9] == 2 ? 3 : body[9] == 6 ? 4 : 0;
      if (header.channels == 0 || header.width <= 0 || header.height <= 0)
        return fail("an unknown colour type or size");
      line.assign(size_t(header.width) * size_t(header.channels) + 1, 0);
      above.assign(line.size() - 1, 0);
      seen_header = true;
    } else if (type == "IDAT") {
      if (!seen_header)
        return fail("image data before the header");
      z.next_in = const_cast<unsigned char*>(body);
      z.avail_in = length;
      while (z.avail_in > 0 && !stream_end) {
        z.next_out = line.data() + filled;
        z.avail_out = static_cast<uInt>(line.size() - filled);
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
          return fail(std::string("inflate: ") + (z.msg ? z.msg : "failed"));
        filled = line.size() - z.avail_out;
        stream_end = status == Z_STREAM_END;
        if (filled == line.size()) {
          if (y >= header.height)
            return fail("more rows than the header says");
          if (!unfilter(line[0], line.data() + 1, above.data(), above.size(), size_t(header.channels)))
            return fail("an unknown row filter");
          row(y++, line.data() + 1);
          std::memcpy(above.data(), line.data() + 1, above.size());
          filled = 0;
        }
        if (status == Z_BUF_ERROR)
          break;
      }
    } else if (type == "IEND") {
      ended = true;
    }
  }
  inflateEnd(&z);
  if (!ended || !stream_end) {
    error = "the image data or the file ends early";
    return false;
  }
  if (y != header.height) {
    error = std::to_string(y) + " rows of " + std::to_string(header.height);
    return false;
  }
  return true;
}

Pixel PngImage::at(int x, int y) const
{
  const size_t c = size_t(header.channels);
  const unsigned char* p = samples.data() + (size_t(y) * size_t(header.width) + size_t(x)) * c;
  if (c == 1)
    return {p[0], p[0], p[0], 255};
  if (c == 3)
    return {p[0], p[1], p[2], 255};
  return {p[0], p[1], p[2], p[3]};
}

PngImage read_png(const std::string& path)
{
  PngImage image;
  const bool ok = read_png_rows(
    path, image.header,
    [&image](int y, const unsigned char* samples) {
      const size_t n = size_t(image.header.width) * size_t(image.header.channels);
      if (image.samples.empty())
        image.samples.resize(n * size_t(image.header.height));
      std::memcpy(image.samples.data() + size_t(y) * n, samples, n);
    },
    image.error);
  if (!ok && image.error.empty())
    image.error = "unreadable";
  return image;
}

} // namespace velkaro::test
