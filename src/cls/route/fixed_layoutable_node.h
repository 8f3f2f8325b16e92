#pragma once
// ClsFixedLayoutableNode: a layout node that never moves on its own: its
// velocity is always 0 (a set only notifies), so a relaxation that moves
// nodes by their velocity leaves it where it was put. It stands for the
// bounds a group of segments stays within: the edges of a line of cells and
// of the elements the segments attach to.

#include <memory>

#include "cls/route/abstract_layoutable_node.h"

namespace velkaro {

class ClsFixedLayoutableNode : public ClsAbstractLayoutableNode {
public:
  // A fixed node at pos (set through set_pos()).
  static std::shared_ptr<ClsFixedLayoutableNode> create(double pos);

  double get_velocity() const override { return 0.0; }
  // Drops the value; notifies "velocity".
  void set_velocity(double velocity) override;
};

} // namespace velkaro
