#pragma once
// SeqLifeLineDrawer: draws every life-line cell: the dashed centre line, the
// stop cross in the last cell of a stopped life line, and the execution
// execution specifications standing in the cell as outlined boxes, nested ones set
// further out per level (level 1, 2, ... on the right, -1, -2, ... on the
// left). Each cell works out where its piece of the dash pattern and of
// each box begins, so the pieces drawn cell by cell join up. The plain
// dashed pieces of the cells one under the other in a column, in one style,
// are stroked as one line from the first piece's top with its phase: the
// same dashes for one stroke instead of one a cell.
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter.

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>

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
  // A dashed line not stroked yet: from top to bottom at x, in a colour
  // and width, its dashes starting at phase.
  struct Run {
    double x = 0;
    double top = 0;
    double bottom = 0;
    double phase = 0;
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
    double width = 0;
  };
  // Extends the visited cell's column's run to the cell's bottom when the
  // cell continues it in the same style, or starts one; false when the
  // current source is not a plain colour.
  bool extend_run(double xmid, double phase);
  // Strokes and forgets column's run (every run with column -1).
  void flush_runs(int32_t column);

  // below() of ll, and whether ll's chain holds a box (SeqExecSpec),
  // found once per draw for all the life-line cells of one
  // chain: every cell of a long chain would otherwise walk it or search all
  // the cells of its life line.
  std::shared_ptr<SeqLifeLine> below_of(const SeqLifeLine& ll);
  bool chain_has_es(const SeqLifeLine& ll);

  // Runs by column.
  std::map<int32_t, Run> m_runs;
  // What below_of() found for the cells of a chain (its anchor, the head
  // of the life line, its role), and chain_has_es() by anchor.
  std::map<std::tuple<int32_t, int32_t, const void*, int32_t>, std::shared_ptr<SeqLifeLine>> m_below;
  std::map<std::pair<int32_t, int32_t>, bool> m_has_es;
  // The life line of the visited cell, and the next cell of that life line
  // (with execution specifications only).
  std::shared_ptr<SeqLifeLine> m_ll;
  std::shared_ptr<SeqLifeLine> m_next;
};

} // namespace velkaro
