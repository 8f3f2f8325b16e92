#pragma once
// SeqLifeLineDrawer: draws every life-line cell: the dashed centre line, the
// stop cross in the last cell of a stopped life line, and the execution
// execution specifications standing in the cell as outlined boxes, nested ones set
// further out per level (level 1, 2, ... on the right, -1, -2, ... on the
// left). Each cell works out where its piece of the dash pattern and of
// each box begins, so the pieces drawn cell by cell join up.
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter.

#include <cstdint>
#include <memory>

#include "view/ws_drawer.h"

namespace velkaro {

class SeqLifeLine;

class SeqLifeLineDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }

  // The dash phase at the top of ll's cell: the distance from the top of
  // the cell right under its head, plus the phase the head's tail ends at.
  double offset(const SeqLifeLine& ll) const;
  // The visited cell when it holds no execution specification.
  void normal();
  // The visited cell with its execution specifications.
  void execspec();
  // Puts on the path the side at x, from top to bottom, of the box of
  // level n - sign(n), broken where the box of level n starts or ends in
  // the cell, and draws that box and those beyond it.
  void draw_outside(int32_t n, double x, double top, double bottom);

private:
  // The life line of the visited cell, and the next cell of that life line
  // (with execution specifications only).
  std::shared_ptr<SeqLifeLine> m_ll;
  std::shared_ptr<SeqLifeLine> m_next;
};

} // namespace velkaro
