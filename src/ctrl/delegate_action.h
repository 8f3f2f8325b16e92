#pragma once
// CtrlDelegateAction: an action whose work is a function returning whether
// it did anything. Executing it records the workspace's changes made while
// the function runs.
//
// A delegate action kept for reuse (by an undoable key binding) is never
// executed itself: with_processor() runs a fresh clone through the undo
// processor, so the undo stack holds one separate action, with its own
// record, for every run. Clones share the function and whatever it captured.
//
// The link to the processor does not own it: the processor's stacks hold the
// clones, so a counted link would keep both alive for ever.

#include <functional>
#include <memory>

#include "ctrl/action.h"

namespace velkaro {

class CtrlActionProcessor;

class CtrlDelegateAction : public CtrlAction {
public:
  using Func = std::function<bool()>;

  // Workspace and processor are required: without either the argument check
  // fails and the result is null.
  static std::shared_ptr<CtrlDelegateAction> create(const std::shared_ptr<ModelWorkspace>& ws,
                                                    const std::shared_ptr<CtrlActionProcessor>& action_proc,
                                                    Func func, bool mergeable = false);

  // Runs the function with a new record open; its result.
  bool execute() override;

  // A new delegate action with the same workspace, processor and function
  // (shared) and the same mergeable flag; no chain, record or cursor cell.
  std::shared_ptr<CtrlDelegateAction> clone() const;
  // Executes a clone through the processor and returns the processor's
  // result; false when the processor is gone.
  bool with_processor() const;

  std::shared_ptr<CtrlActionProcessor> get_action_proc() const { return m_action_proc.lock(); }

  // Use create().
  CtrlDelegateAction(std::shared_ptr<ModelWorkspace> ws, std::weak_ptr<CtrlActionProcessor> action_proc,
                     std::shared_ptr<const Func> func);

private:
  std::weak_ptr<CtrlActionProcessor> m_action_proc;
  std::shared_ptr<const Func> m_func;
};

} // namespace velkaro
