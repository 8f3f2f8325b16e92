#include "seq/life_head_drawer.h"

#include "common/point.h"
#include "seq/drawer_geometry.h"
#include "seq/doc/life_head.h"

namespace velkaro {

using namespace seq_geom;

void SeqLifeHeadDrawer::draw()
{
  each_target<SeqLifeHead>(get_clip_region(), [this] { draw_life_head_element(); });
}

void SeqLifeHeadDrawer::draw_life_head_element()
{
  auto* head = dynamic_cast<SeqLifeHead*>(now_elm.get());
  if (!head)
    return;
  const auto& cr = get_cr();
  Rectangle box = head->get_rect();
  box.x += now_rect.x;
  box.y += now_rect.y;
  cr->rectangle(box.x, box.y, box.width, box.height);
  // The walk's style once more, now that the box is on the path to fill.
  init();
  if (head->get_is_in_process())
    set_in_proc();
  cr->stroke();

  // The tail reaches the cell's bottom at the phase the first life-line
  // cell starts with.
  const double bottom = now_rect.get_bottom();
  set_dash(cr, LL_DASH, LL_DASH, box.get_bottom() + LL_PHASE - bottom);
  segment(cr, now_rect.get_xmid(), box.get_bottom(), now_rect.get_xmid(), bottom);
  cr->stroke();
  unset_dash(cr);
  draw_text_elm(Point(0, 0));
}

} // namespace velkaro
