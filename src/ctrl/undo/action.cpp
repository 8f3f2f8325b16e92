#include "ctrl/undo/action.h"

#include <utility>

#include "common/c_resource.h"
#include "common/check.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

CtrlAction::CtrlAction(std::shared_ptr<ModelWorkspace> ws) : m_ws(std::move(ws)) {}

std::shared_ptr<CtrlAction> CtrlAction::create(std::shared_ptr<ModelWorkspace> ws)
{
  return std::make_shared<CtrlAction>(std::move(ws));
}

CtrlAction::~CtrlAction()
{
  // A long chain would otherwise be released by one nested destructor call
  // per merged action.
  auto next = std::move(m_next_action);
  while (next && next.use_count() == 1)
    next = std::move(next->m_next_action);
}

bool CtrlAction::execute() { return true; }

void CtrlAction::undo()
{
  if (m_next_action)
    m_next_action->undo();
  if (m_ws && m_diff)
    m_ws->patch(*m_diff->reverse());
}

void CtrlAction::redo()
{
  if (m_ws && m_diff)
    m_ws->patch(*m_diff);
  if (m_next_action)
    m_next_action->redo();
}

bool CtrlAction::merge(const std::shared_ptr<CtrlAction>& other)
{
  VK_CHECK_VAL(other, false);
  if (m_next_action)
    return m_next_action->merge(other);
  m_next_action = other;
  return true;
}

bool CtrlAction::get_has_changes() const
{
  for (const CtrlAction* a = this; a; a = a->m_next_action.get())
    if (a->m_diff && !a->m_diff->get_is_empty())
      return true;
  return false;
}

bool CtrlAction::get_is_mergeable() const { return m_is_mergeable; }

void CtrlAction::set_is_mergeable(bool mergeable) { m_is_mergeable = mergeable; }

bool CtrlAction::with_diff(const std::function<bool()>& fn)
{
  const bool done = record_changes(fn);
  g_debug("action:347: with_diff %s", done ? "true" : "false");
  return done;
}

bool CtrlAction::record_changes(const std::function<bool()>& fn)
{
  if (!m_ws)
    return fn();
  m_diff = m_ws->new_diff();
  const auto before = m_ws->get_diff();
  m_ws->set_diff(m_diff);
  ScopeGuard close([this, &before] { m_ws->set_diff(before); });
  return fn();
}

} // namespace velkaro
