#pragma once
// StmGrid: the grid of a state machine, every column and row at least 30
// canvas units, so that a point figure of radius 10 sits in the middle of
// a cell holding nothing larger.

#include <memory>

#include "model/grid.h"

namespace velkaro {

class StmGrid : public ModelGrid {
public:
  static constexpr double MIN_LINE_SIZE = 30.0;

  StmGrid() : ModelGrid(MIN_LINE_SIZE) {}
  static std::shared_ptr<StmGrid> create() { return std::make_shared<StmGrid>(); }
};

} // namespace velkaro
