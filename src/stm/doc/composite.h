#pragma once
// StmComposite: a composite state, a rectangle over the block of cells its
// extensions span from its anchor cell (towards their signs: a block
// selected upwards or leftwards keeps negative extensions). Written as
// "composite" with the common attributes ("width", "height").

#include <memory>

#include "model/element.h"

namespace velkaro {

class StmComposite : public ModelElement {
public:
  static std::shared_ptr<StmComposite> create() { return std::make_shared<StmComposite>(); }
  StmComposite() { tag = "composite"; }

  const char* get_type_name() const override { return "StmComposite"; }
  ElementPtr new_instance() const override { return std::make_shared<StmComposite>(); }
  bool get_resizable() const override { return true; }
};

} // namespace velkaro
