#include "ctrl/text/update_text_action.h"

#include <algorithm>
#include <limits>

#include <pangomm/layout.h>

#include "common/check.h"
#include "ctrl/text/text_editor.h"
#include "model/element.h"
#include "model/itext_editable.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

int64_t byte_length(const std::string& text) { return static_cast<int64_t>(text.size()); }

bool same_owner(const std::weak_ptr<CtrlITextEditable>& a, const std::weak_ptr<CtrlITextEditable>& b)
{
  return !a.owner_before(b) && !b.owner_before(a);
}

// A stored text whose content undo or redo changed needs other line sizes:
// its lines are laid out again, as typing into it does.
void lay_out(const std::shared_ptr<ModelWorkspace>& ws, CtrlITextEditable& ite)
{
  auto* elm = dynamic_cast<ModelElement*>(&ite);
  if (ws && elm && elm->stored)
    ws->may_updated(elm->shared_from_this());
}

} // namespace

std::shared_ptr<CtrlUpdateTextAction> CtrlUpdateTextAction::create(std::shared_ptr<ModelWorkspace> ws,
                                                                   CtrlTextEditor& te, const std::string& last_text)
{
  return std::make_shared<CtrlUpdateTextAction>(std::move(ws), te, last_text);
}

CtrlUpdateTextAction::CtrlUpdateTextAction(std::shared_ptr<ModelWorkspace> ws, CtrlTextEditor& te,
                                           const std::string& last_text)
  : CtrlAction(std::move(ws)), m_editor(te.weak_from_this())
{
  set_is_mergeable(true);
  const std::shared_ptr<CtrlITextEditable> ite = te.get_ite();
  auto buf = std::make_shared<Buf>();
  buf->before = last_text;
  buf->after = ite->get_text();
  buf->cursor = ite->get_cursor_index();
  m_buffers.emplace_back(ite, std::move(buf));
}

bool CtrlUpdateTextAction::execute()
{
  mark_modified();
  announce();
  return true;
}

void CtrlUpdateTextAction::undo()
{
  if (const std::shared_ptr<CtrlAction> next = get_next_action())
    next->undo();
  for (const auto& [weak_ite, buf] : m_buffers) {
    const std::shared_ptr<CtrlITextEditable> ite = weak_ite.lock();
    if (!ite)
      continue;
    const int64_t d = byte_length(buf->before) - byte_length(ite->get_text());
    // The recorded cursor less the net growth may fall before the start
    // (a paste at 0 in the normal style records the cursor on the last
    // pasted character); it is kept within the restored text.
    const int64_t cursor = std::clamp<int64_t>(buf->cursor + d, 0, byte_length(buf->before));
    ite->set_text(buf->before);
    ite->set_cursor_index(static_cast<int32_t>(std::min<int64_t>(cursor, std::numeric_limits<int32_t>::max())));
    lay_out(get_ws(), *ite);
  }
  mark_modified();
  announce();
}

void CtrlUpdateTextAction::redo()
{
  for (const auto& [weak_ite, buf] : m_buffers) {
    if (const std::shared_ptr<CtrlITextEditable> ite = weak_ite.lock()) {
      ite->set_text(buf->after);
      ite->set_cursor_index(buf->cursor);
      lay_out(get_ws(), *ite);
    }
  }
  mark_modified();
  announce();
  if (const std::shared_ptr<CtrlAction> next = get_next_action())
    next->redo();
}

bool CtrlUpdateTextAction::merge(const std::shared_ptr<CtrlAction>& other)
{
  VK_CHECK_VAL(other, false);
  const auto text_action = std::dynamic_pointer_cast<CtrlUpdateTextAction>(other);
  if (!text_action)
    return CtrlAction::merge(other);
  for (const auto& [weak_ite, buf] : text_action->m_buffers) {
    const auto it = find(weak_ite);
    if (it == m_buffers.end()) {
      m_buffers.emplace_back(weak_ite, buf);
      continue;
    }
    it->second->after = buf->after;
    it->second->cursor = buf->cursor;
    // The text changed last goes to the end: it is the one announced.
    std::rotate(it, it + 1, m_buffers.end());
  }
  return true;
}

std::shared_ptr<CtrlUpdateTextAction::Buf> CtrlUpdateTextAction::get_buffer(const CtrlITextEditable& ite) const
{
  for (const auto& [weak_ite, buf] : m_buffers) {
    if (weak_ite.lock().get() == &ite)
      return buf;
  }
  return nullptr;
}

std::vector<CtrlUpdateTextAction::Entry>::iterator CtrlUpdateTextAction::find(
  const std::weak_ptr<CtrlITextEditable>& ite)
{
  return std::find_if(m_buffers.begin(), m_buffers.end(),
                      [&ite](const Entry& entry) { return same_owner(entry.first, ite); });
}

void CtrlUpdateTextAction::announce() const
{
  const std::shared_ptr<CtrlTextEditor> editor = m_editor.lock();
  if (!editor)
    return;
  for (auto it = m_buffers.rbegin(); it != m_buffers.rend(); ++it) {
    if (const std::shared_ptr<CtrlITextEditable> ite = it->first.lock()) {
      editor->signal_update().emit(ite, true);
      return;
    }
  }
}

void CtrlUpdateTextAction::mark_modified() const
{
  // Text edits change no cell, so the workspace's own change signal, which
  // sets the flag, is not emitted for them.
  const std::shared_ptr<ModelWorkspace>& ws = get_ws();
  if (ws && !ws->is_tmp)
    ws->modified = true;
}

} // namespace velkaro
