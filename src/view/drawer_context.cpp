#include "view/drawer_context.h"

#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

namespace velkaro {

std::shared_ptr<ViewDrawerContext> ViewDrawerContext::create_make_surface(const Rectangle& rect)
{
  auto dc = create();
  dc->update_rect = rect.to_cairo_int();
  // Through the C functions: cairomm throws where cairo returns an error
  // object, and the owner is to find out through get_status() instead.
  cairo_surface_t* surface =
    cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dc->update_rect.width, dc->update_rect.height);
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
