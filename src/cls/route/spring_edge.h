#pragma once
// ClsSpringEdge: a spring from a left node to a right node with a rest
// length in pixels. Its energy is positive while the right node lies closer
// to the left one than about the rest length (or on its wrong side), and
// negative beyond.
//
// Ownership: a spring owns the nodes that do not hold springs themselves
// (fixed nodes) and refers to the others (segments) without owning them,
// since those hold the spring (ClsILayoutableNode::get_holds_springs()). A
// node that is gone reads as absent: the spring then has no energy and
// bounds nothing.

#include <memory>

#include "cls/route/ilayoutable_node.h"

namespace velkaro {

class ClsSpringEdge {
public:
  using NodePtr = std::shared_ptr<ClsILayoutableNode>;

  // Null (with a critical message) when either node is null.
  static std::shared_ptr<ClsSpringEdge> create(const NodePtr& left_node, const NodePtr& right_node,
                                               double length);

  ClsSpringEdge(const NodePtr& left_node, const NodePtr& right_node, double length);
  ClsSpringEdge(const ClsSpringEdge&) = delete;
  ClsSpringEdge& operator=(const ClsSpringEdge&) = delete;

  // Null once a node the spring does not own is gone.
  NodePtr get_left_node() const { return m_left.lock(); }
  NodePtr get_right_node() const { return m_right.lock(); }
  // The same without taking a reference (the layout reads positions often).
  const ClsILayoutableNode* find_left_node() const { return m_left.expired() ? nullptr : m_left_node; }
  const ClsILayoutableNode* find_right_node() const { return m_right.expired() ? nullptr : m_right_node; }
  double get_length() const { return m_length; }

  // With d = right position - left position and L the rest length:
  // (L - d) + L / (exp(0.5 d) + 1). 0 when a node is gone.
  double get_energy() const;
  // The left (right) node's position; 0 when it is gone.
  double get_left_term_pos() const;
  double get_right_term_pos() const;

private:
  std::weak_ptr<ClsILayoutableNode> m_left;
  std::weak_ptr<ClsILayoutableNode> m_right;
  // What m_left and m_right point to, valid while they have not expired.
  const ClsILayoutableNode* m_left_node;
  const ClsILayoutableNode* m_right_node;
  // The nodes the spring owns (see above); null for the others.
  NodePtr m_left_owned;
  NodePtr m_right_owned;
  double m_length;
};

} // namespace velkaro
