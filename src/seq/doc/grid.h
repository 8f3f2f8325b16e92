#pragma once
// SeqGrid: the grid of a sequence diagram, every column and row at least
// 35 canvas units.

#include <memory>

#include "model/grid.h"

namespace velkaro {

class SeqGrid : public ModelGrid {
public:
  static constexpr double MIN_LINE_SIZE = 35.0;

  SeqGrid() : ModelGrid(MIN_LINE_SIZE) {}
  static std::shared_ptr<SeqGrid> create() { return std::make_shared<SeqGrid>(); }
};

} // namespace velkaro
