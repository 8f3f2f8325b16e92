#include "cls/route/route_node.h"

#include <glib.h>

namespace velkaro {

void ClsRouteNode::debug_print(const std::string& prefix) const
{
  g_debug("router:36: %s %p (%d,%d) U:%p, D:%p, L:%p, R:%p, dist=%d, pred:%p", prefix.c_str(),
          static_cast<const void*>(this), pos.x, pos.y, static_cast<const void*>(links[0]),
          static_cast<const void*>(links[1]), static_cast<const void*>(links[2]),
          static_cast<const void*>(links[3]), dist, static_cast<const void*>(pred));
}

} // namespace velkaro
