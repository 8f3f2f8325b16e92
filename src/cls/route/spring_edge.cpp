#include "cls/route/spring_edge.h"

#include <cmath>

#include "common/check.h"

namespace velkaro {

std::shared_ptr<ClsSpringEdge> ClsSpringEdge::create(const NodePtr& left_node,
                                                     const NodePtr& right_node, double length)
{
  VK_CHECK_VAL(left_node != nullptr, nullptr);
  VK_CHECK_VAL(right_node != nullptr, nullptr);
  return std::make_shared<ClsSpringEdge>(left_node, right_node, length);
}

ClsSpringEdge::ClsSpringEdge(const NodePtr& left_node, const NodePtr& right_node, double length)
    : m_left(left_node), m_right(right_node), m_left_node(left_node.get()), m_right_node(right_node.get()),
      m_length(length)
{
  if (left_node && !left_node->get_holds_springs())
    m_left_owned = left_node;
  if (right_node && !right_node->get_holds_springs())
    m_right_owned = right_node;
}

double ClsSpringEdge::get_energy() const
{
  const ClsILayoutableNode* left = find_left_node();
  const ClsILayoutableNode* right = find_right_node();
  if (!left || !right)
    return 0.0;
  const double d = right->get_pos() - left->get_pos();
  return (m_length - d) + m_length / (std::exp(0.5 * d) + 1.0);
}

double ClsSpringEdge::get_left_term_pos() const
{
  const ClsILayoutableNode* left = find_left_node();
  return left ? left->get_pos() : 0.0;
}

double ClsSpringEdge::get_right_term_pos() const
{
  const ClsILayoutableNode* right = find_right_node();
  return right ? right->get_pos() : 0.0;
}

} // namespace velkaro
