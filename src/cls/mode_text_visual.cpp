// ClsVisualModeInClass: a selection across the compartments of a class, its
// copy, cut and paste.

#include <cstdlib>

#include "cls/context.h"
#include "cls/doc/class_element.h"
#include "cls/mode_text.h"
#include "common/text_range.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/text/text_editor_clipboard.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/text_element.h"

namespace velkaro {

std::shared_ptr<ClsVisualModeInClass> ClsVisualModeInClass::create(ClsContext& ctrl)
{
  return create_mode<ClsVisualModeInClass>(ctrl);
}

ClsVisualModeInClass::ClsVisualModeInClass(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl)
{
  register_visual_keys();
  replace_void("cancel", [this] { cancel(); });
  replace_void("copy", [this] { copy(); });
  replace_void("paste", [this] { paste(); });
  for (const char* name : {"cut", "delete", "delete-text-line"})
    replace_void(name, [this] { cut(); });
}

ClsVisualModeInClass::~ClsVisualModeInClass() = default;

std::shared_ptr<CtrlTextEditorWithAction> ClsVisualModeInClass::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

void ClsVisualModeInClass::on_enter()
{
  const auto text = get_text_elm();
  if (!text)
    return;
  const auto klass = get_editing_klass();
  start_cursor_index = text->get_cursor_index();
  start_text_elm = text;
  start_elm_index = klass ? klass->get_text_elem_index(*text) : 0;
  text->get_text_range()->clear();
  ClsAInClassMode::on_enter();
  get_text_editor()->set_is_selecting(true);
}

void ClsVisualModeInClass::on_exit()
{
  // A paste still waiting for the clipboard is dropped; the keys it held
  // follow when the answer comes.
  m_paste_pending = false;
  ClsAInClassMode::on_exit();
  if (const auto klass = get_editing_klass())
    klass->foreach_shown_text_elem([](const TextPtr& text, const Rectangle&) {
      text->get_text_range()->clear();
      return true;
    });
}

bool ClsVisualModeInClass::on_press_left_button(const Point& pt)
{
  if (!ClsAInClassMode::on_press_left_button(pt))
    change_to_mode(get_normal_mode());
  return true;
}

bool ClsVisualModeInClass::on_drag_with_left_button(const Point&, const Point& now_pt)
{
  const auto text = get_text_elem_at(now_pt);
  if (text && text != get_text_elm())
    change_active_text_elem(text);
  return false;
}

void ClsVisualModeInClass::change_active_text_elem(const TextPtr& telm)
{
  const auto klass = get_editing_klass();
  if (!klass || !telm || !klass->has_text_elem(*telm)) {
    ClsAInClassMode::change_active_text_elem(telm);
    return;
  }
  const auto before = get_text_elm();
  const int target = klass->get_text_elem_index(*telm);
  const bool forward = start_elm_index < target;
  int k = 0;
  klass->foreach_shown_text_elem([&](const TextPtr& e, const Rectangle&) {
    k = klass->get_text_elem_index(*e);
    const auto range = e->get_text_range();
    if (e == start_text_elm) {
      const int32_t length = static_cast<int32_t>(e->get_text().size());
      if (forward)
        range->set_range(start_cursor_index, length);
      else
        range->set_range(0, e->get_next_or_prev_char(start_cursor_index, true));
    } else if (std::abs(k - start_elm_index) > std::abs(target - start_elm_index)) {
      range->clear();
    } else if ((forward && k > start_elm_index) || (!forward && k < start_elm_index)) {
      range->set_range(0, static_cast<int32_t>(e->get_text().size()));
    } else {
      range->clear();
    }
    return true;
  });
  get_text_editor()->set_selection_anchor(telm == start_text_elm ? start_cursor_index : forward ? 0 : -1);
  klass->active_text_elem = telm;
  follow_active(before);
  get_ctrl().update_view();
}

// --- Copy and cut

void ClsVisualModeInClass::copy_selection()
{
  std::string text;
  CtrlTextEditor::forget_line_yank_text();
  const auto klass = get_editing_klass();
  const auto edited = get_text_elm();
  if (klass) {
    // From the first of the anchor and the edited compartment to the last.
    bool inside = false;
    bool done = false;
    klass->foreach_shown_text_elem([&](const TextPtr& e, const Rectangle&) {
      const bool end_point = e == start_text_elm || e == edited;
      if (!inside && !end_point)
        return true;
      if (!text.empty())
        text += "\n";
      text += e->get_selected_text().value_or("");
      if (end_point && inside)
        done = true;
      inside = true;
      // One compartment holding both ends closes the stretch at once.
      if (start_text_elm == edited)
        done = true;
      return !done;
    });
  } else if (edited) {
    text = edited->get_selected_text().value_or("");
  }
  get_text_editor()->get_clipboard()->set_text(text);
}

void ClsVisualModeInClass::copy()
{
  copy_selection();
  change_to_mode(get_normal_mode());
}

void ClsVisualModeInClass::cut()
{
  // Held: the deletions' signals may drop the last owner of the editor.
  const auto editor = get_text_editor();
  copy_selection();
  const auto klass = get_editing_klass();
  if (!klass) {
    editor->del();
    return;
  }
  std::vector<TextPtr> pieces;
  klass->foreach_shown_text_elem([&](const TextPtr& e, const Rectangle&) {
    if (e->get_has_range())
      pieces.push_back(e);
    return true;
  });
  const auto active = klass->active_text_elem;
  const auto& proc = get_ctrl().get_action_proc();
  for (const auto& piece : pieces) {
    // Each piece is an undo step of its own.
    proc->set_head_mergeable(false);
    klass->active_text_elem = piece;
    editor->del();
  }
  proc->set_head_mergeable(false);
  klass->active_text_elem = active;
}

// --- Paste

void ClsVisualModeInClass::paste()
{
  if (m_paste_pending)
    return;
  m_paste_pending = true;
  const unsigned serial = ++m_paste_serial;
  const std::weak_ptr<CtrlMode> weak = weak_from_this();
  get_text_editor()->get_clipboard()->request_text([weak, serial](const std::optional<std::string>& text) {
    if (const auto mode = weak.lock())
      static_cast<ClsVisualModeInClass&>(*mode).on_paste_text(serial, text);
  });
}

void ClsVisualModeInClass::on_paste_text(unsigned serial, std::optional<std::string> text)
{
  // Held: the edits and the keys that follow may switch modes.
  const auto self = shared_from_this();
  if (m_paste_pending && serial == m_paste_serial) {
    m_paste_pending = false;
    cut();
    if (text)
      get_text_editor()->insert(*text);
  }
  release_held_keys();
}

bool ClsVisualModeInClass::key_press(GdkEventKey& event)
{
  if (m_paste_pending || !m_held_keys.empty()) {
    m_held_keys.emplace_back(gdk_event_copy(reinterpret_cast<GdkEvent*>(&event)));
    return true;
  }
  return ClsAInClassMode::key_press(event);
}

void ClsVisualModeInClass::release_held_keys()
{
  if (m_held_keys.empty())
    return;
  // Had the text come at once, the return to the normal mode the paste
  // asked for would have run before the next key.
  if (get_is_exit_pending() && now_mode_is(get_visual_mode()))
    cancel();
  auto keys = std::move(m_held_keys);
  m_held_keys.clear();
  for (size_t i = 0; i < keys.size(); ++i) {
    const auto now = get_ctrl().get_now_mode();
    // A key that starts another paste waits again, with the rest behind it.
    if (now.get() == this && m_paste_pending) {
      for (size_t j = i; j < keys.size(); ++j)
        m_held_keys.push_back(std::move(keys[j]));
      return;
    }
    if (now)
      now->key_press(keys[i]->key);
  }
}

} // namespace velkaro
