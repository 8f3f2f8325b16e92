#pragma once
// SeqSingleTextDrawer: draws free text: every text element that stands
// alone in its cell, at its cell's corner plus its own layout offset,
// through a text drawer, so that the text under edit shows the cursor of
// the current text mode. A text sharing its cell belongs to the element
// beside it, whose drawer draws it (in a sequence diagram: life heads,
// message lines, fragments, frame lines, separators).
//
// The sequence and state-machine editors share it: each installs it for
// its free text on its canvas (also in the working pass) and in its
// exporter. It keeps the name the sequence editor gave it.

#include "view/ws_drawer.h"

namespace velkaro {

class SeqSingleTextDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }
};

} // namespace velkaro
