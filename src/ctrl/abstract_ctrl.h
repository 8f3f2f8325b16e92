#pragma once
// CtrlAbstractCtrl: one of the two controllers of a window, the diagram's
// context and the command line, of which one has the keyboard at a time.
// active() switches a controller on or off; each controller adds what
// switching means for it (who takes the focus, what it shows).
//
// signal_notify() is emitted with the name of a property after it was set:
// "is-active" here; subclasses add their own names.

#include <sigc++/signal.h>

namespace velkaro {

class CtrlAbstractCtrl {
public:
  CtrlAbstractCtrl() = default;
  virtual ~CtrlAbstractCtrl() = default;
  CtrlAbstractCtrl(const CtrlAbstractCtrl&) = delete;
  CtrlAbstractCtrl& operator=(const CtrlAbstractCtrl&) = delete;

  // Base: stores b as the active flag and notifies "is-active".
  virtual void active(bool b)
  {
    m_is_active = b;
    m_signal_notify.emit("is-active");
  }
  // Initially false.
  bool get_is_active() const { return m_is_active; }

  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }

private:
  bool m_is_active = false;
  sigc::signal<void(const char*)> m_signal_notify;
};

} // namespace velkaro
