#pragma once
// ModelExpandedCells: for every cell that some element covers, the stack of
// the covering elements (ModelExpStack). Built by the element cells from
// their chains (ModelElementCells::expand()) and never changed afterwards;
// a holder keeps it alive by its reference even after the element cells
// dropped it.

#include <cstdint>
#include <functional>
#include <memory>

#include "model/cells.h"
#include "model/exp_stack.h"

namespace velkaro {

class ModelExpandedCells : public ModelCells<ModelExpStack> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;
  // Receives (x, y, element); visits cannot be stopped.
  using ElmFunc = std::function<void(int32_t x, int32_t y, const ElementPtr& elm)>;
  // Receives (x, y, stack or null).
  using StackFunc =
      std::function<void(int32_t x, int32_t y, const std::shared_ptr<ModelExpStack>& stack)>;

  static std::shared_ptr<ModelExpandedCells> create() { return std::make_shared<ModelExpandedCells>(); }

  using ModelCells<ModelExpStack>::foreach;
  using ModelCells<ModelExpStack>::foreach_row;
  using ModelCells<ModelExpStack>::foreach_col;

  // Every covering element of every cell: rows ascending, columns ascending,
  // each stack in order. With uniq an element that covers several cells is
  // reported once, at the first of its cells the visit meets.
  void foreach(const ElmFunc& fn, bool uniq) const;
  // The cells of one row (column), uniq on.
  void foreach_row(int32_t row, const ElmFunc& fn) const;
  void foreach_col(int32_t col, const ElmFunc& fn) const;

  // The widest need of the elements covering the column, in pixels: for
  // each, (width of get_rect() + 10) / the number of columns it covers.
  // 0 for a column nothing covers.
  double get_max_width_at_col(int32_t col) const;
  // The same for the heights of a row.
  double get_max_height_at_row(int32_t row) const;

  // Every cell of the range, row by row from start.y to end.y and in each
  // row from start.x to end.x, with its stack or null.
  void range_stack(const CellRange& range, const StackFunc& fn) const;

private:
  // A filter of -1 accepts every column (row).
  void visit(int32_t col, int32_t row, bool uniq, const ElmFunc& fn) const;
};

} // namespace velkaro
