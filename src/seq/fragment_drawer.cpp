#include "seq/fragment_drawer.h"

#include "common/any.h"
#include "common/point.h"
#include "model/grid.h"
#include "seq/drawer_geometry.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/fragment.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/text_element.h"

namespace velkaro {

using namespace seq_geom;

void SeqFragmentDrawer::draw()
{
  each_target<SeqFragment>(get_clip_region(), [this] { draw_frag(); });
  each_target<SeqFragLine>(get_clip_region(), [this] { visit_frag_line(); });
  each_target<SeqSeparator>(get_clip_region(), [this] {
    m_sp = std::dynamic_pointer_cast<SeqSeparator>(now_elm);
    m_v_fl = now_elm->seek<SeqFragLine>(1);
    draw_separator();
    draw_text_elm(Point(0, 0));
  });
  m_h_fl.reset();
  m_v_fl.reset();
  m_sp.reset();
}

void SeqFragmentDrawer::visit_frag_line()
{
  m_h_fl = now_elm->seek<SeqFragLine>(0);
  m_v_fl = now_elm->seek<SeqFragLine>(1);
  draw_frag_line(m_h_fl != nullptr, m_v_fl != nullptr);
  // The text of a message line crossing the frame is the message drawer's
  // to draw, above the line; drawn here too it would show twice.
  const auto text = now_elm->seek<SeqTextElement>(ANY_ROLE);
  if (text && std::dynamic_pointer_cast<SeqMsgLine>(text->get_parent()))
    return;
  draw_text_elm(Point(0, 0));
}

void SeqFragmentDrawer::draw_frag()
{
  const auto& cr = get_cr();
  const double x = now_rect.x;
  const double y = now_rect.y;
  const double right = now_rect.get_right();
  const double bottom = now_rect.get_bottom();
  cr->move_to(x, bottom);
  cr->line_to(x, y);
  cr->line_to(right, y);
  cr->line_to(right, bottom - LABEL_CUT);
  cr->line_to(right - LABEL_CUT, bottom);
  cr->close_path();
  cr->stroke();
  draw_text_elm(Point(0, 0));
}

void SeqFragmentDrawer::draw_frag_line(bool h, bool v)
{
  const auto& cr = get_cr();
  const double x = now_rect.x;
  const double y = now_rect.y;
  const double right = now_rect.get_right();
  const double bottom = now_rect.get_bottom();
  const double xmid = now_rect.get_xmid();
  const double ymid = now_rect.get_ymid();
  if (v && m_v_fl) {
    const SeqFragLine& fl = *m_v_fl;
    if (fl.is_topleft) {
      cr->move_to(x, y);
      if (fl.is_end) {
        // The bottom-left corner.
        cr->line_to(x, ymid);
        cr->line_to(right, ymid);
      } else {
        cr->line_to(x, bottom);
      }
    } else if (fl.is_start) {
      // The top-right corner.
      cr->move_to(x, y);
      cr->line_to(xmid, y);
      cr->line_to(xmid, bottom);
    } else if (fl.is_end) {
      // The bottom-right corner.
      cr->move_to(xmid, y);
      cr->line_to(xmid, ymid);
      cr->line_to(x, ymid);
    } else {
      segment(cr, xmid, y, xmid, bottom);
    }
  }
  if (h && m_h_fl) {
    if (m_h_fl->is_topleft)
      segment(cr, x, y, right, y);
    else
      segment(cr, x, ymid, right, ymid);
  }
  cr->stroke();
}

void SeqFragmentDrawer::draw_separator()
{
  const auto& cr = get_cr();
  const double sy = now_rect.y + SEP_DOWN;
  // It meets the frame's right side in the middle of the right column.
  const double e = m_v_fl && !m_v_fl->is_topleft ? now_rect.get_xmid() : now_rect.get_right();
  set_dash(cr, SEP_ON, SEP_OFF, offset());
  segment(cr, now_rect.x, sy, e, sy);
  cr->stroke();
  unset_dash(cr);
}

double SeqFragmentDrawer::offset() const
{
  const auto grid = get_grid();
  const auto fl = m_sp ? m_sp->get_fl() : nullptr;
  if (!grid || !fl)
    return 0;
  return grid->get_top_left_point(m_sp->pos).get_x() - grid->get_top_left_point(fl->pos).get_x();
}

} // namespace velkaro
