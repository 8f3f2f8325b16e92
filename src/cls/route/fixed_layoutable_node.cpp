#include "cls/route/fixed_layoutable_node.h"

namespace velkaro {

std::shared_ptr<ClsFixedLayoutableNode> ClsFixedLayoutableNode::create(double pos)
{
  auto node = std::make_shared<ClsFixedLayoutableNode>();
  node->set_pos(pos);
  return node;
}

void ClsFixedLayoutableNode::set_velocity(double)
{
  notify("velocity");
}

} // namespace velkaro
