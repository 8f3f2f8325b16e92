#include "model/grid_list.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velkaro {
namespace {

// Truncates toward zero; values beyond the 32-bit range saturate and NaN
// gives 0, so that a far-away or broken position never overflows.
int32_t trunc_to_int32(double d)
{
  if (std::isnan(d))
    return 0;
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(std::trunc(d), lo, hi));
}

} // namespace

bool ModelGridGridList::binary_search(int32_t i, size_t& pos) const
{
  size_t low = 0;
  size_t high = m_list.size(); // one past the last candidate
  size_t mid = 0;
  while (low < high) {
    mid = (low + high - 1) / 2;
    const int32_t index = m_list[mid].index;
    if (index == i) {
      pos = mid;
      return true;
    }
    if (index < i)
      low = mid + 1;
    else
      high = mid;
  }
  pos = mid;
  return false;
}

double ModelGridGridList::get(int32_t i) const
{
  if (i < 0)
    return 0;
  if (static_cast<size_t>(i) < m_table.size())
    return m_table[static_cast<size_t>(i)];
  if (m_table.empty() && !m_list.empty()) {
    const auto lines = static_cast<uint64_t>(m_list.back().index) + 1;
    if (++m_gets >= lines / 8 + 16) {
      m_table.reserve(lines);
      for (int32_t k = 0; static_cast<uint64_t>(k) < lines; ++k)
        m_table.push_back(look_up(k));
      if (static_cast<size_t>(i) < m_table.size())
        return m_table[static_cast<size_t>(i)];
    }
  }
  return look_up(i);
}

double ModelGridGridList::look_up(int32_t i) const
{
  if (m_list.empty())
    return (static_cast<double>(i) + 1) * m_min_size;
  size_t m = 0;
  if (binary_search(i, m))
    return m_list[m].edge;
  const ModelGridGridData& e = m_list[m];
  if (e.index > i) {
    if (m == 0)
      return (static_cast<double>(i) + 1) * m_min_size;
    const ModelGridGridData& p = m_list[m - 1];
    return p.edge + m_min_size * (static_cast<double>(i) - p.index);
  }
  return e.edge + m_min_size * (static_cast<double>(i) - e.index);
}

void ModelGridGridList::set(int32_t i, double edge)
{
  if (i < 0)
    return;
  changed();
  if (m_list.empty()) {
    m_list.push_back({i, edge});
    return;
  }
  size_t m = 0;
  if (binary_search(i, m)) {
    shift_pos(m + 1, edge - m_list[m].edge);
    m_list[m].edge = edge;
    return;
  }
  const double d = edge - get(i);
  if (std::abs(d) <= TOLERANCE)
    return;
  const size_t at = m_list[m].index > i ? m : m + 1;
  shift_pos(at, d);
  m_list.insert(m_list.begin() + static_cast<std::ptrdiff_t>(at), ModelGridGridData{i, edge});
}

double ModelGridGridList::get_size(int32_t i) const
{
  return get(i) - get(line_before(i));
}

void ModelGridGridList::set_size(int32_t i, double size)
{
  if (i < 0)
    return;
  // Written so that NaN, too, becomes min_size.
  if (!(size >= m_min_size))
    size = m_min_size;
  set(i, get(i - 1) + size);
}

void ModelGridGridList::ins(int32_t i)
{
  if (i < 0 || m_list.empty())
    return;
  changed();
  size_t m = 0;
  const bool found = binary_search(i, m);
  const size_t from = found || m_list[m].index > i ? m : m + 1;
  shift_index(from, 1);
  shift_pos(from, m_min_size);
}

void ModelGridGridList::rm(int32_t i)
{
  if (i < 0 || m_list.empty())
    return;
  changed();
  size_t m = 0;
  if (binary_search(i, m)) {
    const double size = m_list[m].edge - get(i - 1);
    shift_pos(m + 1, -size);
    shift_index(m + 1, -1);
    m_list.erase(m_list.begin() + static_cast<std::ptrdiff_t>(m));
    return;
  }
  const size_t from = m_list[m].index > i ? m : m + 1;
  shift_pos(from, -m_min_size);
  shift_index(from, -1);
}

int32_t ModelGridGridList::get_index(double pos) const
{
  if (m_list.empty())
    return trunc_to_int32(pos / m_min_size);
  for (size_t k = 0; k < m_list.size(); ++k) {
    const ModelGridGridData& q = m_list[k];
    if (!(pos < q.edge))
      continue;
    const ModelGridGridData* p = k > 0 ? &m_list[k - 1] : nullptr;
    const double near_edge = p ? p->edge + (static_cast<double>(q.index) - p->index - 1) * m_min_size
                               : static_cast<double>(q.index) * m_min_size;
    if (pos >= near_edge)
      return q.index;
    // pos lies in the unlisted lines between p and q.
    const int64_t below = p ? p->index : -1;
    const int64_t lines = trunc_to_int32((pos - (p ? p->edge : 0)) / m_min_size);
    return static_cast<int32_t>(std::clamp<int64_t>(below + lines + 1, INT32_MIN, INT32_MAX));
  }
  const ModelGridGridData& l = m_list.back();
  return trunc_to_int32(l.index + (pos - l.edge) / m_min_size + 1);
}

double ModelGridGridList::get_last() const
{
  return m_list.empty() ? 0 : m_list.back().edge;
}

void ModelGridGridList::shift_pos(size_t from, double delta)
{
  for (size_t k = from; k < m_list.size(); ++k)
    m_list[k].edge += delta;
}

void ModelGridGridList::shift_index(size_t from, int32_t delta)
{
  for (size_t k = from; k < m_list.size(); ++k)
    m_list[k].index += delta;
}

} // namespace velkaro
