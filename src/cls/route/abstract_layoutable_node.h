#pragma once
// ClsAbstractLayoutableNode: the plain layout node: a stored position and
// velocity, both 0 when made, and no energy. Every set notifies, also when
// the value does not change.

#include <sigc++/signal.h>

#include "cls/route/ilayoutable_node.h"

namespace velkaro {

class ClsAbstractLayoutableNode : public ClsILayoutableNode {
public:
  ClsAbstractLayoutableNode() = default;
  ClsAbstractLayoutableNode(const ClsAbstractLayoutableNode&) = delete;
  ClsAbstractLayoutableNode& operator=(const ClsAbstractLayoutableNode&) = delete;

  double get_pos() const override { return m_pos; }
  // Stores pos, then notifies "pos".
  void set_pos(double pos) override;
  double get_velocity() const override { return m_velocity; }
  // Stores velocity, then notifies "velocity".
  void set_velocity(double velocity) override;
  // 0.
  double get_energy() const override { return 0.0; }

  // Emitted with "pos" or "velocity" on every set of it.
  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }

protected:
  // For subclasses that keep the position elsewhere.
  void notify(const char* name) { m_signal_notify.emit(name); }

private:
  double m_pos = 0.0;
  double m_velocity = 0.0;
  sigc::signal<void(const char*)> m_signal_notify;
};

} // namespace velkaro
