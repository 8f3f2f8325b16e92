#include "common/cell_range_index.h"

#include <cstdlib>
#include <utility>

#include <glib.h>

namespace velkaro {

CellRangeIndex CellRangeIndex::or_(const CellRangeIndex& r) const
{
  return {r.start < start ? r.start : start, r.end > end ? r.end : end};
}

std::optional<CellRangeIndex> CellRangeIndex::cut(const CellRangeIndex& s)
{
  if (s.start <= start) {
    if (s.end >= start)
      start = s.end + 1; // s covers the head (and maybe the tail too)
    return std::nullopt;
  }
  if (s.end >= end) {
    if (s.start <= end)
      end = s.start - 1; // s covers the tail
    return std::nullopt;
  }
  // s lies strictly inside: keep the head, hand back the piece after s.
  CellRangeIndex after{s.end + 1, end};
  end = s.start - 1;
  return after;
}

void CellRangeIndex::ensure_consistency()
{
  if (start >= 0 && end >= 0 && start > end)
    std::swap(start, end);
}

int32_t CellRangeIndex::get_size() const
{
  return std::abs(end - start) + 1;
}

void CellRangeIndex::debug_print(const std::string& prefix) const
{
  g_debug("common:447: %s start=%d, end=%d", prefix.c_str(), start, end);
}

CellRangeIndex CellRangeIndex::widen(int32_t before, int32_t after) const
{
  CellRangeIndex r{start - before, end + after};
  if (r.start < 0)
    r.start = 0;
  if (r.end < 0)
    r.end = 0;
  r.ensure_consistency();
  return r;
}

CellRangeIndex CellRangeIndex::extend(MovingDir dir, int32_t n) const
{
  if (dir == MovingDir::up || dir == MovingDir::left)
    return widen(n, 0);
  return widen(0, n);
}

} // namespace velkaro
