#pragma once
// SeqLifeHeadDrawer: draws every life head as a box with its name, and the
// first piece of the dashed life line from the box down to the bottom of
// the head's cell. The dashes reach the cell's bottom at the phase at which
// the first life-line cell below takes them up (SeqLifeLineDrawer), so the
// line runs on without a break.
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter.

#include "view/ws_drawer.h"

namespace velkaro {

class SeqLifeHeadDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }

  // The visited life head: its box, its tail and its text.
  void draw_life_head_element();
};

} // namespace velkaro
