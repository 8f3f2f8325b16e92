#pragma once
// CtrlDelegateAction: an action whose work is a function returning whether
// it did anything. Executing it records the workspace's changes made while
// the function runs; undo and redo patch them as every action does.
//
// The undo processor makes one for every step it records
// (CtrlActionProcessor::record): each run of a key-bound action is a new
// action with its own record, and no action refers back to the processor.

#include <functional>
#include <memory>

#include "ctrl/undo/action.h"

namespace velkaro {

class CtrlDelegateAction : public CtrlAction {
public:
  using Func = std::function<bool()>;

  // The workspace is required: without it the argument check fails and the
  // result is null.
  static std::shared_ptr<CtrlDelegateAction> create(const std::shared_ptr<ModelWorkspace>& ws, Func func,
                                                    bool mergeable = false);

  // Runs the function with a new record open; its result.
  bool execute() override;

  // Use create().
  CtrlDelegateAction(std::shared_ptr<ModelWorkspace> ws, Func func);

private:
  Func m_func;
};

} // namespace velkaro
