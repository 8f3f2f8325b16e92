#include "stm/doc/cells.h"

#include "stm/doc/elms.h"
#include "stm/doc/text_element.h"

namespace velkaro {

StmCells::ElementPtr StmCells::bear(const std::string& name)
{
  if (ElementPtr elm = StmElms::make(name))
    return elm;
  if (name == "stm_text")
    return StmTextElement::create();
  return ModelElementCells::bear(name);
}

} // namespace velkaro
