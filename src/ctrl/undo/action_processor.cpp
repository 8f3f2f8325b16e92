#include "ctrl/undo/action_processor.h"

#include <utility>

#include "common/check.h"
#include "ctrl/undo/action.h"
#include "ctrl/undo/delegate_action.h"
#include "ctrl/undo/icursor_holder.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

// One step of the action's workspace, closed when it goes out of scope.
class Step {
public:
  explicit Step(const CtrlAction& action) : m_ws(action.get_ws())
  {
    if (m_ws)
      m_ws->begin_step();
  }
  ~Step()
  {
    if (m_ws)
      m_ws->end_step(changed);
  }
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;

  bool changed = false;

private:
  std::shared_ptr<ModelWorkspace> m_ws;
};

} // namespace

CtrlActionProcessor::CtrlActionProcessor() : m_last_action(CtrlAction::create()) {}

std::shared_ptr<CtrlActionProcessor> CtrlActionProcessor::create()
{
  return std::make_shared<CtrlActionProcessor>();
}

bool CtrlActionProcessor::record(const std::shared_ptr<ModelWorkspace>& ws, CtrlRecord how,
                                 const std::function<bool()>& fn)
{
  VK_CHECK_VAL(ws, false);
  if (how == CtrlRecord::none)
    return fn();
  return execute(CtrlDelegateAction::create(ws, fn, how == CtrlRecord::merged));
}

bool CtrlActionProcessor::execute(const std::shared_ptr<CtrlAction>& action)
{
  VK_CHECK_VAL(action, false);
  m_last_action = action;
  Step step(*action);
  const bool done = action->execute();
  // Also a change the action does not own up to is the document's.
  step.changed = action->get_has_changes();
  if (!done)
    return false;
  std::optional<Stack> dropped = std::move(m_redo_stack);
  m_redo_stack.reset();
  if (!m_undo_stack.empty()) {
    // Hold the head: merging may run code that changes the stack.
    const auto head = m_undo_stack.back();
    if (head->get_is_mergeable() && head->merge(action)) {
      // Taking the head back now takes back more than the action that
      // dropped what is kept, unless that action was the head itself.
      if (m_dropped_by != head)
        forget_dropped_redo();
      return true;
    }
  }
  if (const auto ctrl = m_ctrl.lock())
    action->set_cursor_cell(ctrl->get_now_cell());
  m_undo_stack.push_back(action);
  m_dropped_by = action;
  m_dropped_redo = std::move(dropped);
  return true;
}

void CtrlActionProcessor::undo(bool move_cursor)
{
  if (m_undo_stack.empty())
    return;
  forget_dropped_redo();
  const auto action = std::move(m_undo_stack.back());
  m_undo_stack.pop_back();
  Step step(*action);
  action->undo();
  step.changed = action->get_has_changes();
  if (!m_redo_stack)
    m_redo_stack.emplace();
  m_redo_stack->push_back(action);
  if (move_cursor)
    restore_cursor(*action);
}

void CtrlActionProcessor::redo()
{
  if (!m_redo_stack || m_redo_stack->empty())
    return;
  forget_dropped_redo();
  const auto action = std::move(m_redo_stack->back());
  m_redo_stack->pop_back();
  Step step(*action);
  action->redo();
  step.changed = action->get_has_changes();
  m_undo_stack.push_back(action);
  restore_cursor(*action);
}

void CtrlActionProcessor::revoke()
{
  if (m_undo_stack.empty())
    return;
  if (!m_dropped_by || m_dropped_by != m_undo_stack.back()) {
    undo(false);
    return;
  }
  const auto action = std::move(m_undo_stack.back());
  m_undo_stack.pop_back();
  Step step(*action);
  action->undo();
  step.changed = action->get_has_changes();
  // Before the step ends, which tells the observers: they see the stacks
  // as they will stay.
  m_redo_stack = std::move(m_dropped_redo);
  m_dropped_redo.reset();
  m_dropped_by.reset();
}

void CtrlActionProcessor::forget_dropped_redo()
{
  m_dropped_by.reset();
  m_dropped_redo.reset();
}

void CtrlActionProcessor::set_head_mergeable(bool mergeable)
{
  if (!m_undo_stack.empty())
    m_undo_stack.back()->set_is_mergeable(mergeable);
}

void CtrlActionProcessor::set_last_mergeable(bool mergeable) { m_last_action->set_is_mergeable(mergeable); }

void CtrlActionProcessor::reset()
{
  m_undo_stack.clear();
  m_redo_stack.reset();
  forget_dropped_redo();
}

void CtrlActionProcessor::swap_history(CtrlActionProcessor& other)
{
  std::swap(m_undo_stack, other.m_undo_stack);
  std::swap(m_redo_stack, other.m_redo_stack);
  std::swap(m_dropped_by, other.m_dropped_by);
  std::swap(m_dropped_redo, other.m_dropped_redo);
  std::swap(m_last_action, other.m_last_action);
}

void CtrlActionProcessor::restore_cursor(const CtrlAction& action) const
{
  const auto ctrl = m_ctrl.lock();
  if (ctrl && action.get_cursor_cell().get_is_valid())
    ctrl->set_pos(action.get_cursor_cell());
}

} // namespace velkaro
