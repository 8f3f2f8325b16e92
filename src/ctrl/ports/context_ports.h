#pragma once
// CtrlContextPorts: the controller context's collaborators outside the
// controller, each reached through a small interface the controller
// declares and the view or the application implements: the canvas, the main
// view, the command bar, the right-click menu and the main window.
//
// The context keeps them in one place (CtrlContext::get_ports()); whoever
// builds the window hands each in through the context's setter and takes
// them all back at once (CtrlContext::clear_ports()) before it destroys
// them. Any of them may be missing (tests, a context without a window): the
// controller then does without.
//
// Ownership: the context holds the canvas, the main view, the command bar
// and the menu; the window owns the context and is linked weakly.

#include <memory>

namespace velkaro {

class CtrlICanvas;
class CtrlICommandBar;
class CtrlIContextMenu;
class CtrlIMainView;
class CtrlIMainWindow;

struct CtrlContextPorts {
  std::shared_ptr<CtrlICanvas> canvas;
  // While it shows another page than the canvas, the current mode's
  // actions are not actionable.
  std::shared_ptr<CtrlIMainView> main_view;
  // The command line is reached through it.
  std::shared_ptr<CtrlICommandBar> command_bar;
  // A mode's right press pops it up.
  std::shared_ptr<CtrlIContextMenu> context_menu;
  std::weak_ptr<CtrlIMainWindow> main_window;
};

} // namespace velkaro
