// CtrlATextMode with its key tables, the in-cell family CtrlAGTextMode and
// its four modes.

#include <optional>

#include "common/check.h"
#include "common/text_range.h"
#include "ctrl/mode_text.h"
#include "ctrl/text_editor_normal.h"
#include "model/text_element.h"

namespace velkaro {

namespace {

// A normal-role key: into the insert role with a cursor request, or into
// the visual role.
struct NormalKeyRow {
  const char* name;
  const char* key;
  bool to_visual;
  int32_t req_dir;
  bool req_to_end;
};

// In registration order.
const NormalKeyRow NORMAL_KEYS[] = {
  {"insert-text", "i", false, 0, false},
  {"append-text", "a", false, 1, false},
  {"insert-text-to-first", "I", false, -1, true},
  {"append-text-to-last", "A", false, 1, true},
  {"change-to-visualmode", "v", true, 0, false},
};

} // namespace

// --- CtrlATextMode

void CtrlATextMode::register_normal_keys()
{
  for (const NormalKeyRow& row : NORMAL_KEYS) {
    void_action(
      row.name, {row.key},
      [this, row] {
        if (row.to_visual)
          change_to_mode(get_visual_mode());
        else
          change_to_mode(get_insert_mode(), row.req_dir ? cursor_request(row.req_dir, row.req_to_end)
                                                        : CtrlContext::Prepare());
      },
      std::nullopt);
  }
  replace_void("cancel", [this] { get_ctrl().change_to_cell_mode(); });
}

void CtrlATextMode::register_visual_keys()
{
  void_action(
    "change-text", {"c"},
    [this] {
      // The cut asks to leave the visual role; here typing follows instead.
      set_exit_requests_ignored(true);
      cut();
      set_exit_requests_ignored(false);
      change_to_mode(get_insert_mode());
    },
    std::nullopt);
}

void CtrlATextMode::cut() { get_text_editor()->cut(); }

bool CtrlATextMode::on_release_left_button(const std::shared_ptr<Point>& pt)
{
  VK_CHECK_VAL(pt, false);
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

bool CtrlNormalModeInCell::on_double_press_left_button(const std::shared_ptr<Point>& pt)
{
  VK_CHECK_VAL(pt, false);
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
