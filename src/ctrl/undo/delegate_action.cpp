#include "ctrl/undo/delegate_action.h"

#include <utility>

#include "common/check.h"

namespace velkaro {

CtrlDelegateAction::CtrlDelegateAction(std::shared_ptr<ModelWorkspace> ws, Func func)
  : CtrlAction(std::move(ws)), m_func(std::move(func))
{
}

std::shared_ptr<CtrlDelegateAction> CtrlDelegateAction::create(const std::shared_ptr<ModelWorkspace>& ws, Func func,
                                                               bool mergeable)
{
  VK_CHECK_VAL(ws, nullptr);
  auto action = std::make_shared<CtrlDelegateAction>(ws, std::move(func));
  action->set_is_mergeable(mergeable);
  return action;
}

bool CtrlDelegateAction::execute()
{
  return record_changes([this] { return m_func && m_func(); });
}

} // namespace velkaro
