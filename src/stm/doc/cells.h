#pragma once
// StmCells: the cell map of a state machine, whose factory makes the
// state-machine elements from their XML names.

#include <memory>
#include <string>

#include "model/element_cells.h"

namespace velkaro {

class StmCells : public ModelElementCells {
public:
  static std::shared_ptr<StmCells> create() { return std::make_shared<StmCells>(); }

  // StmElms::make() for its eleven names, a StmTextElement for "stm_text";
  // any other name gives a plain ModelTextElement, as the base factory does.
  ElementPtr bear(const std::string& name) override;
};

} // namespace velkaro
