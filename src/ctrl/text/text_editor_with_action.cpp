#include "ctrl/text/text_editor_with_action.h"

#include <utility>

#include <pangomm/layout.h>

#include "ctrl/undo/action_processor.h"
#include "ctrl/text/update_text_action.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro {

CtrlTextEditorWithAction::CtrlTextEditorWithAction(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite)
  : CtrlTextEditor(&widget, ite)
{
}

CtrlTextEditorWithAction::CtrlTextEditorWithAction(CtrlTextEditorContextParts parts)
  : CtrlTextEditor(parts.ctrl, std::move(parts.link)),
    m_data(std::move(parts.action_proc), std::move(parts.ws), std::move(parts.store))
{
}

void CtrlTextEditorWithAction::emit_update_text(const std::string& prev)
{
  // Held: the action's announcement may run code that drops the editor.
  const std::shared_ptr<CtrlActionProcessor> proc = m_data.action_proc;
  if (!proc) {
    mark_modified();
    CtrlTextEditor::emit_update_text(prev);
    return;
  }
  const std::shared_ptr<CtrlTextEditor> keep = hold();
  proc->execute(CtrlUpdateTextAction::create(m_data.ws, *this, prev));
}

void CtrlTextEditorWithAction::mark_modified() const
{
  if (m_data.ws && !m_data.ws->is_tmp)
    m_data.ws->modified = true;
}

} // namespace velkaro
