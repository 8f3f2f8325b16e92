#pragma once
// SeqSelectedRangeDrawerS: the selected range in every mode but the range
// mode, in the base's selection colour. The sequence canvas draws it after
// the elements, over them.

#include "view/selected_range_drawer.h"

namespace velkaro {

class SeqSelectedRangeDrawerS : public ViewSelectedRangeDrawer {
public:
  void draw() override;
};

} // namespace velkaro
