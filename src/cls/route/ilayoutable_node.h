#pragma once
// ClsILayoutableNode: a node of the one-dimensional spring layout that
// spreads parallel connector segments: a position and a velocity along one
// axis, in pixels, and an energy the relaxation reads (positive: the node is
// pressed from its low side and should move to a higher position).

namespace velkaro {

class ClsILayoutableNode {
public:
  virtual ~ClsILayoutableNode() = default;

  virtual double get_pos() const = 0;
  virtual void set_pos(double pos) = 0;
  virtual double get_velocity() const = 0;
  virtual void set_velocity(double velocity) = 0;
  virtual double get_energy() const = 0;

  // True for a node that holds its own springs (a segment). A spring refers
  // to such a node without owning it, so that the node and its springs never
  // keep each other alive; it owns every other node (the fixed nodes of a
  // group, which nothing else keeps once the group is gone).
  virtual bool get_holds_springs() const { return false; }
};

} // namespace velkaro
