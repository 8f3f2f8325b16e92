#include "ctrl/undoable_wrapper_for_action_creation.h"

#include <utility>

#include "ctrl/action.h"
#include "ctrl/action_processor.h"

namespace velkaro {

CtrlUndoableWrapperForActionCreation::CtrlUndoableWrapperForActionCreation(Keys keys, std::string description)
  : CtrlActionWrapper(std::move(keys), std::move(description))
{
}

std::shared_ptr<CtrlUndoableWrapperForActionCreation> CtrlUndoableWrapperForActionCreation::create(
  Keys keys, std::string description)
{
  return std::make_shared<CtrlUndoableWrapperForActionCreation>(std::move(keys), std::move(description));
}

std::shared_ptr<CtrlUndoableWrapperForActionCreation> CtrlUndoableWrapperForActionCreation::create_func(
  Factory factory, Keys keys, std::string description, const std::shared_ptr<CtrlActionProcessor>& action_proc,
  IsActionableFunc is_actionable)
{
  auto wrapper = create(std::move(keys), std::move(description));
  wrapper->m_factory = std::move(factory);
  wrapper->m_action_proc = action_proc;
  wrapper->set_is_actionable_func(std::move(is_actionable));
  return wrapper;
}

bool CtrlUndoableWrapperForActionCreation::action()
{
  if (!m_factory)
    return false;
  const auto action = m_factory();
  if (!action)
    return false;
  if (const auto action_proc = m_action_proc)
    return action_proc->execute(action);
  return action->execute();
}

void CtrlUndoableWrapperForActionCreation::detach()
{
  CtrlActionWrapper::detach();
  m_factory = nullptr;
  m_action_proc.reset();
}

} // namespace velkaro
