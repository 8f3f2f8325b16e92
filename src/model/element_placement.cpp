// The placement test: whether an element, with the copies of children it
// carries, may be stored at a cell of a workspace.

#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"

namespace velkaro {

bool ModelElement::could_store(ModelWorkspace& ws, const CellPos& at)
{
  set_ws(ws.shared_from_this());
  set_cells(*ws.get_cells());
  wpos = at;
  if (!can_store())
    return false;
  const CellPos offset = at.substract(origpos);
  for (const auto& sub : subs)
    if (!sub->could_store(ws, sub->origpos.add(offset)))
      return false;
  return true;
}

} // namespace velkaro
