#include "cls/mode_text.h"

#include "cls/context.h"
#include "cls/doc/class_element.h"
#include "common/text_range.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/text_element.h"

namespace velkaro {

// --- ClsAInClassMode

ClsAInClassMode::ClsAInClassMode(CtrlContext& ctrl) : CtrlATextMode(ctrl) {}

std::type_index ClsAInClassMode::get_visual_mode() const { return typeid(ClsVisualModeInClass); }

std::type_index ClsAInClassMode::get_normal_mode() const { return typeid(ClsNormalModeInClass); }

std::type_index ClsAInClassMode::get_insert_mode() const { return typeid(ClsInsertModeNormal); }

std::shared_ptr<ClsClassElement> ClsAInClassMode::get_editing_klass() const
{
  return std::dynamic_pointer_cast<ClsClassElement>(get_ctrl().get_now_elm());
}

CellPos ClsAInClassMode::get_editing_cell_pos() const { return get_ctrl().get_now_cell(); }

void ClsAInClassMode::on_enter()
{
  entry_pt.reset();
  CtrlATextMode::on_enter();
}

// --- The four modes

std::shared_ptr<ClsNormalModeInClass> ClsNormalModeInClass::create(ClsContext& ctrl)
{
  return create_mode<ClsNormalModeInClass>(ctrl);
}

ClsNormalModeInClass::ClsNormalModeInClass(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl) { register_normal_keys(); }

std::shared_ptr<CtrlTextEditorWithAction> ClsNormalModeInClass::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

bool ClsNormalModeInClass::on_double_press_left_button(const Point&)
{
  change_to<ClsInsertModeNormal>();
  return false;
}

std::shared_ptr<ClsVisualModeInClass> ClsVisualModeInClass::create(ClsContext& ctrl)
{
  return create_mode<ClsVisualModeInClass>(ctrl);
}

ClsVisualModeInClass::ClsVisualModeInClass(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl)
{
  register_visual_keys();
  replace_void("cancel", [this] { cancel(); });
}

std::shared_ptr<CtrlTextEditorWithAction> ClsVisualModeInClass::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

void ClsVisualModeInClass::on_enter()
{
  ClsAInClassMode::on_enter();
  get_text_editor()->set_is_selecting(true);
}

void ClsVisualModeInClass::on_exit()
{
  ClsAInClassMode::on_exit();
  if (const auto text = get_text_elm())
    text->get_text_range()->clear();
}

std::shared_ptr<ClsInsertModeNormal> ClsInsertModeNormal::create(ClsContext& ctrl)
{
  return create_mode<ClsInsertModeNormal>(ctrl);
}

ClsInsertModeNormal::ClsInsertModeNormal(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl)
{
  replace_void("cancel", [this] { cancel(); });
}

std::shared_ptr<ClsInsertModeDirect> ClsInsertModeDirect::create(ClsContext& ctrl)
{
  return create_mode<ClsInsertModeDirect>(ctrl);
}

ClsInsertModeDirect::ClsInsertModeDirect(Key key, CtrlContext& ctrl) : ClsInsertModeNormal(key, ctrl)
{
  replace_void("cancel", [this] { get_ctrl().change_to_cell_mode(); });
}

} // namespace velkaro
