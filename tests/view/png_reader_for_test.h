#pragma once
// Reading back the PNG files the exporter writes, of any size: cairo reads
// no image wider or taller than 32,767 pixels. 8-bit grey, RGB and RGBA
// without interlacing (what the writer and cairo write); every row filter.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/pixels_for_test.h"

namespace velkaro::test {

struct PngHeader {
  int width = 0;
  int height = 0;
  // 1 (grey), 3 (RGB) or 4 (RGBA).
  int channels = 0;
};

// Decodes the file at path row by row: header, then row(y, samples) for
// every row top to bottom (width × channels samples). False with error set
// for a file that is not such a PNG or is damaged (checked: the signature,
// the chunks' order and lengths, the zlib stream's checksum, the rows'
// count).
bool read_png_rows(const std::string& path, PngHeader& header,
                   const std::function<void(int y, const unsigned char* samples)>& row, std::string& error);

// A whole decoded image, for images of a few million pixels.
struct PngImage {
  PngHeader header;
  std::vector<unsigned char> samples;
  std::string error;

  bool ok() const { return error.empty(); }
  int width() const { return header.width; }
  int height() const { return header.height; }
  // The pixel at (x, y), not premultiplied.
  Pixel at(int x, int y) const;
};

PngImage read_png(const std::string& path);

} // namespace velkaro::test
