#pragma once
// StmLineElms: the straight line elements of a state machine, transitions
// (StmTransaction) and concurrency lines (StmConcurrent). Like every
// element a line covers the whole block of its extensions in the covering
// map, but it is drawn, and ends, along one axis only:
// - its axis (get_dir()) is v when it spans fewer columns than rows
//   (|dh| < |dv|), else h, so a one-cell line is horizontal;
// - its end cell (get_endpos()) is the anchor cell moved by dv (v) or dh
//   (h) along that axis, the other coordinate held at the anchor.
//
// Nothing is ever in a line's way: lines may be stored over and under any
// other element.

#include "common/directions.h"
#include "model/element.h"

namespace velkaro {

class StmLineElms : public ModelElement {
public:
  bool get_resizable() const override { return true; }
  CellPos get_endpos() const override;

  CellDir get_dir() const;

protected:
  StmLineElms() = default;
  bool is_own_type(const ModelElement& other) const override { return is_own_type_of<StmLineElms>(other); }
};

} // namespace velkaro
