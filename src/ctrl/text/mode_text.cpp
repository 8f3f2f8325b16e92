// CtrlATextModeRoot: making, entering and leaving a text mode.

#include "ctrl/text/mode_text.h"

#include <cassert>

#include <cairo.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/text/text_editor_insert.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

namespace {

// The base mode's cursor moves, switched off while text is edited: keys the
// editor does not bind (the keypad arrows) must not move the cursor cell.
const char* const SILENCED_MOVES[] = {"up", "down", "left", "right"};

} // namespace

CtrlATextModeRoot::CtrlATextModeRoot(CtrlContext& ctrl) : CtrlMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  for (const char* name : SILENCED_MOVES)
    replace_void(name, &CtrlIActionHandler::do_nothing);
  replace_void("undo", [this] {
    if (!now_mode_is(get_normal_mode()))
      return;
    undo();
    survive();
  });
  replace_void("redo", [this] {
    if (!now_mode_is(get_normal_mode()))
      return;
    redo();
    survive();
  });
}

void CtrlATextModeRoot::construct()
{
  const auto editor = new_text_editor();
  assert(editor && "a text mode needs an editor");
  include(editor);
  editor->signal_update().connect(sigc::mem_fun(*this, &CtrlATextModeRoot::on_update_cb));
  editor->signal_exit_request().connect(sigc::mem_fun(*this, &CtrlATextModeRoot::on_exit_req));
  editor->signal_enter_request().connect(sigc::mem_fun(*this, &CtrlATextModeRoot::on_enter_req));
  editor->signal_overstep_cursor_limit().connect(
    sigc::mem_fun(*this, &CtrlATextModeRoot::on_overstep_cursor_limit_cb));
}

CtrlTextEditorContextParts CtrlATextModeRoot::editor_parts() const
{
  auto& ctrl = get_ctrl();
  // The link, not the context: the editor must not keep the context alive,
  // and it may outlive it for a moment.
  const std::shared_ptr<const CtrlContextLink> link = ctrl.get_link();
  CtrlTextEditorContextLink editor_link;
  editor_link.get_now_text_elm = [link]() -> std::shared_ptr<CtrlITextEditable> {
    return link->ctx ? link->ctx->get_now_text_elm() : nullptr;
  };
  editor_link.get_canvas = [link]() -> Gtk::Widget* {
    const auto canvas = link->ctx ? link->ctx->get_canvas() : nullptr;
    return canvas ? canvas->get_widget() : nullptr;
  };
  editor_link.get_zoom = [link] {
    const auto canvas = link->ctx ? link->ctx->get_canvas() : nullptr;
    return canvas ? canvas->get_zoom() : 1.0;
  };
  // Null while the context is still being constructed (modes are made
  // there); the editor only observes it.
  return {ctrl.weak_from_this().lock(), std::move(editor_link), ctrl.get_action_proc(), ctrl.get_ws(),
          ctrl.get_store()};
}

std::shared_ptr<CtrlTextEditorWithAction> CtrlATextModeRoot::new_text_editor()
{
  return CtrlTextEditorInsert::create_with_ctrl(editor_parts());
}

CtrlTextEditorWithAction& CtrlATextModeRoot::editor()
{
  const auto editor = get_text_editor();
  assert(editor && "a text mode always has its editor");
  // The mode's included handlers own it.
  return *editor;
}

std::shared_ptr<CtrlTextEditorWithAction> CtrlATextModeRoot::get_text_editor()
{
  for (const auto& handler : get_included_modes())
    if (auto editor = std::dynamic_pointer_cast<CtrlTextEditorWithAction>(handler))
      return editor;
  return nullptr;
}

CtrlATextModeRoot& CtrlATextModeRoot::req_cursor(int32_t dir, bool to_end)
{
  m_req_dir = dir;
  m_req_to_end = to_end;
  return *this;
}

std::shared_ptr<ModelTextElement> CtrlATextModeRoot::get_text_elm() const
{
  return has_ctrl() ? get_ctrl().get_now_text_elm() : nullptr;
}

std::string CtrlATextModeRoot::get_text() const
{
  const auto text = get_text_elm();
  return text ? text->get_text() : std::string();
}

std::shared_ptr<ModelTextElement> CtrlATextModeRoot::get_edited_text() const
{
  return m_crossed_text ? m_crossed_text : get_text_elm();
}

bool CtrlATextModeRoot::get_is_enterable() const { return get_text_elm() != nullptr; }

bool CtrlATextModeRoot::now_mode_is(std::type_index type) const
{
  const auto& now = get_ctrl().get_now_mode();
  return now && std::type_index(typeid(*now)) == type;
}

bool CtrlATextModeRoot::change_to_mode(std::type_index type, const CtrlContext::Prepare& prepare)
{
  return get_ctrl().change_to(
    type, [type](const CtrlMode& mode) { return std::type_index(typeid(mode)) == type; }, prepare);
}

CtrlContext::Prepare CtrlATextModeRoot::cursor_request(int32_t dir, bool to_end)
{
  return [dir, to_end](CtrlMode& mode) {
    if (auto* text_mode = dynamic_cast<CtrlATextMode*>(&mode))
      text_mode->req_cursor(dir, to_end);
  };
}

// --- Entering

void CtrlATextModeRoot::on_enter()
{
  auto& ctrl = get_ctrl();
  if (const auto text = get_text_elm())
    m_was_empty = text->get_text().empty();
  auto& ed = editor();
  const std::shared_ptr<CtrlITextEditable> ite = ed.get_ite();
  apply_cursor_request(*ite);
  // Pointer points then reach the editor relative to the edited cell.
  Point offset;
  offset.sub(ctrl.get_now_cell_top_left_pt());
  ed.set_mouse_offset_pt(offset);
  ensure_cursor_location(*ite);
  ed.activate();
  ctrl.update_view();
}

void CtrlATextModeRoot::apply_cursor_request(CtrlITextEditable& ite)
{
  auto& ed = editor();
  if (m_req_dir == 1 && m_req_to_end) {
    ed.move_cursor_at_eol();
  } else if (m_req_dir == 1) {
    const std::string text = ite.get_text();
    const int32_t i = ite.get_cursor_index();
    if (i >= 0 && static_cast<size_t>(i) < text.size() && text[static_cast<size_t>(i)] != '\n')
      ite.set_cursor_index(ite.get_next_char());
  } else if (m_req_dir == -1 && m_req_to_end) {
    ed.move_cursor_at_sol();
  }
  m_req_dir = 0;
  m_req_to_end = false;
}

void CtrlATextModeRoot::ensure_cursor_location(CtrlITextEditable& ite)
{
  const cairo_rectangle_int_t now = ite.get_cursor_location();
  if (now.x != 0 || now.y != 0 || now.width != 0 || now.height != 0)
    return;
  const CellPos cell = get_ctrl().get_now_cell();
  const Rectangle r = get_ws()->grid->get_rect(cell.x, cell.y);
  cairo_rectangle_int_t rect{static_cast<int>(r.x), static_cast<int>(r.y), static_cast<int>(r.width),
                             static_cast<int>(r.height)};
  ite.set_cursor_location(rect, get_zoom());
}

// --- Leaving

void CtrlATextModeRoot::on_exit()
{
  // A return to the normal role is only for the mode it was asked in.
  m_exit_idle.disconnect();
  auto& ctrl = get_ctrl();
  editor().deactivate();
  hand_over_text(dynamic_cast<CtrlATextModeRoot*>(ctrl.get_next_mode().get()));
  // Ended before a removal too, so that the removal is a step of its own
  // and not folded into the edits made here.
  const auto proc = ctrl.get_action_proc();
  proc->set_head_mergeable(false);
  remove_empty_text();
  proc->set_head_mergeable(false);
  ctrl.update_view();
}

void CtrlATextModeRoot::hand_over_text(CtrlATextModeRoot* next)
{
  if (!m_crossed_text)
    return;
  if (next && next != this)
    next->adopt_text(m_crossed_text);
  if (next != this) {
    editor().set_ite(nullptr);
    m_crossed_text.reset();
  }
}

void CtrlATextModeRoot::adopt_text(const std::shared_ptr<ModelTextElement>& text)
{
  m_crossed_text = text;
  editor().set_ite(text);
}

void CtrlATextModeRoot::remove_empty_text()
{
  auto& ctrl = get_ctrl();
  const auto text = get_text_elm();
  if (!text || !text->get_text().empty())
    return;
  // Moving between text modes keeps the text for the next one.
  if (dynamic_cast<const CtrlATextMode*>(ctrl.get_next_mode().get()))
    return;
  const auto head = ctrl.get_now_elm();
  if (!head || head->get_next())
    return;
  // Taking back the newest step is right only when that step made this very
  // text: it then goes with the edits merged into it, as a cancelled
  // insertion, leaving no step to redo and the redo history it found. Any
  // other step is the user's unrelated work, so the text goes in a step of
  // its own instead.
  if (m_was_empty && head_action_created(*text)) {
    ctrl.get_action_proc()->revoke();
    return;
  }
  const auto ws = get_ws();
  with_diff([ws, text] {
    if (const auto pos = ws->remove_all(text, false)) {
      ws->update_layout(*pos);
      ws->signal_update();
    }
  });
}

bool CtrlATextModeRoot::head_action_created(const ModelTextElement& text) const
{
  const auto& stack = get_ctrl().get_action_proc()->get_undo_stack();
  if (stack.empty() || !stack.back()->get_diff())
    return false;
  // Only a step that did nothing but store this text: undoing a step that
  // also changed other things (a pasted block holding the text) would take
  // those away with it.
  const auto& diff = *stack.back()->get_diff();
  if (diff.inserted_line || diff.removed_line)
    return false;
  int added = 0;
  bool created = false;
  diff.each_add([&](int32_t, int32_t, const ModelWorkspaceDiff::ElementPtr& elm) {
    ++added;
    created = created || elm.get() == &text;
  });
  bool removed = false;
  diff.each_rm([&](int32_t, int32_t, const ModelWorkspaceDiff::ElementPtr&) { removed = true; });
  return created && added == 1 && !removed;
}

} // namespace velkaro
