#pragma once
// A rectangle of cells from start to end, both corners included. Ranges are
// shared (std::shared_ptr<CellRange>): offset() and ensure_consistency()
// change the range every holder sees. The corners stay in the order the
// caller stores them until ensure_consistency() makes start the top-left.

#include <memory>
#include <string>

#include "common/cell_pos.h"
#include "common/cell_range_index.h"

namespace velkaro {

struct CellRange {
  CellPos start;
  CellPos end;

  static std::shared_ptr<CellRange> create(CellPos start = {}, CellPos end = {})
  {
    return std::make_shared<CellRange>(CellRange{start, end});
  }
  std::shared_ptr<CellRange> duplicate() const { return create(start, end); }

  // Adds offset to both corners in place; returns the same range for chaining.
  CellRange& offset(const CellPos& offset);
  // Makes start the top-left corner and end the bottom-right one.
  void ensure_consistency();

  // Calls fn(x, y) row by row from start to end, both included. A range whose
  // start lies after its end on either axis yields no calls.
  template <class F>
  void foreach(F&& fn) const
  {
    // 64-bit counters: a corner on the largest 32-bit index must end the walk.
    for (int64_t y = start.y; y <= end.y; ++y)
      for (int64_t x = start.x; x <= end.x; ++x)
        fn(static_cast<int32_t>(x), static_cast<int32_t>(y));
  }

  bool is_pos_inside(const CellPos& p) const
  {
    return start.x <= p.x && p.x <= end.x && start.y <= p.y && p.y <= end.y;
  }
  CellRangeIndex get_h() const { return {start.x, end.x}; }
  CellRangeIndex get_v() const { return {start.y, end.y}; }
  // get_h() for h, get_v() for every other value.
  CellRangeIndex get_range_index(CellDir dir) const { return dir == CellDir::h ? get_h() : get_v(); }
  bool get_is_valid() const
  {
    return start.get_is_valid() && end.get_is_valid() && end.x >= start.x && end.y >= start.y;
  }
  // The end corner when a is the start corner, else the start corner.
  CellPos opposite(const CellPos& a) const { return a == start ? end : start; }
  // "(x, y)-(x, y)".
  std::string to_string() const { return start.to_string() + "-" + end.to_string(); }
};

} // namespace velkaro
