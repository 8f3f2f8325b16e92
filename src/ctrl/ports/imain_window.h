#pragma once
// CtrlIMainWindow: what the controller asks of the application window. The
// main window implements it; the controller context links to it without
// owning it (the window owns the context).

#include <optional>
#include <string>

namespace velkaro {

class CtrlIMainWindow {
public:
  virtual ~CtrlIMainWindow() = default;

  // Raises the window's delete request as a close button does: when the
  // document is modified the user is asked whether to save. True when the
  // close was stopped (the user cancelled); the window is not destroyed
  // either way.
  virtual bool raise_delete_request() = 0;
  // Destroys the window at once, asking nothing.
  virtual void destroy() = 0;
  // Activates the window action name ("export-png", ...) with the string
  // parameter, or with none. False when the window has no such action.
  virtual bool activate_action(const std::string& name, const std::optional<std::string>& parameter) = 0;
  // Tells the user about a problem, in a dialog that belongs to the window
  // and does not block.
  virtual void show_alert(const std::string& message) = 0;
  // The context replaced the document (CtrlContext::new_context): once per
  // replacement, after the canvas was sized to the new one.
  virtual void document_replaced() = 0;
};

} // namespace velkaro
