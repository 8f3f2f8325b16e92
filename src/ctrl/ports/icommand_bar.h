#pragma once
// CtrlICommandBar: the strip at the bottom of the window that shows the mode
// and the pending keys and holds the command line. The view's command bar
// implements it and builds the command-line controller; the controller
// context holds it and switches that controller on and off through it.

#include <memory>

namespace velkaro {

class CtrlAbstractCtrl;

class CtrlICommandBar {
public:
  virtual ~CtrlICommandBar() = default;

  // The command-line controller; null before the bar has built it.
  virtual std::shared_ptr<CtrlAbstractCtrl> get_cmd_ctrl() = 0;
};

} // namespace velkaro
