// A group of parallel segments: growing it, its springs, the even spread,
// the relaxation and the route ends.

#include "cls/route/related_segments.h"

#include <cmath>

#include "cls/route/fixed_layoutable_node.h"
#include "cls/route/iconnector_term.h"
#include "cls/route/segment.h"
#include "cls/route/spring_edge.h"
#include "common/cell_range_set.h"
#include "common/check.h"
#include "model/element.h"
#include "model/grid.h"

namespace velkaro {

std::shared_ptr<ClsRelatedSegments> ClsRelatedSegments::create(
    const std::vector<SegmentPtr>& seg_set, const SegmentPtr& target,
    const std::shared_ptr<ModelGrid>& grid)
{
  std::vector<const SegmentPtr*> set;
  set.reserve(seg_set.size());
  for (const SegmentPtr& s : seg_set)
    set.push_back(&s);
  return create_over(set, target, grid);
}

std::shared_ptr<ClsRelatedSegments> ClsRelatedSegments::create_over(
    const std::vector<const SegmentPtr*>& seg_set, const SegmentPtr& target,
    const std::shared_ptr<ModelGrid>& grid)
{
  VK_CHECK_VAL(target != nullptr, nullptr);
  VK_CHECK_VAL(grid != nullptr, nullptr);
  auto group = std::make_shared<ClsRelatedSegments>(target, grid);
  group->grow(seg_set);
  return group;
}

ClsRelatedSegments::ClsRelatedSegments(const SegmentPtr& target,
                                       const std::shared_ptr<ModelGrid>& grid)
    : m_grid(grid), m_hv(target->get_hv()), m_orth_pos(target->get_cell_pos_orth()),
      m_span(target->get_range_without_elem())
{
  add_member(target);
}

// --- growing ---------------------------------------------------------------------

void ClsRelatedSegments::add_member(const SegmentPtr& seg)
{
  m_segments.push_back(seg);
  seg->init_link_spring();
  count_e1_and_e2(*seg);
}

void ClsRelatedSegments::grow(const std::vector<const SegmentPtr*>& seg_set)
{
  const ClsSegment& target = *m_segments.front();
  // Only segments on the target's line can join: the passes walk them alone,
  // in the set's order, which changes nothing in what joins or when. A
  // candidate's span is read once; it leaves the walk when it joins.
  struct Candidate {
    const SegmentPtr* seg;
    CellRangeIndex range;
  };
  std::vector<Candidate> candidates;
  candidates.reserve(seg_set.size());
  for (const SegmentPtr* s : seg_set)
    if (*s && s->get() != &target && target.is_seg_collinear(**s))
      candidates.push_back({s, (*s)->get_range_without_elem()});
  for (bool added = true; added;) {
    added = false;
    size_t kept = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
      const Candidate c = candidates[i];
      if (!c.range.is_overlap(m_span)) {
        candidates[kept++] = c;
        continue;
      }
      // Later segments of the pass meet the widened span.
      m_span = m_span.or_(c.range);
      add_member(*c.seg);
      added = true;
    }
    candidates.resize(kept);
  }
  if (m_e1)
    m_e1_length = side_of(*m_e1) / (m_count_e1 + 1);
  if (m_e2)
    m_e2_length = side_of(*m_e2) / (m_count_e2 + 1);
}

void ClsRelatedSegments::count_e1_and_e2(const ClsSegment& seg)
{
  if (const ElementPtr n = seg.get_linked_elem_near_to_org()) {
    if (!m_e1)
      m_e1 = n;
    ++m_count_e1;
  }
  if (const ElementPtr f = seg.get_linked_elem_far_from_org()) {
    if (!m_e2)
      m_e2 = f;
    ++m_count_e2;
  }
}

double ClsRelatedSegments::side_of(ModelElement& elem) const
{
  return elem.get_rect().get_size(cell_dir_inv(m_hv));
}

// --- fixed nodes -------------------------------------------------------------------

void ClsRelatedSegments::update_node_lr(const ElementPtr& elem, NodePtr& l, NodePtr& r)
{
  if (l && r)
    return;
  // Without an element (no member reaches one) the pair stands at 0, so that
  // no caller meets a missing node.
  const Rectangle rect = elem ? elem->get_rect() : Rectangle{};
  const CellDir across = cell_dir_inv(m_hv);
  l = ClsFixedLayoutableNode::create(rect.get_start(across));
  r = ClsFixedLayoutableNode::create(rect.get_end(across));
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_g_l()
{
  if (!m_node_g_l)
    m_node_g_l = ClsFixedLayoutableNode::create(0.0);
  return m_node_g_l;
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_g_r()
{
  if (!m_node_g_r)
    m_node_g_r = ClsFixedLayoutableNode::create(
        m_grid->get(cell_dir_inv(m_hv))->get_size(m_orth_pos));
  return m_node_g_r;
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_e1_l()
{
  update_node_lr(m_e1, m_node_e1_l, m_node_e1_r);
  return m_node_e1_l;
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_e1_r()
{
  update_node_lr(m_e1, m_node_e1_l, m_node_e1_r);
  return m_node_e1_r;
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_e2_l()
{
  update_node_lr(m_e2, m_node_e2_l, m_node_e2_r);
  return m_node_e2_l;
}

const ClsRelatedSegments::NodePtr& ClsRelatedSegments::get_node_e2_r()
{
  update_node_lr(m_e2, m_node_e2_l, m_node_e2_r);
  return m_node_e2_r;
}

// --- layout ------------------------------------------------------------------------

void ClsRelatedSegments::layout()
{
  ClsSegment::sort(m_segments);
  layout_sorted();
}

bool ClsRelatedSegments::layout_if_changed()
{
  bool kept = true;
  for (const SegmentPtr& m : m_segments)
    kept = kept && (m->is_laid_out || m->renewed);
  ClsSegment::sort(m_segments);
  if (kept && lays_out_as_last()) {
    // As the layout would leave them, where they are.
    for (const SegmentPtr& m : m_segments) {
      m->is_laid_out = true;
      m->renewed = false;
    }
    return false;
  }
  layout_sorted();
  return true;
}

bool ClsRelatedSegments::lays_out_as_last() const
{
  const ClsGroupLayout* last = m_segments.front()->last_layout.get();
  if (!last || last->e1 != m_e1.get() || last->e2 != m_e2.get() || last->order.size() != m_segments.size())
    return false;
  for (size_t i = 0; i < m_segments.size(); ++i)
    if (last->order[i] != m_segments[i].get() || m_segments[i]->last_layout.get() != last)
      return false;
  return true;
}

void ClsRelatedSegments::layout_sorted()
{
  link();
  ready_to_sim();
  sim();
  adjust_start_and_end_pos();
  auto done = std::make_shared<ClsGroupLayout>();
  done->order.reserve(m_segments.size());
  for (const SegmentPtr& m : m_segments)
    done->order.push_back(m.get());
  done->e1 = m_e1.get();
  done->e2 = m_e2.get();
  for (const SegmentPtr& m : m_segments)
    m->last_layout = done;
}

namespace {

void related_spring(const std::shared_ptr<ClsILayoutableNode>& left,
                    const std::shared_ptr<ClsILayoutableNode>& right, double length,
                    ClsSegment* left_seg, ClsSegment* right_seg)
{
  const auto spring = ClsSpringEdge::create(left, right, length);
  if (left_seg)
    left_seg->link_right_spring(spring);
  if (right_seg)
    right_seg->link_left_spring(spring);
}

} // namespace

void ClsRelatedSegments::link()
{
  const size_t n = m_segments.size();
  SegmentPtr first_free, last_free, first_e1, last_e1, first_e2, last_e2;
  const auto note = [](SegmentPtr& first, SegmentPtr& last, const SegmentPtr& m) {
    if (!first)
      first = m;
    last = m;
  };
  for (size_t i = 0; i < n; ++i) {
    const SegmentPtr& mi = m_segments[i];
    const bool free = !mi->get_links_elem();
    if (free) {
      note(first_free, last_free, mi);
    } else {
      mi->foreach_linked_elem([&](const ElementPtr& x) {
        if (x == m_e1)
          note(first_e1, last_e1, mi);
        if (x == m_e2)
          note(first_e2, last_e2, mi);
        return true;
      });
    }
    // What of mi's range no member met so far covers: a member further on
    // that overlaps only covered cells is shadowed and gets no spring.
    CellRangeSet open;
    open.add(mi->get_range());
    for (size_t j = i + 1; j < n; ++j) {
      const SegmentPtr& mj = m_segments[j];
      const CellRangeIndex rj = mj->get_range();
      if (!open.is_overlap(rj))
        continue;
      if (free) {
        related_spring(mi, mj, 0.0, mi.get(), mj.get());
      } else {
        mj->foreach_linked_elem([&](const ElementPtr& x) {
          if (mi->links_the_elem(*x))
            related_spring(mi, mj, x == m_e1 ? m_e1_length : m_e2_length, mi.get(), mj.get());
          return true;
        });
      }
      open.cut(rj);
      if (!open.get_is_enable())
        break;
    }
  }
  if (first_free)
    related_spring(get_node_g_l(), first_free, 0.0, nullptr, first_free.get());
  if (last_free)
    related_spring(last_free, get_node_g_r(), 0.0, last_free.get(), nullptr);
  if (first_e1)
    related_spring(get_node_e1_l(), first_e1, m_e1_length, nullptr, first_e1.get());
  if (last_e1)
    related_spring(last_e1, get_node_e1_r(), m_e1_length, last_e1.get(), nullptr);
  if (first_e2)
    related_spring(get_node_e2_l(), first_e2, m_e2_length, nullptr, first_e2.get());
  if (last_e2)
    related_spring(last_e2, get_node_e2_r(), m_e2_length, last_e2.get(), nullptr);

  if (first_free) {
    m_spread_width = get_node_g_r()->get_pos() - get_node_g_l()->get_pos();
    m_spread_origin = 0.0;
    return;
  }
  const double w1 = first_e1 ? get_node_e1_r()->get_pos() - get_node_e1_l()->get_pos() : -1.0;
  const double w2 = first_e2 ? get_node_e2_r()->get_pos() - get_node_e2_l()->get_pos() : -1.0;
  if (w1 <= w2) {
    m_spread_width = w2;
    m_spread_origin = get_node_e2_l()->get_pos();
  } else {
    m_spread_width = w1;
    m_spread_origin = get_node_e1_l()->get_pos();
  }
}

void ClsRelatedSegments::ready_to_sim()
{
  const double n = static_cast<double>(m_segments.size());
  for (size_t i = 0; i < m_segments.size(); ++i) {
    m_segments[i]->set_pos((static_cast<double>(i) + 1) * m_spread_width / (n + 1) +
                           m_spread_origin);
    m_segments[i]->set_velocity(0.0);
  }
  for (const SegmentPtr& m : m_segments)
    m->clamp_pos();
}

void ClsRelatedSegments::sim()
{
  m_sim_iterations = 0;
  while (m_sim_iterations < MAX_ITERATIONS) {
    ++m_sim_iterations;
    // Signed: opposite energies cancel in the stop test.
    double sum = 0.0;
    for (const SegmentPtr& m : m_segments) {
      double e = m->get_energy();
      // Finite positions give finite energies; a position from elsewhere
      // that is not finite must not spread through the group.
      if (!std::isfinite(e))
        e = 0.0;
      const double velocity = e * VELOCITY_FACTOR;
      m->set_velocity(velocity);
      m->set_pos(m->get_pos() + velocity);
      m->clamp_pos();
      sum += e;
    }
    if (std::abs(sum) < STOP_ENERGY)
      break;
  }
}

// --- route ends -------------------------------------------------------------------

void ClsRelatedSegments::adjust_pos_linked_rect(Point& p, const Rectangle& rect, MovingDir d)
{
  switch (d) {
  case MovingDir::up: p.set_y(rect.y); break;
  case MovingDir::down: p.set_y(rect.y + rect.height); break;
  case MovingDir::left: p.set_x(rect.x); break;
  case MovingDir::right: p.set_x(rect.x + rect.width); break;
  }
}

void ClsRelatedSegments::adjust_pos_center_rect(Point& p, const Rectangle& rect) const
{
  if (m_hv == CellDir::h)
    p.set_x(rect.width / 2);
  else
    p.set_y(rect.height / 2);
}

void ClsRelatedSegments::adjust_pos_setback(Point& p, int32_t setback, MovingDir d)
{
  switch (d) {
  case MovingDir::up: p.set_y(p.get_y() - setback); break;
  case MovingDir::down: p.set_y(p.get_y() + setback); break;
  case MovingDir::left: p.set_x(p.get_x() - setback); break;
  case MovingDir::right: p.set_x(p.get_x() + setback); break;
  }
}

void ClsRelatedSegments::adjust_start_and_end_pos()
{
  for (const SegmentPtr& m : m_segments) {
    const bool first = m->prev.expired();
    const bool last = m->next.expired();
    if (!first && !last)
      continue;
    const MovingDir d = m->get_udlr();
    if (m->start_elem)
      adjust_pos_linked_rect(m->start_point, m->start_elem->get_rect(), d);
    else if (first)
      adjust_pos_center_rect(m->start_point, m_grid->get_rect(m->start.x, m->start.y));
    if (m->end_elem)
      adjust_pos_linked_rect(m->end_point, m->end_elem->get_rect(), moving_dir_inv(d));
    else if (last)
      adjust_pos_center_rect(m->end_point, m_grid->get_rect(m->end.x, m->end.y));
    if (m->start_term) {
      m->start_term->layout_by_segment(*m, false);
      adjust_pos_setback(m->start_point, m->start_term->get_seg_term_setback(), d);
    }
    if (m->end_term) {
      m->end_term->layout_by_segment(*m, true);
      adjust_pos_setback(m->end_point, m->end_term->get_seg_term_setback(), moving_dir_inv(d));
    }
  }
}

// --- queries -----------------------------------------------------------------------

ClsRelatedSegments::ElementPtr ClsRelatedSegments::get_linked_min_side_size_elem() const
{
  ElementPtr result;
  for (const SegmentPtr& m : m_segments) {
    const ElementPtr e = m->get_linked_min_side_size_elem();
    if (e && (!result || side_of(*e) < side_of(*result)))
      result = e;
  }
  return result;
}

bool ClsRelatedSegments::get_is_laid_out() const
{
  bool laid_out = false;
  for (const SegmentPtr& m : m_segments) {
    laid_out = m->is_laid_out;
    if (!laid_out)
      break;
  }
  return laid_out;
}

} // namespace velkaro
