#pragma once
// SeqFragmentDrawer: draws the combined fragments: the operator label box
// with its cut bottom-right corner in the fragment's cell, the frame cell by
// cell from its frame lines (top side along the top edge of its cells, left
// side along the left edge, right side down the middle, bottom side along
// the middle, the corner cells drawing the turns), and the dashed operand
// separators near the top of their cells, each with its text.
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter.

#include <memory>

#include "view/ws_drawer.h"

namespace velkaro {

class SeqFragLine;
class SeqSeparator;

class SeqFragmentDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }

  // The visited fragment's label box and text.
  void draw_frag();
  // The frame lines of the visited cell: the horizontal one when h, the
  // vertical one when v.
  void draw_frag_line(bool h, bool v);
  // The visited separator cell's dashed line.
  void draw_separator();
  // The separator dashes' phase at the visited cell's left edge, counted
  // from the frame's left side.
  double offset() const;

private:
  // The frame-line pass's visit of one cell.
  void visit_frag_line();

  std::shared_ptr<SeqFragLine> m_h_fl;
  std::shared_ptr<SeqFragLine> m_v_fl;
  std::shared_ptr<SeqSeparator> m_sp;
};

} // namespace velkaro
