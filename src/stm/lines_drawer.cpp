#include "stm/lines_drawer.h"

#include "model/grid.h"
#include "stm/doc/line_elms.h"
#include "stm/doc/transaction.h"
#include "view/transform_matrix.h"

namespace velkaro {

void StmLinesDrawer::draw()
{
  each_target<StmLineElms>(get_clip_region(), [this] { draw_line_elm(); });
}

Point StmLinesDrawer::cell_to_point(const CellPos& pos) const
{
  return StmPointsDrawer::center(get_grid()->get_rect(pos.x, pos.y));
}

void StmLinesDrawer::wings(const Point& tip, MovingDir dir)
{
  const auto m = ViewTransformMatrix::new_dir(static_cast<int32_t>(dir), 1.0, 1.0, tip.get_x(), tip.get_y());
  for (const double side : {3.75, -3.75}) {
    Point wing(tip.get_x() + side, tip.get_y() + 7.5);
    line(tip, m.transform_off(wing));
  }
}

void StmLinesDrawer::draw_line_elm()
{
  const auto* elm = dynamic_cast<const StmLineElms*>(now_elm.get());
  if (!elm)
    return;
  const auto& cr = get_cr();
  Point s = cell_to_point(elm->pos);
  Point e = cell_to_point(elm->get_endpos());
  const auto* transition = dynamic_cast<const StmTransaction*>(elm);
  if (!transition) {
    cr->set_line_width(3.0);
    line(s, e);
    cr->stroke();
    return;
  }
  // Both ends at one point give the pull-backs and the head no direction.
  if (s == e)
    return;
  const bool is_end = transition->get_is_end();
  if (is_end)
    e.move_for(s, m_radius);
  if (transition->get_is_start())
    s.move_for(e, m_radius);
  line(s, e);
  if (is_end)
    wings(e, transition->get_mdir());
  cr->stroke();
}

} // namespace velkaro
