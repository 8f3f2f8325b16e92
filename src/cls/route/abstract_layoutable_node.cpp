#include "cls/route/abstract_layoutable_node.h"

namespace velkaro {

void ClsAbstractLayoutableNode::set_pos(double pos)
{
  m_pos = pos;
  notify("pos");
}

void ClsAbstractLayoutableNode::set_velocity(double velocity)
{
  m_velocity = velocity;
  notify("velocity");
}

} // namespace velkaro
