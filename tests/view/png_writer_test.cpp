// The PNG writer of exports: whatever the image, and however it comes (a
// whole image, or bands rendered on the writer's threads), the file reads
// back as the very pixels cairo's own writer gives (format, size and every
// byte); a failed write or render is reported.

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

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

// Writes surface through a writer whose bands its threads render by
// copying the surface's rows, with the samples the image turns out to need.
cairo_status_t write_rendered(cairo_surface_t* s, size_t threads, int band_height, std::string& out)
{
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int width = cairo_image_surface_get_width(s);
  const bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
  auto samples = ViewPngWriter::Samples::grey;
  for (;;) {
    ViewPngWriter png(width, cairo_image_surface_get_height(s), samples, alpha, threads, band_height);
    for (int i = 0; i < png.band_count() && png.get_needed() == samples; ++i) {
      const unsigned char* from = data + static_cast<ptrdiff_t>(png.band_y(i)) * stride;
      png.submit_render([from, stride, width](const ViewPngWriter::Buffer& b) {
        for (int y = 0; y < b.rows; ++y)
          std::memcpy(b.data + static_cast<ptrdiff_t>(y) * b.stride, from + static_cast<ptrdiff_t>(y) * stride,
                      static_cast<size_t>(width) * 4);
        return true;
      });
    }
    const cairo_status_t status = png.finish();
    if (png.get_needed() != samples) {
      samples = png.get_needed();
      continue;
    }
    return status == CAIRO_STATUS_SUCCESS ? png.write(to_string, &out) : status;
  }
}

TEST(PngWriter, BandsRenderedOnItsThreadsReadBackAsTheWholeImage)
{
  struct Scene {
    const char* name;
    cairo_format_t format;
    bool opaque;
    bool grey;
  };
  const Scene scenes[] = {
    {"opaque greys", CAIRO_FORMAT_ARGB32, true, true},
    {"opaque colours", CAIRO_FORMAT_ARGB32, true, false},
    {"translucent", CAIRO_FORMAT_ARGB32, false, false},
    {"RGB24 colours", CAIRO_FORMAT_RGB24, true, false},
  };
  struct Split {
    size_t threads;
    int band_height;
  };
  // Bands of one row (every row a band's first), of a few rows with a short
  // last band, and the writer's own choice; on one thread and on several.
  const Split splits[] = {{1, 1}, {3, 7}, {3, 64}, {1, 0}, {0, 0}};
  for (const Scene& scene : scenes) {
    cairo_surface_t* s = cairo_image_surface_create(scene.format, 181, 500);
    draw_scene(s, scene.opaque, scene.grey);
    cairo_surface_flush(s);
    std::string cairos;
    ASSERT_EQ(cairo_surface_write_to_png_stream(s, to_string, &cairos), CAIRO_STATUS_SUCCESS);
    for (const Split& split : splits) {
      SCOPED_TRACE(std::string(scene.name) + ", " + std::to_string(split.threads) + " threads, bands of " +
                   std::to_string(split.band_height));
      std::string ours;
      EXPECT_EQ(write_rendered(s, split.threads, split.band_height, ours), CAIRO_STATUS_SUCCESS);
      EXPECT_EQ(compare(ours, cairos), "");
    }
    cairo_surface_destroy(s);
  }
}

// Long runs of rows like the row above (what crosses a wide export is
// mostly vertical lines) are written as they are known to compress: they
// read back as cairo's writer writes them, in runs that start and end
// inside bands, at their ends and at the end of the image.
TEST(PngWriter, LongRunsOfRowsAlikeReadBackAsTheWholeImage)
{
  struct Scene {
    const char* name;
    cairo_format_t format;
    bool grey;
  };
  const Scene scenes[] = {
    {"greys", CAIRO_FORMAT_ARGB32, true},
    {"colours", CAIRO_FORMAT_RGB24, false},
  };
  for (const Scene& scene : scenes) {
    cairo_surface_t* s = cairo_image_surface_create(scene.format, 2000, 700);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    for (int x = 3; x < 2000; x += 97) {
      cairo_set_source_rgb(cr, scene.grey ? 0.3 : 0.1, 0.3, scene.grey ? 0.3 : 0.9);
      cairo_rectangle(cr, x, 0, 1 + x % 3, 700);
      cairo_fill(cr);
    }
    // Rows unlike the one above now and then, runs of every length between.
    for (int y = 5, gap = 1; y < 650; y += gap, gap = gap * 2 % 127 + 1) {
      cairo_set_source_rgb(cr, 0.5, 0.5, scene.grey ? 0.5 : 0.2);
      cairo_rectangle(cr, y % 300, y, 400, 1);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    std::string cairos;
    ASSERT_EQ(cairo_surface_write_to_png_stream(s, to_string, &cairos), CAIRO_STATUS_SUCCESS);
    std::string whole;
    EXPECT_EQ(view_write_png(s, to_string, &whole), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(compare(whole, cairos), "") << scene.name;
    for (const int band_height : {1, 13, 50, 64, 0}) {
      SCOPED_TRACE(std::string(scene.name) + ", bands of " + std::to_string(band_height));
      std::string ours;
      EXPECT_EQ(write_rendered(s, 2, band_height, ours), CAIRO_STATUS_SUCCESS);
      EXPECT_EQ(compare(ours, cairos), "");
    }
    cairo_surface_destroy(s);
  }
}

TEST(PngWriter, ItsOwnBandsHoldAboutTwoMegabytesAndAWideImageFewerRows)
{
  struct Case {
    int width;
    int height;
    int rows;
  };
  const Case cases[] = {
    // 2 MiB of rows, or the whole image.
    {100, 10000, 5242},
    {100, 300, 300},
    // At least 16 rows while they hold at most 32 MiB.
    {200000, 100, 16},
    {200000, 9, 9},
    // Beyond that as many rows as 32 MiB hold, at least one.
    {1000000, 40, 8},
    {20000000, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " by " + std::to_string(c.height));
    const ViewPngWriter png(c.width, c.height, ViewPngWriter::Samples::grey, true, 1);
    EXPECT_EQ(png.band_rows(0), c.rows);
    EXPECT_EQ(png.band_count(), (c.height + c.rows - 1) / c.rows);
  }
}

TEST(PngWriter, TheSamplesGrowWithWhatTheBandsNeed)
{
  // A grey image with one coloured pixel, then one translucent pixel, low
  // down: the writer made for grey asks for more.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 300);
  draw_scene(s, true, true);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const auto run = [&](ViewPngWriter::Samples samples) {
    ViewPngWriter png(40, 300, samples, true, 2, 16);
    for (int i = 0; i < png.band_count(); ++i)
      png.submit_kept(data + static_cast<ptrdiff_t>(png.band_y(i)) * stride, stride);
    const cairo_status_t status = png.finish();
    return std::make_pair(status, png.get_needed());
  };
  auto* pixel = reinterpret_cast<uint32_t*>(data + 250 * stride);
  pixel[3] = 0xff102030u;
  cairo_surface_mark_dirty(s);
  EXPECT_EQ(run(ViewPngWriter::Samples::grey), std::make_pair(CAIRO_STATUS_INVALID_FORMAT, ViewPngWriter::Samples::rgb));
  EXPECT_EQ(run(ViewPngWriter::Samples::rgb), std::make_pair(CAIRO_STATUS_SUCCESS, ViewPngWriter::Samples::rgb));
  pixel[5] = 0x80102030u;
  EXPECT_EQ(run(ViewPngWriter::Samples::grey).second, ViewPngWriter::Samples::rgba);
  EXPECT_EQ(run(ViewPngWriter::Samples::rgb), std::make_pair(CAIRO_STATUS_INVALID_FORMAT, ViewPngWriter::Samples::rgba));
  EXPECT_EQ(run(ViewPngWriter::Samples::rgba), std::make_pair(CAIRO_STATUS_SUCCESS, ViewPngWriter::Samples::rgba));
  cairo_surface_destroy(s);
}

TEST(PngWriter, AFailedRenderOrMissingBandsFailTheStream)
{
  const auto fill = [](const ViewPngWriter::Buffer& b) {
    std::memset(b.data, 0xff, static_cast<size_t>(b.stride) * static_cast<size_t>(b.rows));
    return true;
  };
  for (const size_t threads : {size_t{1}, size_t{4}}) {
    SCOPED_TRACE(threads);
    ViewPngWriter failing(50, 100, ViewPngWriter::Samples::grey, true, threads, 10);
    for (int i = 0; i < failing.band_count(); ++i) {
      if (i == 4)
        failing.submit_render([](const ViewPngWriter::Buffer&) { return false; });
      else
        failing.submit_render(fill);
    }
    EXPECT_NE(failing.finish(), CAIRO_STATUS_SUCCESS);

    ViewPngWriter short_of_bands(50, 100, ViewPngWriter::Samples::grey, true, threads, 10);
    for (int i = 0; i + 1 < short_of_bands.band_count(); ++i)
      short_of_bands.submit_render(fill);
    EXPECT_EQ(short_of_bands.finish(), CAIRO_STATUS_INVALID_SIZE);

    // A writer given up half way stops its threads.
    ViewPngWriter abandoned(50, 100, ViewPngWriter::Samples::grey, true, threads, 10);
    abandoned.submit_render(fill);
  }
}

} // namespace
} // namespace velkaro
