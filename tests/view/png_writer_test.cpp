// The PNG writer of exports: whatever the image, the file reads back as the
// very pixels cairo's own writer gives (format, size and every byte), and a
// failed write is reported.

#include <cmath>
#include <cstring>
#include <string>

#include <cairo.h>
#include <gtest/gtest.h>

#include "view/png_writer.h"

namespace velkaro {
namespace {

cairo_status_t to_string(void* closure, const unsigned char* data, unsigned int length)
{
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

struct Reading {
  const std::string* bytes;
  size_t at = 0;
};

cairo_status_t from_string(void* closure, unsigned char* data, unsigned int length)
{
  auto* r = static_cast<Reading*>(closure);
  if (r->at + length > r->bytes->size())
    return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->bytes->data() + r->at, length);
  r->at += length;
  return CAIRO_STATUS_SUCCESS;
}

// The image a PNG stream reads back as; null when it cannot be read.
cairo_surface_t* read_back(const std::string& png)
{
  Reading r{&png};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(from_string, &r);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return s;
}

// "" when both streams read back as the same image, else what differs.
std::string compare(const std::string& ours, const std::string& cairos)
{
  cairo_surface_t* a = read_back(ours);
  cairo_surface_t* b = read_back(cairos);
  std::string why;
  if (!a || !b) {
    why = a ? "cairo's stream does not read" : "our stream does not read";
  } else if (cairo_image_surface_get_format(a) != cairo_image_surface_get_format(b)) {
    why = "formats differ";
  } else if (cairo_image_surface_get_width(a) != cairo_image_surface_get_width(b) ||
             cairo_image_surface_get_height(a) != cairo_image_surface_get_height(b)) {
    why = "sizes differ";
  } else {
    const int w = cairo_image_surface_get_width(a);
    for (int y = 0; y < cairo_image_surface_get_height(a) && why.empty(); ++y) {
      const unsigned char* ra = cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a);
      const unsigned char* rb = cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b);
      if (std::memcmp(ra, rb, static_cast<size_t>(w) * 4) != 0)
        why = "row " + std::to_string(y) + " differs";
    }
  }
  if (a)
    cairo_surface_destroy(a);
  if (b)
    cairo_surface_destroy(b);
  return why;
}

// Antialiased shapes, dashes and text over a background (opaque: a white
// one; translucent: none, and shapes of partial alpha); in greys only when
// grey is set.
void draw_scene(cairo_surface_t* s, bool opaque, bool grey = false)
{
  cairo_t* cr = cairo_create(s);
  const int w = cairo_image_surface_get_width(s);
  const int h = cairo_image_surface_get_height(s);
  if (opaque) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
  }
  for (int i = 0; i < 40; ++i) {
    const double y = h * (i + 0.5) / 40.0;
    const double g = (i % 5) / 4.0;
    cairo_set_source_rgba(cr, grey ? g : (i % 3) / 2.0, g, grey ? g : (i % 7) / 6.0, opaque ? 1.0 : 0.1 + (i % 9) / 10.0);
    cairo_arc(cr, (i * 37) % w, y, 5 + i % 20, 0, 2 * M_PI);
    cairo_fill(cr);
    const double dash[] = {6, 6};
    cairo_set_dash(cr, dash, 2, i);
    cairo_move_to(cr, 10 + i * 3, 0);
    cairo_line_to(cr, 10 + i * 3.3, h);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_move_to(cr, 5, y);
    cairo_show_text(cr, ("text " + std::to_string(i)).c_str());
  }
  cairo_destroy(cr);
}

struct Case {
  const char* name;
  cairo_format_t format;
  int width;
  int height;
  bool opaque;
  bool drawn;
  bool grey = false;
};

TEST(PngWriter, ReadsBackAsCairosOwnWriterWritesIt)
{
  const Case cases[] = {
    // Tall enough for many bands, each a piece of one stream.
    {"opaque, many bands", CAIRO_FORMAT_ARGB32, 301, 4000, true, true},
    // Written as grey samples.
    {"opaque greys, many bands", CAIRO_FORMAT_ARGB32, 301, 4000, true, true, true},
    {"RGB24 greys", CAIRO_FORMAT_RGB24, 99, 300, true, true, true},
    {"translucent greys", CAIRO_FORMAT_ARGB32, 99, 300, false, true, true},
    {"translucent, many bands", CAIRO_FORMAT_ARGB32, 257, 3000, false, true},
    {"RGB24", CAIRO_FORMAT_RGB24, 120, 700, true, true},
    {"one band", CAIRO_FORMAT_ARGB32, 64, 40, true, true},
    {"one pixel", CAIRO_FORMAT_ARGB32, 1, 1, true, true},
    {"fully transparent", CAIRO_FORMAT_ARGB32, 50, 600, false, false},
    {"every row alike", CAIRO_FORMAT_ARGB32, 90, 2000, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cairo_surface_t* s = cairo_image_surface_create(c.format, c.width, c.height);
    if (c.drawn) {
      draw_scene(s, c.opaque, c.grey);
    } else if (c.opaque) {
      cairo_t* cr = cairo_create(s);
      cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
      cairo_paint(cr);
      cairo_destroy(cr);
    }
    cairo_surface_flush(s);
    std::string ours;
    std::string cairos;
    EXPECT_EQ(view_write_png(s, to_string, &ours), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_surface_write_to_png_stream(s, to_string, &cairos), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(compare(ours, cairos), "");
    cairo_surface_destroy(s);
  }
}

cairo_status_t fail_after_some(void* closure, const unsigned char*, unsigned int)
{
  int& left = *static_cast<int*>(closure);
  return left-- > 0 ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

TEST(PngWriter, AFailedWriteIsReported)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 1000);
  draw_scene(s, true);
  cairo_surface_flush(s);
  for (int after : {0, 2, 4}) {
    int left = after;
    EXPECT_EQ(view_write_png(s, fail_after_some, &left), CAIRO_STATUS_WRITE_ERROR) << after;
  }
  cairo_surface_destroy(s);
}

} // namespace
} // namespace velkaro
