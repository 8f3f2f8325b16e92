#include "cls/doc/element_cells.h"

#include "cls/doc/class_element.h"

namespace velkaro {

ClsElementCells::ElementPtr ClsElementCells::bear(const std::string& name)
{
  if (name == "class")
    return ClsClassElement::create();
  return ModelElementCells::bear(name);
}

} // namespace velkaro
