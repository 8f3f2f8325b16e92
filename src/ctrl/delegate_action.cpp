#include "ctrl/delegate_action.h"

#include <utility>

#include "common/check.h"
#include "ctrl/action_processor.h"

namespace velkaro {

CtrlDelegateAction::CtrlDelegateAction(std::shared_ptr<ModelWorkspace> ws,
                                       std::weak_ptr<CtrlActionProcessor> action_proc,
                                       std::shared_ptr<const Func> func)
  : CtrlAction(std::move(ws)), m_action_proc(std::move(action_proc)), m_func(std::move(func))
{
}

std::shared_ptr<CtrlDelegateAction> CtrlDelegateAction::create(const std::shared_ptr<ModelWorkspace>& ws,
                                                               const std::shared_ptr<CtrlActionProcessor>& action_proc,
                                                               Func func, bool mergeable)
{
  VK_CHECK_VAL(ws, nullptr);
  VK_CHECK_VAL(action_proc, nullptr);
  auto action =
    std::make_shared<CtrlDelegateAction>(ws, action_proc, std::make_shared<const Func>(std::move(func)));
  action->set_is_mergeable(mergeable);
  return action;
}

bool CtrlDelegateAction::execute()
{
  return record_changes([this] { return *m_func && (*m_func)(); });
}

std::shared_ptr<CtrlDelegateAction> CtrlDelegateAction::clone() const
{
  auto copy = std::make_shared<CtrlDelegateAction>(get_ws(), m_action_proc, m_func);
  copy->set_is_mergeable(get_is_mergeable());
  return copy;
}

bool CtrlDelegateAction::with_processor() const
{
  const auto action_proc = m_action_proc.lock();
  VK_CHECK_VAL(action_proc, false);
  return action_proc->execute(clone());
}

} // namespace velkaro
