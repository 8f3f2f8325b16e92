#include "ctrl/undoable_action.h"

#include <utility>

#include "common/check.h"

namespace velkaro {

CtrlUndoableAction::CtrlUndoableAction(Keys keys, std::optional<std::string> description,
                                       std::shared_ptr<CtrlDelegateAction> action)
  : CtrlActionWrapper(std::move(keys), std::move(description)), m_delegate_action(std::move(action))
{
}

std::shared_ptr<CtrlUndoableAction> CtrlUndoableAction::create(Keys keys, std::optional<std::string> description,
                                                               const std::shared_ptr<CtrlDelegateAction>& action)
{
  VK_CHECK_VAL(action, nullptr);
  return std::make_shared<CtrlUndoableAction>(std::move(keys), std::move(description), action);
}

std::shared_ptr<CtrlUndoableAction> CtrlUndoableAction::create_func(
  CtrlDelegateAction::Func func, Keys keys, std::optional<std::string> description,
  const std::shared_ptr<ModelWorkspace>& ws, const std::shared_ptr<CtrlActionProcessor>& action_proc,
  IsActionableFunc is_actionable)
{
  VK_CHECK_VAL(ws, nullptr);
  VK_CHECK_VAL(action_proc, nullptr);
  auto wrapper = create(std::move(keys), std::move(description),
                        CtrlDelegateAction::create(ws, action_proc, std::move(func)));
  wrapper->set_is_actionable_func(std::move(is_actionable));
  return wrapper;
}

bool CtrlUndoableAction::action()
{
  if (!m_delegate_action)
    return false;
  // Keep it alive: the action may re-register this wrapper's name.
  const auto delegate = m_delegate_action;
  return delegate->with_processor();
}

void CtrlUndoableAction::detach()
{
  CtrlActionWrapper::detach();
  m_delegate_action.reset();
}

} // namespace velkaro
