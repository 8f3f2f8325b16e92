#pragma once
// ClsSingleTextDrawer: draws the class diagram's free texts, each text that
// stands alone in its anchor chain (a text sharing its cell is part of
// another element); also in the canvas's working pass, in the working
// colour. The drawing is the one the sequence and state-machine editors
// share (SeqSingleTextDrawer).

#include "view/single_text_drawer.h"

namespace velkaro {

class ClsSingleTextDrawer : public SeqSingleTextDrawer {};

} // namespace velkaro
