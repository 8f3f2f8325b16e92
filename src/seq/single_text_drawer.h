#pragma once
// SeqSingleTextDrawer: draws free text: every text element that stands
// alone in its cell, at its cell's corner plus its own layout offset,
// through a text drawer, so that the text under edit shows the cursor of
// the current text mode. A text sharing its cell belongs to the element
// beside it, whose drawer draws it (life heads, message lines, fragments,
// frame lines, separators).
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter; other diagram kinds may install it for their free
// text.

#include "view/ws_drawer.h"

namespace velkaro {

class SeqSingleTextDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }
};

} // namespace velkaro
