// CtrlATextMode with its key tables, the in-cell family CtrlAGTextMode and
// its four modes.

#include <optional>

#include "common/check.h"
#include "common/text_range.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_normal.h"
#include "model/text_element.h"

namespace velkaro {

// --- CtrlATextMode

void CtrlATextMode::register_normal_keys()
{
  // Into the insert role with a cursor request, or into the visual role; in
  // registration order.
  static const CtrlActionRows<CtrlATextMode> rows = {
    {"insert-text", {"i"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       m.change_to_mode(m.get_insert_mode());
       return true;
     }},
    {"append-text", {"a"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       m.change_to_mode(m.get_insert_mode(), cursor_request(1, false));
       return true;
     }},
    {"insert-text-to-first", {"I"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       m.change_to_mode(m.get_insert_mode(), cursor_request(-1, true));
       return true;
     }},
    {"append-text-to-last", {"A"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       m.change_to_mode(m.get_insert_mode(), cursor_request(1, true));
       return true;
     }},
    {"change-to-visualmode", {"v"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       m.change_to_mode(m.get_visual_mode());
       return true;
     }},
  };
  ctrl_register_rows(*this, *this, rows);
  replace_void("cancel", [this] { get_ctrl().change_to_cell_mode(); });
}

void CtrlATextMode::register_visual_keys()
{
  static const CtrlActionRows<CtrlATextMode> rows = {
    {"change-text", {"c"}, nullptr, CtrlRecord::none,
     [](CtrlATextMode& m) {
       // The cut asks to leave the visual role; here typing follows instead.
       m.set_exit_requests_ignored(true);
       m.cut();
       m.set_exit_requests_ignored(false);
       m.change_to_mode(m.get_insert_mode());
       return true;
     }},
  };
  ctrl_register_rows(*this, *this, rows);
}

void CtrlATextMode::cut() { get_text_editor()->cut(); }

bool CtrlATextMode::on_release_left_button(const Point&)
{
  if (!now_mode_is(get_visual_mode()))
    return false;
  if (start_text_elm) {
    const auto now = get_text_elm();
    if (start_text_elm == now && now->get_text_range()->get_size() == 0)
      cancel();
    return false;
  }
  const auto text = get_edited_text();
  if (text && text->get_text_range()->get_size() == 0)
    cancel();
  return false;
}

// --- CtrlAGTextMode

std::type_index CtrlAGTextMode::get_visual_mode() const { return typeid(CtrlVisualModeInCell); }

std::type_index CtrlAGTextMode::get_normal_mode() const { return typeid(CtrlNormalModeInCell); }

std::type_index CtrlAGTextMode::get_insert_mode() const { return typeid(CtrlInsertModeNormal); }

// --- The in-cell modes

CtrlNormalModeInCell::CtrlNormalModeInCell(Key, CtrlContext& ctrl) : CtrlAGTextMode(ctrl) { register_normal_keys(); }

std::shared_ptr<CtrlTextEditorWithAction> CtrlNormalModeInCell::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

bool CtrlNormalModeInCell::on_double_press_left_button(const Point&)
{
  change_to<CtrlInsertModeNormal>();
  return false;
}

CtrlInsertModeNormal::CtrlInsertModeNormal(Key, CtrlContext& ctrl) : CtrlAGTextMode(ctrl)
{
  replace_void("cancel", [this] { cancel(); });
}

CtrlInsertModeDirect::CtrlInsertModeDirect(Key, CtrlContext& ctrl) : CtrlAGTextMode(ctrl)
{
  replace_void("cancel", [this] { get_ctrl().change_to_cell_mode(); });
}

CtrlVisualModeInCell::CtrlVisualModeInCell(Key, CtrlContext& ctrl) : CtrlAGTextMode(ctrl)
{
  register_visual_keys();
  replace_void("cancel", [this] { cancel(); });
}

std::shared_ptr<CtrlTextEditorWithAction> CtrlVisualModeInCell::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

void CtrlVisualModeInCell::on_enter()
{
  CtrlAGTextMode::on_enter();
  get_text_editor()->set_is_selecting(true);
}

void CtrlVisualModeInCell::on_exit()
{
  CtrlAGTextMode::on_exit();
  if (const auto text = get_text_elm())
    text->foreach([](ModelTextElement& each) {
      each.get_text_range()->clear();
      return true;
    });
}

} // namespace velkaro
