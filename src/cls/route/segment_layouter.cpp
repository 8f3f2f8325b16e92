#include "cls/route/segment_layouter.h"

#include <algorithm>
#include <optional>

#include "cls/route/related_segments.h"
#include "cls/route/segment.h"
#include "common/check.h"

namespace velkaro {

namespace {

// A segment asked to be laid out again is asked because something its
// layout reads changed: it no longer stands for a renewed one.
void set_laid_out(ClsSegment& seg, bool value)
{
  seg.is_laid_out = value;
  if (!value)
    seg.renewed = false;
}

} // namespace

std::shared_ptr<ClsSegmentLayouter> ClsSegmentLayouter::create(
    const std::shared_ptr<ModelGrid>& grid)
{
  VK_CHECK_VAL(grid != nullptr, nullptr);
  return std::make_shared<ClsSegmentLayouter>(grid);
}

ClsSegmentLayouter::ClsSegmentLayouter(const std::shared_ptr<ModelGrid>& grid) : m_grid(grid) {}

uint64_t ClsSegmentLayouter::line_key(const ClsSegment& seg)
{
  const auto across = static_cast<uint32_t>(seg.get_cell_pos_orth());
  return (uint64_t{seg.get_hv() == CellDir::v} << 32) | across;
}

std::optional<size_t> ClsSegmentLayouter::index_of(const ClsSegment& seg) const
{
  const auto line = m_lines.find(line_key(seg));
  if (line == m_lines.end())
    return std::nullopt;
  for (const size_t i : line->second)
    if (m_segments[i].get() == &seg)
      return i;
  return std::nullopt;
}

bool ClsSegmentLayouter::add(const SegmentPtr& seg)
{
  if (!seg)
    return false;
  auto& line = m_lines[line_key(*seg)];
  for (const size_t i : line)
    if (m_segments[i] == seg)
      return false;
  // The set grows at its end: the line stays in the set's order.
  line.push_back(m_segments.size());
  m_segments.push_back(seg);
  return true;
}

void ClsSegmentLayouter::add_all(const std::vector<SegmentPtr>& segs)
{
  for (const SegmentPtr& s : segs)
    add(s);
}

bool ClsSegmentLayouter::remove(const SegmentPtr& seg)
{
  const std::optional<size_t> at = seg ? index_of(*seg) : std::nullopt;
  if (!at)
    return false;
  const size_t i = *at;
  const auto line = m_lines.find(line_key(*seg));
  auto& members = line->second;
  members.erase(std::lower_bound(members.begin(), members.end(), i));
  if (members.empty())
    m_lines.erase(line);
  const size_t last = m_segments.size() - 1;
  if (i != last) {
    // The last segment moves into the gap, and to its place in its line.
    m_segments[i] = std::move(m_segments.back());
    auto& moved = m_lines[line_key(*m_segments[i])];
    moved.erase(std::lower_bound(moved.begin(), moved.end(), last));
    moved.insert(std::lower_bound(moved.begin(), moved.end(), i), i);
  }
  m_segments.pop_back();
  return true;
}

void ClsSegmentLayouter::remove_all(const std::vector<SegmentPtr>& segs)
{
  for (const SegmentPtr& s : segs)
    remove(s);
}

bool ClsSegmentLayouter::contains(const SegmentPtr& seg) const
{
  return seg && index_of(*seg);
}

std::vector<ClsSegmentLayouter::SegmentPtr> ClsSegmentLayouter::segments_on_line_of(
    const ClsSegment& seg) const
{
  std::vector<SegmentPtr> found;
  const auto line = m_lines.find(line_key(seg));
  if (line == m_lines.end())
    return found;
  found.reserve(line->second.size());
  for (const size_t i : line->second)
    found.push_back(m_segments[i]);
  return found;
}

std::shared_ptr<ClsRelatedSegments> ClsSegmentLayouter::new_related_segments(
    const SegmentPtr& seg) const
{
  VK_CHECK_VAL(seg != nullptr, nullptr);
  // The group grows over the segments on seg's line only, in the set's
  // order: those the whole set would offer it, in the same order.
  std::vector<const SegmentPtr*> line;
  if (const auto it = m_lines.find(line_key(*seg)); it != m_lines.end()) {
    line.reserve(it->second.size());
    for (const size_t i : it->second)
      line.push_back(&m_segments[i]);
  }
  return ClsRelatedSegments::create_over(line, seg, m_grid);
}

void ClsSegmentLayouter::layout(const SegmentPtr& seg)
{
  VK_CHECK(seg != nullptr);
  const auto group = new_related_segments(seg);
  if (!group->get_is_laid_out())
    group->layout();
}

void ClsSegmentLayouter::layout_not_laid_out_segs()
{
  for (size_t i = 0; i < m_segments.size(); ++i)
    if (!m_segments[i]->is_laid_out)
      new_related_segments(m_segments[i])->layout_if_changed();
}

void ClsSegmentLayouter::layout_every_group()
{
  // Each segment's group, once: the member of each group that comes last in
  // the set.
  std::vector<bool> grouped(m_segments.size(), false);
  std::vector<size_t> lasts;
  for (size_t i = 0; i < m_segments.size(); ++i) {
    if (grouped[i])
      continue;
    size_t last = i;
    const auto group = new_related_segments(m_segments[i]);
    for (const SegmentPtr& m : group->get_segments()) {
      const std::optional<size_t> at = index_of(*m);
      if (!at)
        continue;
      grouped[*at] = true;
      last = std::max(last, *at);
    }
    lasts.push_back(last);
  }
  // In the order the last layout of each group comes in the walk.
  std::sort(lasts.begin(), lasts.end());
  for (const size_t i : lasts)
    new_related_segments(m_segments[i])->layout();
}

void ClsSegmentLayouter::layout_every_group_as_new()
{
  // Walked in the set's order, a group is met first at its member first in
  // the set: the segment layout_not_laid_out_segs() would build it from if
  // every segment were new.
  std::vector<bool> grouped(m_segments.size(), false);
  for (size_t i = 0; i < m_segments.size(); ++i) {
    if (grouped[i])
      continue;
    const auto group = new_related_segments(m_segments[i]);
    for (const SegmentPtr& m : group->get_segments())
      if (const std::optional<size_t> at = index_of(*m))
        grouped[*at] = true;
    group->layout_if_changed();
  }
}

void ClsSegmentLayouter::set_related_seg_laid_out(const SegmentPtr& seg, bool value)
{
  VK_CHECK(seg != nullptr);
  const auto group = new_related_segments(seg);
  for (const SegmentPtr& m : group->get_segments())
    set_laid_out(*m, value);
}

namespace {

bool crosses(const ClsSegment& s, const CellRange& range)
{
  const CellDir a = s.get_hv();
  const CellRangeIndex along = range.get_range_index(a);
  return s.is_range_collinear(range) || along.contains(s.start.get(a)) || along.contains(s.end.get(a));
}

} // namespace

void ClsSegmentLayouter::set_seg_laid_out_on_cross_area(const CellRange& range, bool value)
{
  for (const SegmentPtr& s : m_segments)
    if (crosses(*s, range))
      set_laid_out(*s, value);
}

void ClsSegmentLayouter::renew_seg_on_cross_area(const CellRange& range)
{
  for (const SegmentPtr& s : m_segments)
    if (s->is_laid_out && crosses(*s, range)) {
      s->is_laid_out = false;
      s->renewed = true;
    }
}

void ClsSegmentLayouter::set_seg_not_laid_out_linking(const std::vector<const ModelElement*>& elems)
{
  const auto linked = [&elems](const ClsSegment::ElementPtr& e) {
    return e && std::find(elems.begin(), elems.end(), e.get()) != elems.end();
  };
  for (const SegmentPtr& s : m_segments)
    if (linked(s->start_elem) || linked(s->end_elem))
      set_laid_out(*s, false);
}

void ClsSegmentLayouter::set_seg_laid_out_on_cross_line(const CellPos& cross_pos, bool value)
{
  set_seg_laid_out_on_cross_area(CellRange{cross_pos, cross_pos}, value);
}

} // namespace velkaro
