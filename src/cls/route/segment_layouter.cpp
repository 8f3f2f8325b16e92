#include "cls/route/segment_layouter.h"

#include "cls/route/related_segments.h"
#include "cls/route/segment.h"
#include "common/check.h"

namespace velkaro {

std::shared_ptr<ClsSegmentLayouter> ClsSegmentLayouter::create(
    const std::shared_ptr<ModelGrid>& grid)
{
  VK_CHECK_VAL(grid != nullptr, nullptr);
  return std::make_shared<ClsSegmentLayouter>(grid);
}

ClsSegmentLayouter::ClsSegmentLayouter(const std::shared_ptr<ModelGrid>& grid) : m_grid(grid) {}

bool ClsSegmentLayouter::add(const SegmentPtr& seg)
{
  if (!seg || m_index.count(seg.get()))
    return false;
  m_index.emplace(seg.get(), m_segments.size());
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
  const auto it = seg ? m_index.find(seg.get()) : m_index.end();
  if (it == m_index.end())
    return false;
  const size_t i = it->second;
  m_index.erase(it);
  if (i + 1 != m_segments.size()) {
    m_segments[i] = std::move(m_segments.back());
    m_index[m_segments[i].get()] = i;
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
  return seg && m_index.count(seg.get());
}

std::shared_ptr<ClsRelatedSegments> ClsSegmentLayouter::new_related_segments(
    const SegmentPtr& seg) const
{
  VK_CHECK_VAL(seg != nullptr, nullptr);
  return ClsRelatedSegments::create(m_segments, seg, m_grid);
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
      new_related_segments(m_segments[i])->layout();
}

void ClsSegmentLayouter::set_related_seg_laid_out(const SegmentPtr& seg, bool value)
{
  VK_CHECK(seg != nullptr);
  const auto group = new_related_segments(seg);
  for (const SegmentPtr& m : group->get_segments())
    m->is_laid_out = value;
}

void ClsSegmentLayouter::set_seg_laid_out_on_cross_area(const CellRange& range, bool value)
{
  for (const SegmentPtr& s : m_segments) {
    const CellDir a = s->get_hv();
    const CellRangeIndex along = range.get_range_index(a);
    if (s->is_range_collinear(range) || along.contains(s->start.get(a)) ||
        along.contains(s->end.get(a)))
      s->is_laid_out = value;
  }
}

void ClsSegmentLayouter::set_seg_laid_out_on_cross_line(const CellPos& cross_pos, bool value)
{
  set_seg_laid_out_on_cross_area(CellRange{cross_pos, cross_pos}, value);
}

} // namespace velkaro
