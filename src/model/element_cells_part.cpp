// The covering map of a part of the cells, answered from the covering index:
// what drawing a page needs, in time of what the page shows.

#include <algorithm>
#include <cstdint>

#include "common/cell_range.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/expanded_cells.h"

namespace velkaro {

std::shared_ptr<ModelExpandedCells> ModelElementCells::expand_part(const CellRange& range) const
{
  // A mirror copies everything, as a walk of the whole map would.
  if (m_source)
    touch_all();
  ensure_index();
  auto part = ModelExpandedCells::create();
  const auto first_row = m_rows_cover.lower_bound(range.start.y);
  for (auto row = first_row; row != m_rows_cover.end() && row->first <= range.end.y; ++row) {
    const int32_t y = row->first;
    // The row's elements come in the order of the expanded cells, so each
    // stack gets them in its own order.
    for (const Placed* p : row->second.elms) {
      const int64_t far = int64_t{p->anchor.x} + p->dh;
      const int64_t lo = std::max<int64_t>(std::min<int64_t>(p->anchor.x, far), range.start.x);
      const int64_t hi = std::min<int64_t>(std::max<int64_t>(p->anchor.x, far), range.end.x);
      for (int64_t x = lo; x <= hi; ++x) {
        auto stack = part->get(static_cast<int32_t>(x), y);
        if (!stack) {
          stack = ModelExpStack::create();
          part->set(static_cast<int32_t>(x), y, stack);
        }
        stack->add(p->elm->shared_from_this());
      }
    }
  }
  return part;
}

std::shared_ptr<ModelExpandedCells> ModelElementCells::expanded_for(const CellRange& range)
{
  if (!m_expanded && !m_source) {
    const auto used = get_exists_range();
    const int64_t rows = int64_t{used->end.y} - used->start.y + 1;
    const int64_t asked = int64_t{std::min(range.end.y, used->end.y)} - std::max(range.start.y, used->start.y) + 1;
    if (2 * asked < rows)
      return expand_part(range);
  }
  return get_expanded();
}

} // namespace velkaro
