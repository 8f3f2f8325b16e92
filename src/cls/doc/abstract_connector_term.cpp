#include "cls/doc/abstract_connector_term.h"

#include "cls/route/segment.h"

namespace velkaro {

std::shared_ptr<ClsAbstractConnectorTerm> ClsAbstractConnectorTerm::dup() const
{
  auto term = new_instance();
  term->m_udlr = m_udlr;
  term->m_rect = m_rect;
  term->m_term_point.copy_from(m_term_point);
  return term;
}

void ClsAbstractConnectorTerm::set_placement(const Placement& placement)
{
  m_udlr = placement.udlr;
  m_rect = placement.rect;
  m_term_point.copy_from(placement.term_point);
}

Rectangle ClsAbstractConnectorTerm::calc_rect(const Point& p, MovingDir dir) const
{
  const double w = get_width_at_upper();
  const double h = get_height_at_upper();
  const double half = get_width_at_upper() / 2;
  switch (dir) {
  case MovingDir::up: return {p.get_x() - half, p.get_y() - h, w, h};
  case MovingDir::down: return {p.get_x() - half, p.get_y(), w, h};
  case MovingDir::left: return {p.get_x() - h, p.get_y() - half, h, w};
  case MovingDir::right: return {p.get_x(), p.get_y() - half, h, w};
  }
  return {};
}

void ClsAbstractConnectorTerm::layout_by_segment(const ClsSegment& seg, bool is_end)
{
  const MovingDir d = seg.get_udlr();
  m_udlr = is_end ? d : moving_dir_inv(d);
  const Point& p = is_end ? seg.end_point : seg.start_point;
  // The shape lies on the segment, behind its tip.
  m_rect = calc_rect(p, moving_dir_inv(m_udlr));
  m_term_point.copy_from(p);
}

} // namespace velkaro
