// A segment's geometry, its neighbours and linked elements, and its springs.

#include "cls/route/segment.h"

#include <algorithm>
#include <cstdlib>

#include <glib.h>

#include "cls/route/spring_edge.h"
#include "common/check.h"
#include "model/element.h"
#include "model/grid.h"

namespace velkaro {

ClsSegment::SegmentPtr ClsSegment::create(const CellPos& start, const CellPos& end,
                                          const SegmentPtr& prev, const SegmentPtr& next)
{
  auto seg = std::make_shared<ClsSegment>(start, end);
  seg->prev = prev;
  seg->next = next;
  return seg;
}

ClsSegment::ClsSegment(const CellPos& s, const CellPos& e) : start(s), end(e) {}

// --- the layout node ----------------------------------------------------------

double ClsSegment::get_pos() const
{
  return get_hv() == CellDir::v ? start_point.get_x() : start_point.get_y();
}

void ClsSegment::set_pos(double pos)
{
  const CellDir across = cell_dir_inv(get_hv());
  start_point.set(across, pos);
  end_point.set(across, pos);
  if (const SegmentPtr p = prev.lock())
    p->end_point.set(across, pos);
  if (const SegmentPtr n = next.lock())
    n->start_point.set(across, pos);
  is_laid_out = true;
  renewed = false;
  notify("pos");
}

double ClsSegment::get_energy() const
{
  const int32_t count = get_springs_count();
  // Without springs nothing presses the segment either way.
  if (count == 0)
    return 0.0;
  double sum = 0.0;
  for (const SpringPtr& s : m_left_springs)
    sum += s->get_energy();
  for (const SpringPtr& s : m_right_springs)
    sum -= s->get_energy();
  return sum / count;
}

// --- axis, direction and ranges -------------------------------------------------

CellDir ClsSegment::get_hv() const
{
  return start.x == end.x ? CellDir::v : CellDir::h;
}

MovingDir ClsSegment::get_udlr() const
{
  if (get_hv() == CellDir::v)
    return end.y - start.y > 0 ? MovingDir::down : MovingDir::up;
  return end.x - start.x < 1 ? MovingDir::left : MovingDir::right;
}

CellRangeIndex ClsSegment::get_range() const
{
  const CellDir hv = get_hv();
  CellRangeIndex r{start.get(hv), end.get(hv)};
  r.ensure_consistency();
  return r;
}

CellRangeIndex ClsSegment::get_range_without_elem() const
{
  const CellDir hv = get_hv();
  // +1 when the segment runs towards higher coordinates.
  const MovingDir d = get_udlr();
  const int32_t step = d == MovingDir::down || d == MovingDir::right ? 1 : -1;
  CellRangeIndex r{start.get(hv), end.get(hv)};
  if (start_elem)
    r.start += step;
  if (end_elem)
    r.end -= step;
  r.ensure_consistency();
  return r;
}

int32_t ClsSegment::get_size() const
{
  const CellDir hv = get_hv();
  return std::abs(end.get(hv) - start.get(hv)) + 1;
}

int32_t ClsSegment::get_cell_pos_orth() const
{
  return start.get(cell_dir_inv(get_hv()));
}

bool ClsSegment::is_pos_collinear(const CellPos& pos) const
{
  return pos.get(cell_dir_inv(get_hv())) == get_cell_pos_orth();
}

bool ClsSegment::is_range_collinear(const CellRange& range) const
{
  return range.get_range_index(cell_dir_inv(get_hv())).contains(get_cell_pos_orth());
}

bool ClsSegment::is_seg_collinear(const ClsSegment& seg) const
{
  return get_hv() == seg.get_hv() && get_cell_pos_orth() == seg.get_cell_pos_orth();
}

bool ClsSegment::is_term_pos_eq(const CellPos& pos) const
{
  return start.is_eq(pos) || end.is_eq(pos);
}

// --- neighbours and linked elements ------------------------------------------------

ClsSegment::SegmentPtr ClsSegment::get_smaller_segment() const
{
  const CellDir hv = get_hv();
  return end.get(hv) < start.get(hv) ? next.lock() : prev.lock();
}

ClsSegment::SegmentPtr ClsSegment::get_bigger_segment() const
{
  const CellDir hv = get_hv();
  return end.get(hv) < start.get(hv) ? prev.lock() : next.lock();
}

CellPos ClsSegment::get_further_pos(const ClsSegment* seg) const
{
  if (seg) {
    if (seg == prev.lock().get())
      return seg->start;
    if (seg == next.lock().get())
      return seg->end;
  }
  return CellPos{-1, -1};
}

bool ClsSegment::links_the_elem(const ModelElement& elem) const
{
  return start_elem.get() == &elem || end_elem.get() == &elem;
}

bool ClsSegment::foreach_linked_elem(const ElementFunc& fn) const
{
  bool result = true;
  if (start_elem)
    result = fn(start_elem);
  if (end_elem && result)
    result = fn(end_elem);
  return result;
}

bool ClsSegment::get_is_start_near_to_org() const
{
  const CellDir hv = get_hv();
  return end.get(hv) >= start.get(hv);
}

ClsSegment::ElementPtr ClsSegment::get_linked_elem_near_to_org() const
{
  return get_is_start_near_to_org() ? start_elem : end_elem;
}

ClsSegment::ElementPtr ClsSegment::get_linked_elem_far_from_org() const
{
  return get_is_start_near_to_org() ? end_elem : start_elem;
}

ClsSegment::ElementPtr ClsSegment::get_linked_elem() const
{
  return start_elem ? start_elem : end_elem;
}

double ClsSegment::side_of(ModelElement& elem) const
{
  return elem.get_rect().get_size(cell_dir_inv(get_hv()));
}

double ClsSegment::extent_of(ModelElement& elem) const
{
  return elem.get_rect().get_size(get_hv());
}

ClsSegment::ElementPtr ClsSegment::get_linked_min_side_size_elem() const
{
  if (!start_elem && !end_elem)
    return nullptr;
  const ElementPtr n = get_linked_elem_near_to_org();
  const ElementPtr f = get_linked_elem_far_from_org();
  const double sn = n ? side_of(*n) : CLAMP_HIGH;
  const double sf = f ? side_of(*f) : CLAMP_HIGH;
  if (std::abs(sn - sf) < 0.0001)
    return n;
  return sn < sf ? n : f;
}

double ClsSegment::get_min_elem_size() const
{
  if (!start_elem && !end_elem)
    return 0.0;
  double m = CLAMP_HIGH;
  if (start_elem)
    m = extent_of(*start_elem);
  if (end_elem)
    m = std::min(m, extent_of(*end_elem));
  return m;
}

Rectangle ClsSegment::get_rect(const ModelGrid& grid) const
{
  const auto ps = grid.get_top_left_point(start);
  const auto pe = grid.get_top_left_point(end);
  double px = start_point.get_x() + ps.get_x();
  double py = start_point.get_y() + ps.get_y();
  double rx = end_point.get_x() + pe.get_x();
  double ry = end_point.get_y() + pe.get_y();
  if (get_hv() == CellDir::h) {
    if (rx < px) {
      std::swap(px, rx);
      std::swap(py, ry);
    }
    return Rectangle{px, py, rx - px, 0};
  }
  if (ry < py) {
    std::swap(px, rx);
    std::swap(py, ry);
  }
  return Rectangle{px, py, 0, ry - py};
}

// --- springs ---------------------------------------------------------------------

void ClsSegment::init_link_spring()
{
  m_left_springs.clear();
  m_right_springs.clear();
}

namespace {

void add_spring_once(std::vector<ClsSegment::SpringPtr>& springs,
                     const ClsSegment::SpringPtr& spring)
{
  if (std::find(springs.begin(), springs.end(), spring) == springs.end())
    springs.push_back(spring);
}

} // namespace

void ClsSegment::link_left_spring(const SpringPtr& spring)
{
  VK_CHECK(spring != nullptr);
  add_spring_once(m_left_springs, spring);
}

void ClsSegment::link_right_spring(const SpringPtr& spring)
{
  VK_CHECK(spring != nullptr);
  add_spring_once(m_right_springs, spring);
}

bool ClsSegment::foreach_spring_edge(const SpringFunc& fn) const
{
  bool result = true;
  for (const SpringPtr& s : m_left_springs)
    if (!fn(ClsLinkDir::left, s)) {
      result = false;
      break;
    }
  if (result)
    for (const SpringPtr& s : m_right_springs)
      if (!fn(ClsLinkDir::right, s))
        break;
  return result;
}

int32_t ClsSegment::get_springs_count() const
{
  return static_cast<int32_t>(m_left_springs.size() + m_right_springs.size());
}

void ClsSegment::clamp_pos()
{
  double lo = CLAMP_LOW;
  double hi = CLAMP_HIGH;
  for (const SpringPtr& s : m_left_springs)
    if (const ClsILayoutableNode* node = s->find_left_node())
      lo = std::max(lo, node->get_pos());
  for (const SpringPtr& s : m_right_springs)
    if (const ClsILayoutableNode* node = s->find_right_node())
      hi = std::min(hi, node->get_pos());
  const double pos = get_pos();
  if (pos < lo)
    set_pos(lo);
  else if (pos > hi)
    set_pos(hi);
}

void ClsSegment::debug_lr_linked_spring() const
{
  g_debug("segment:214: seg:%p", static_cast<const void*>(this));
  foreach_spring_edge([](ClsLinkDir dir, const SpringPtr& s) {
    g_debug("segment:216:   %s linked %p", cls_link_dir_to_string(dir).c_str(),
            static_cast<const void*>(s.get()));
    return true;
  });
}

} // namespace velkaro
