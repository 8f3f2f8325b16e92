#include "stm/composite_drawer.h"

#include "common/cell_range.h"
#include "model/grid.h"
#include "stm/doc/composite.h"
#include "view/drawer_context.h"

namespace velkaro {

void StmCompositeDrawer::draw()
{
  each_target<StmComposite>(get_clip_region(), [this] { draw_composite(); });
}

void StmCompositeDrawer::draw_composite()
{
  if (!now_elm)
    return;
  const auto grid = get_grid();
  // The covered cells with their corners in order: a composite selected
  // upwards or leftwards keeps negative extensions, and its box and its
  // separator still lie over its cells.
  CellRange covered{now_elm->pos, now_elm->get_endpos()};
  covered.ensure_consistency();
  now_rect = grid->get_range_rect(covered);
  const auto& cr = get_cr();
  const Cairo::Antialias before = cr->get_antialias();
  get_dc()->set_antialias_off(false);
  draw_rect();
  cr->set_antialias(before);
  if (now_elm->get_mheight() > 1) {
    const int32_t row = covered.start.y + 1;
    now_rect = grid->get_range_rect(CellRange{{covered.start.x, row}, {covered.end.x, row}});
    draw_separator();
  }
}

void StmCompositeDrawer::draw_rect()
{
  const auto& cr = get_cr();
  const Rectangle& r = now_rect;
  const double right = r.get_right();
  const double bottom = r.get_bottom();
  const double c = CORNER;
  cr->move_to(r.x + c, r.y);
  cr->line_to(right - c, r.y);
  cr->curve_to(right - c, r.y, right, r.y, right, r.y + c);
  cr->line_to(right, bottom - c);
  cr->curve_to(right, bottom - c, right, bottom, right - c, bottom);
  cr->line_to(r.x + c, bottom);
  cr->curve_to(r.x + c, bottom, r.x, bottom, r.x, bottom - c);
  cr->line_to(r.x, r.y + c);
  cr->curve_to(r.x, r.y + c, r.x, r.y, r.x + c, r.y);
  cr->close_path();
  cr->stroke();
}

void StmCompositeDrawer::draw_separator()
{
  const auto& cr = get_cr();
  const double y = now_rect.y + SEPARATOR_DROP;
  cr->move_to(now_rect.x, y);
  cr->line_to(now_rect.get_right(), y);
  cr->stroke();
}

} // namespace velkaro
