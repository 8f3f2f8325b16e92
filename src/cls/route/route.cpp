#include "cls/route/route.h"

#include "cls/route/segment.h"

namespace velkaro {

namespace {

// a, b and c lie on one column or on one row.
bool route_cells_in_line(const CellPos& a, const CellPos& b, const CellPos& c)
{
  return (a.x == b.x && b.x == c.x) || (a.y == b.y && b.y == c.y);
}

} // namespace

std::vector<std::shared_ptr<ClsSegment>> ClsRoute::new_segments() const
{
  std::vector<std::shared_ptr<ClsSegment>> segments;
  if (cells.size() < 2)
    return segments;
  CellPos s = cells[0];
  CellPos e = cells[1];
  std::shared_ptr<ClsSegment> prev;
  const auto close_run = [&]() {
    auto seg = ClsSegment::create(s, e, prev, nullptr);
    if (prev)
      prev->next = seg;
    segments.push_back(seg);
    prev = std::move(seg);
  };
  for (size_t i = 2; i < cells.size(); ++i) {
    const CellPos& p = cells[i];
    if (!route_cells_in_line(s, e, p)) {
      close_run();
      s = e;
    }
    e = p;
  }
  close_run();
  return segments;
}

} // namespace velkaro
