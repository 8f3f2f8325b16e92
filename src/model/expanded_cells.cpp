#include "model/expanded_cells.h"

#include <algorithm>
#include <unordered_set>

#include "common/cell_range.h"

namespace velkaro {

void ModelExpandedCells::visit(int32_t col, int32_t row, bool uniq, const ElmFunc& fn) const
{
  std::unordered_set<const ModelElement*> reported;
  const auto visit_stack = [&](int32_t x, int32_t y, const std::shared_ptr<ModelExpStack>& stack) {
    // Held: the visitor may drop the element cells that built this map.
    const std::shared_ptr<ModelExpStack> hold = stack;
    for (const auto& e : hold->get_data()) {
      if (uniq && e->get_is_multi() && !reported.insert(e.get()).second)
        continue;
      fn(x, y, e);
    }
  };
  const auto visit_row = [&](int32_t y, const Row& cells) {
    if (col == -1) {
      for (const auto& [x, stack] : cells)
        visit_stack(x, y, stack);
    } else if (const auto cell = cells.find(col); cell != cells.end()) {
      visit_stack(col, y, cell->second);
    }
  };
  if (row == -1) {
    for (const auto& [y, cells] : m_rows)
      visit_row(y, cells);
  } else if (const auto cells = m_rows.find(row); cells != m_rows.end()) {
    visit_row(row, cells->second);
  }
}

void ModelExpandedCells::foreach(const ElmFunc& fn, bool uniq) const
{
  visit(-1, -1, uniq, fn);
}

void ModelExpandedCells::foreach_row(int32_t row, const ElmFunc& fn) const
{
  visit(-1, row, true, fn);
}

void ModelExpandedCells::foreach_col(int32_t col, const ElmFunc& fn) const
{
  visit(col, -1, true, fn);
}

double ModelExpandedCells::get_max_width_at_col(int32_t col) const
{
  double need = 0.0;
  foreach_col(col, [&need](int32_t, int32_t, const ElementPtr& e) {
    need = std::max(need, (e->get_rect().width + 10.0) / static_cast<double>(e->get_mwidth()));
  });
  return need;
}

double ModelExpandedCells::get_max_height_at_row(int32_t row) const
{
  double need = 0.0;
  foreach_row(row, [&need](int32_t, int32_t, const ElementPtr& e) {
    need = std::max(need, (e->get_rect().height + 10.0) / static_cast<double>(e->get_mheight()));
  });
  return need;
}

void ModelExpandedCells::range_stack(const CellRange& range, const StackFunc& fn) const
{
  range.foreach([&](int32_t x, int32_t y) { fn(x, y, get(x, y)); });
}

} // namespace velkaro
