#include "view/drawer_context.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

namespace velkaro {
namespace {

// An image at least this large gets memory of its own (below).
constexpr size_t LARGE_IMAGE = size_t{16} << 20;
// The side of an image cairo makes at most.
constexpr int MAX_SIDE = 32767;

void unmap_pixels(void* data)
{
  auto* mapped = static_cast<std::pair<void*, size_t>*>(data);
  munmap(mapped->first, mapped->second);
  delete mapped;
}

// Writes a zero into every page of pixels size bytes long.
void touch_pages(unsigned char* pixels, size_t size)
{
  const size_t page = static_cast<size_t>(std::max(4096L, sysconf(_SC_PAGESIZE)));
  for (size_t at = 0; at < size; at += page)
    pixels[at] = 0;
}

// Touches every page of pixels (zeroed memory) on several threads at once:
// the system then maps the pages of an image of a hundred megabytes in a
// fraction of the time one thread takes.
void touch_in_parallel(unsigned char* pixels, size_t size)
{
  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
  const size_t slice = (size / threads + 4095) & ~size_t{4095};
  std::vector<std::thread> started;
  size_t from = 0;
  try {
    for (; from + slice < size; from += slice)
      started.emplace_back([p = pixels + from, slice] { touch_pages(p, slice); });
  } catch (const std::system_error&) {
    // What no thread took is touched below.
  }
  touch_pages(pixels + from, size - from);
  for (auto& t : started)
    t.join();
}

// A transparent ARGB32 image of width by height, as cairo_image_surface_create()
// makes it. A large one (an export of a long diagram) takes its pixels from
// memory mapped and touched on several threads: on one, the first touch of
// a hundred megabytes, page by page, costs more than drawing on it.
cairo_surface_t* new_image(int width, int height)
{
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
  const size_t size = stride > 0 && height > 0 ? static_cast<size_t>(stride) * static_cast<size_t>(height) : 0;
  if (size < LARGE_IMAGE || width > MAX_SIDE || height > MAX_SIDE)
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  // Zeroed by the system: transparent black, as cairo's own.
  void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pixels == MAP_FAILED)
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  touch_in_parallel(static_cast<unsigned char*>(pixels), size);
  cairo_surface_t* surface =
    cairo_image_surface_create_for_data(static_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, width, height, stride);
  static cairo_user_data_key_t key;
  auto* mapped = new std::pair<void*, size_t>(pixels, size);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(surface, &key, mapped, unmap_pixels) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    unmap_pixels(mapped);
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  }
  return surface;
}

} // namespace

std::shared_ptr<ViewDrawerContext> ViewDrawerContext::create_make_surface(const Rectangle& rect)
{
  auto dc = create();
  dc->update_rect = rect.to_cairo_int();
  // Through the C functions: cairomm throws where cairo returns an error
  // object, and the owner is to find out through get_status() instead.
  cairo_surface_t* surface = new_image(dc->update_rect.width, dc->update_rect.height);
  dc->surface = Cairo::RefPtr<Cairo::ImageSurface>(new Cairo::ImageSurface(surface, true));
  dc->cr = Cairo::RefPtr<Cairo::Context>(new Cairo::Context(cairo_create(surface), true));
  if (dc->get_status() == CAIRO_STATUS_SUCCESS) {
    cairo_identity_matrix(dc->cr->cobj());
    cairo_translate(dc->cr->cobj(), -rect.x, -rect.y);
  }
  return dc;
}

Cairo::RefPtr<Cairo::Region> ViewDrawerContext::get_region() const
{
  return Cairo::Region::create(update_rect);
}

void ViewDrawerContext::set_antialias_off(bool off)
{
  if (!cr)
    return;
  cr->set_antialias(off && zoom == 1.0 ? Cairo::ANTIALIAS_NONE : Cairo::ANTIALIAS_SUBPIXEL);
}

Glib::RefPtr<Pango::Layout> ViewDrawerContext::new_layout(const std::string& text, int32_t px) const
{
  auto layout = Pango::Layout::create(cr);
  layout->set_font_description(Pango::FontDescription("Sans " + std::to_string(px) + "px"));
  layout->set_text(text);
  return layout;
}

cairo_status_t ViewDrawerContext::get_status() const
{
  if (surface) {
    const cairo_status_t status = cairo_surface_status(surface->cobj());
    if (status != CAIRO_STATUS_SUCCESS)
      return status;
  }
  return cr ? cairo_status(cr->cobj()) : CAIRO_STATUS_SUCCESS;
}

} // namespace velkaro
