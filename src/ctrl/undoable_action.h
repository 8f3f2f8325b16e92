#pragma once
// CtrlUndoableAction: an action wrapper whose work runs as an undoable
// action. It keeps a delegate action and, on every use, executes a fresh
// clone of it through the undo processor, so every use is one recorded step
// (when the function reports that it did something).

#include <memory>
#include <optional>
#include <string>

#include "ctrl/action_wrapper.h"
#include "ctrl/delegate_action.h"

namespace velkaro {

class CtrlActionProcessor;
class ModelWorkspace;

class CtrlUndoableAction : public CtrlActionWrapper {
public:
  // A wrapper around action, which is required (null: the argument check
  // fails and the result is null).
  static std::shared_ptr<CtrlUndoableAction> create(Keys keys, std::optional<std::string> description,
                                                    const std::shared_ptr<CtrlDelegateAction>& action);
  // A wrapper around a new, not mergeable delegate action of func over ws and
  // action_proc, both required.
  static std::shared_ptr<CtrlUndoableAction> create_func(CtrlDelegateAction::Func func, Keys keys,
                                                         std::optional<std::string> description,
                                                         const std::shared_ptr<ModelWorkspace>& ws,
                                                         const std::shared_ptr<CtrlActionProcessor>& action_proc,
                                                         IsActionableFunc is_actionable = {});

  CtrlUndoableAction(Keys keys, std::optional<std::string> description, std::shared_ptr<CtrlDelegateAction> action);

  // The processor's result of running a clone of the delegate action.
  bool action() override;
  void detach() override;

  const std::shared_ptr<CtrlDelegateAction>& get_delegate_action() const { return m_delegate_action; }

private:
  std::shared_ptr<CtrlDelegateAction> m_delegate_action;
};

} // namespace velkaro
