#include "cls/node_drawer.h"

#include <numbers>

#include <pangomm/layout.h>

#include "cls/doc/workspace.h"
#include "cls/route/router.h"
#include "model/grid.h"
#include "view/cairo_guard.h"
#include "view/drawer_context.h"

namespace velkaro {

void ClsNodeDrawer::draw()
{
  const auto ws = get_cls_ws();
  const auto& region = get_clip_region();
  if (!ws || !region)
    return;
  const auto grid = ws->grid;
  const auto range = cells_around(*grid, region->get_extents());
  if (!range)
    return;
  const auto& cr = get_cr();
  ws->get_router()->foreach_range(*range, [&](int32_t x, int32_t y, const std::shared_ptr<ClsRouteNode>& node) {
    const Rectangle rect = grid->get_rect(x, y);
    if (!rect.is_intersect_region(region->cobj()))
      return true;
    const CairoSaveGuard guard(cr);
    const Point centre = Point::create_median(rect);
    if (node->is_terminal)
      cr->set_source_rgba(1.0, 1.0, 0.2, 0.3);
    else
      cr->set_source_rgba(1.0, 0.2, 0.2, 0.3);
    cr->set_line_width(1.0);
    cr->arc(centre.get_x(), centre.get_y(), 2.0, 0, 2 * std::numbers::pi);
    cr->fill();
    draw_text(std::to_string(node->references), centre, -1, nullptr, 0, 8);
    return true;
  });
}

void ClsNodeDrawer::draw_text(const std::string& str, const Point& pt, int32_t cursor_index, PangoAttrList* attrs,
                              int32_t pos, int32_t font_size)
{
  const auto& cr = get_cr();
  const CairoSaveGuard guard(cr);
  const auto layout = get_dc()->new_layout(str, font_size);
  if (attrs) {
    PangoAttrList* own = pango_layout_get_attributes(layout->gobj());
    PangoAttrList* list = own ? pango_attr_list_copy(own) : pango_attr_list_new();
    pango_attr_list_splice(list, attrs, pos, static_cast<gint>(str.size()));
    pango_layout_set_attributes(layout->gobj(), list);
    pango_attr_list_unref(list);
  }
  if (const auto& color = get_override_color())
    set_source(*color);
  else
    set_source(ViewColor::text);
  cr->move_to(pt.get_x(), pt.get_y());
  layout->show_in_cairo_context(cr);
  if (cursor_index >= 0) {
    const Pango::Rectangle r = layout->index_to_pos(cursor_index);
    cr->rectangle(pt.get_x() + r.get_x() / double(PANGO_SCALE), pt.get_y() + r.get_y() / double(PANGO_SCALE), 2.0,
                  r.get_height() / double(PANGO_SCALE));
    cr->fill();
  }
}

} // namespace velkaro
