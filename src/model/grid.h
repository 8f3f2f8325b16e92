#pragma once
// Maps between cells and canvas units (pixels at zoom 1). Each axis is a
// ModelGridGridList of far edges: h holds the columns (edges along x), v the
// rows (edges along y). The workspace owns one grid; its layout enlarges
// lines through h and v, its line insertion and removal insert and remove
// grid lines there.
//
// A diagram kind picks its own minimum line size by passing it to the
// constructor (or by putting lists of its own into h and v).

#include <cstdint>
#include <memory>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"
#include "model/grid_list.h"

namespace velkaro {

struct CellRange;

class ModelGrid {
public:
  explicit ModelGrid(double min_size = ModelGridGridList::DEFAULT_MIN_SIZE);
  virtual ~ModelGrid() = default;
  ModelGrid(const ModelGrid&) = delete;
  ModelGrid& operator=(const ModelGrid&) = delete;

  static std::shared_ptr<ModelGrid> create(double min_size = ModelGridGridList::DEFAULT_MIN_SIZE)
  {
    return std::make_shared<ModelGrid>(min_size);
  }

  // The columns and the rows; never null.
  std::shared_ptr<ModelGridGridList> h;
  std::shared_ptr<ModelGridGridList> v;

  // h for CellDir::h, v for CellDir::v; hv stops the program.
  std::shared_ptr<ModelGridGridList> get(CellDir dir) const;

  // The rectangle of cell (x, y).
  Rectangle get_rect(int32_t x, int32_t y) const;
  // From the top-left corner of the range's start cell to the bottom-right
  // corner of its end cell, the corners taken as stored: a range that is not
  // normalised gives a negative width or height.
  Rectangle get_range_rect(const CellRange& range) const;
  // The width and height of cell (x, y), at (0, 0).
  Rectangle get_size(int32_t x, int32_t y) const;
  // The cell under the point, clamped into 0..CellPos::MAX on both axes.
  CellPos get_cell_pos_at_xy(const Point& pt) const;
  // The top-left corner of the cell, as a new point.
  Point get_top_left_point(const CellPos& pos) const;
  // (0, 0) up to the far edges of the last listed column and row.
  Rectangle get_full() const;
};

} // namespace velkaro
