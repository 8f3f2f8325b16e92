#include "common/cell_range_set.h"

#include <algorithm>

namespace velkaro {

bool CellRangeSet::add(const CellRangeIndex& range)
{
  m_queue.push_back(range);
  return true;
}

void CellRangeSet::cut(const CellRangeIndex& s)
{
  m_next.clear();
  for (CellRangeIndex r : m_queue) {
    if (auto after = r.cut(s))
      m_next.push_back(*after);
    if (r.get_is_enable())
      m_next.push_back(r);
  }
  m_queue.swap(m_next);
}

bool CellRangeSet::is_overlap(const CellRangeIndex& s) const
{
  return std::any_of(m_queue.begin(), m_queue.end(), [&](const auto& r) { return r.is_overlap(s); });
}

bool CellRangeSet::get_is_enable() const
{
  if (m_queue.empty())
    return false;
  return std::all_of(m_queue.begin(), m_queue.end(), [](const auto& r) { return r.get_is_enable(); });
}

} // namespace velkaro
