#pragma once
// SeqCells: the cell map of a sequence diagram, whose factory makes the
// sequence elements from their XML names.

#include <memory>
#include <string>

#include "model/element_cells.h"

namespace velkaro {

class SeqCells : public ModelElementCells {
public:
  static std::shared_ptr<SeqCells> create() { return std::make_shared<SeqCells>(); }

  // A new element for its exact, case-sensitive name: "life_head",
  // "life_line", "message", "message_type", "message_line",
  // "execution_specification", "fragment", "fragment_line", "separator",
  // "separator-line", "seq_text". Any other name gives a plain
  // ModelTextElement, as the base factory does.
  ElementPtr bear(const std::string& name) override;
};

} // namespace velkaro
