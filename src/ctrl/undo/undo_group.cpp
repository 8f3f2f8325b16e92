#include "ctrl/undo/undo_group.h"

#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"

namespace velkaro {

CtrlUndoGroup::CtrlUndoGroup(CtrlContext& ctx) : m_proc(*ctx.get_action_proc())
{
  m_proc.record(ctx.get_ws(), CtrlRecord::merged, [] { return true; });
  m_step = m_proc.get_last_action();
}

CtrlUndoGroup::~CtrlUndoGroup()
{
  const auto& stack = m_proc.get_undo_stack();
  if (!stack.empty() && stack.back() == m_step)
    m_step->set_is_mergeable(false);
}

} // namespace velkaro
