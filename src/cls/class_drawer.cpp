#include "cls/class_drawer.h"

#include "cls/doc/class_element.h"
#include "cls/doc/workspace.h"
#include "common/check.h"
#include "common/rectangle.h"
#include "ctrl/context.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "view/cairo_guard.h"
#include "view/drawer_context.h"
#include "view/text_drawer.h"

namespace velkaro {

void ClsClassDrawer::draw()
{
  const auto ws = get_cls_ws();
  const auto& region = get_clip_region();
  if (!ws || !region)
    return;
  const auto ctrl = get_ctrl();
  const auto grid = ws->grid;
  const auto range = cells_around(*grid, region->get_extents());
  if (!range)
    return;
  // The cursor cell only where the editor's marks are shown.
  const bool marks = get_dc()->shows_editor;
  const CellPos cursor = ctrl->get_now_cell();
  ws->get_cells()->foreach_range(*range, [&](int32_t x, int32_t y, const ModelElement::ElementPtr& head) {
    const auto klass = std::dynamic_pointer_cast<ClsClassElement>(head);
    if (!klass)
      return true;
    const Rectangle grid_rect = grid->get_rect(x, y);
    if (grid_rect.is_intersect_region(region->cobj()))
      draw_class_element(region, grid_rect, *klass, marks && cursor == CellPos{x, y});
    return true;
  });
}

void ClsClassDrawer::draw_class_element(const Cairo::RefPtr<Cairo::Region>& update_region,
                                        const Rectangle& grid_rect, ClsClassElement& klass, bool is_active)
{
  VK_CHECK(update_region);
  const auto& cr = get_cr();
  const CairoSaveGuard guard(cr);
  const Rectangle rect = klass.get_rect();
  cr->rectangle(rect.x + grid_rect.x, rect.y + grid_rect.y, rect.width, rect.height);
  cr->set_line_width(1.0);
  set_source(is_active ? ViewColor::active_element_fill : ViewColor::element_fill);
  cr->fill_preserve();
  set_source(is_active ? ViewColor::active_element_line : ViewColor::element_line);
  cr->stroke();

  ViewTextDrawer texts;
  texts.offset = Point(grid_rect.x, grid_rect.y);
  texts.add_ite(klass.name_elem);
  const Point corner(grid_rect.x, grid_rect.y);
  if (klass.block1_shown) {
    texts.add_ite(klass.block1_elem);
    draw_separate_line(klass.get_block1_div_rect(), corner, rect.width);
  }
  if (klass.block2_shown) {
    texts.add_ite(klass.block2_elem);
    draw_separate_line(klass.get_block2_div_rect(), corner, rect.width);
  }
  texts.draw_for(get_dc(), get_ctrl());
}

void ClsClassDrawer::draw_separate_line(const Rectangle& text_element_rect, const Point& offset, double width)
{
  const auto& cr = get_cr();
  const double x = text_element_rect.x + offset.get_x();
  const double y = text_element_rect.y + offset.get_y();
  cr->move_to(x, y);
  cr->line_to(x + width, y);
  cr->stroke();
}

} // namespace velkaro
