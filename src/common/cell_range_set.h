#pragma once
// A queue of intervals on one axis from which other intervals can be cut.
// Nothing merges, sorts or checks the intervals; they are copied in and out.
// A cut rewrites the queue in place (no allocation once it has its room).

#include <memory>
#include <vector>

#include "common/cell_range_index.h"

namespace velkaro {

class CellRangeSet {
public:
  static std::shared_ptr<CellRangeSet> create() { return std::make_shared<CellRangeSet>(); }

  // Appends a copy at the tail; returns true.
  bool add(const CellRangeIndex& range);
  // Empties the queue (keeping its room).
  void clear() { m_queue.clear(); }
  // Removes s from every held interval. A split interval comes back as the
  // piece after s followed by the piece before s; intervals that are not
  // enabled afterwards are dropped.
  void cut(const CellRangeIndex& s);
  // True when a held interval overlaps s; false for an empty set.
  bool is_overlap(const CellRangeIndex& s) const;
  // False for an empty set; otherwise true when every interval is enabled.
  bool get_is_enable() const;

  const std::vector<CellRangeIndex>& get_items() const { return m_queue; }

private:
  std::vector<CellRangeIndex> m_queue;
  // The queue a cut builds, kept for its room.
  std::vector<CellRangeIndex> m_next;
};

} // namespace velkaro
