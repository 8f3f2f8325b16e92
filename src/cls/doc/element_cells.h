#pragma once
// ClsElementCells: the cell map of a class diagram, whose factory makes a
// class box for "class" and a plain text element for every other name.

#include <memory>
#include <string>

#include "model/element_cells.h"

namespace velkaro {

class ClsElementCells : public ModelElementCells {
public:
  static std::shared_ptr<ClsElementCells> create() { return std::make_shared<ClsElementCells>(); }

  ElementPtr bear(const std::string& name) override;
};

} // namespace velkaro
