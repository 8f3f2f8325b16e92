#include "common/cell_range.h"

#include <algorithm>

namespace velkaro {

CellRange& CellRange::offset(const CellPos& o)
{
  start = start.add(o);
  end = end.add(o);
  return *this;
}

void CellRange::ensure_consistency()
{
  CellPos s{std::min(start.x, end.x), std::min(start.y, end.y)};
  CellPos e{std::max(start.x, end.x), std::max(start.y, end.y)};
  start = s;
  end = e;
}

} // namespace velkaro
