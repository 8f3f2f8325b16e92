#include "cls/ws_drawer.h"

#include "cls/doc/workspace.h"

namespace velkaro {

std::shared_ptr<ClsWorkspace> ClsWsDrawer::get_cls_ws() const
{
  return std::dynamic_pointer_cast<ClsWorkspace>(get_ws());
}

} // namespace velkaro
