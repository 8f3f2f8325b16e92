// ClsAInClassMode and the four class-diagram text modes; the visual mode's
// selection, copy, cut and paste are in mode_text_visual.cpp.

#include "cls/mode_text.h"

#include "cls/actions.h"
#include "cls/context.h"
#include "cls/doc/class_element.h"
#include "cls/doc/workspace.h"
#include "common/rectangle.h"
#include "common/text_range.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/text/text_editor_normal.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/text_element.h"

namespace velkaro {

namespace {

const CtrlActionRows<ClsAInClassMode>& block_rows()
{
  static const CtrlActionRows<ClsAInClassMode> rows = {
    {"insert-block", {"<S-Enter>"}, N_("Insert block"), CtrlRecord::none,
     [](ClsAInClassMode& m) {
       m.add_block();
       return true;
     }},
    {"delete-block", {"<S-Del>"}, N_("Delete block"), CtrlRecord::none,
     [](ClsAInClassMode& m) {
       m.rm_block();
       return true;
     }},
  };
  return rows;
}

} // namespace

// --- ClsAInClassMode

ClsAInClassMode::ClsAInClassMode(CtrlContext& ctrl) : CtrlATextMode(ctrl) {}

ClsContext& ClsAInClassMode::get_cls_ctrl() const { return get_ctrl().get_c<ClsContext>(); }

const std::shared_ptr<ClsWorkspace>& ClsAInClassMode::get_cls_ws() const { return get_cls_ctrl().get_cls_ws(); }

void ClsAInClassMode::register_block_keys() { ctrl_register_rows(*this, *this, block_rows()); }

std::type_index ClsAInClassMode::get_visual_mode() const { return typeid(ClsVisualModeInClass); }

std::type_index ClsAInClassMode::get_normal_mode() const { return typeid(ClsNormalModeInClass); }

std::type_index ClsAInClassMode::get_insert_mode() const { return typeid(ClsInsertModeNormal); }

std::shared_ptr<ClsClassElement> ClsAInClassMode::get_editing_klass() const
{
  return std::dynamic_pointer_cast<ClsClassElement>(get_ctrl().get_now_elm());
}

CellPos ClsAInClassMode::get_editing_cell_pos() const { return get_ctrl().get_now_cell(); }

ClsAInClassMode::TextPtr ClsAInClassMode::get_text_elem_at(const Point& pt) const
{
  const auto klass = get_editing_klass();
  if (!klass)
    return get_text_elm();
  Point in_cell = pt;
  get_ctrl().translate_pt_wnd_to_cell(in_cell);
  TextPtr found;
  klass->foreach_shown_text_elem([&](const TextPtr& text, const Rectangle& div) {
    if (!div.contains_xy(in_cell))
      return true;
    found = text;
    return false;
  });
  return found;
}

void ClsAInClassMode::follow_active(const TextPtr& before)
{
  const auto now = get_text_elm();
  if (!before || before == now || !before->get_is_editing())
    return;
  before->set_is_editing(false);
  if (now)
    now->set_is_editing(true);
}

void ClsAInClassMode::change_active_text_elem(const TextPtr& telm)
{
  const auto before = get_text_elm();
  if (!telm || telm == before)
    return;
  if (before)
    before->get_text_range()->clear();
  if (const auto klass = get_editing_klass(); klass && klass->has_text_elem(*telm)) {
    klass->active_text_elem = telm;
    follow_active(before);
  }
  get_ctrl().update_view();
}

bool ClsAInClassMode::add_block()
{
  auto& ctx = get_ctrl();
  const auto before = get_text_elm();
  const auto& proc = ctx.get_action_proc();
  proc->set_head_mergeable(false);
  const bool done = proc->execute(std::make_shared<ClsInsertBlockInClass>(get_cls_ws(), get_editing_cell_pos()));
  follow_active(before);
  return done;
}

bool ClsAInClassMode::rm_block()
{
  auto& ctx = get_ctrl();
  const auto before = get_text_elm();
  const bool done =
    ctx.get_action_proc()->execute(std::make_shared<ClsRemoveBlockInClass>(get_cls_ws(), get_editing_cell_pos()));
  follow_active(before);
  return done;
}

void ClsAInClassMode::on_enter()
{
  if (!get_text_elm()) {
    entry_pt.reset();
    return;
  }
  if (entry_pt) {
    if (const auto text = get_text_elem_at(*entry_pt))
      change_active_text_elem(text);
    entry_pt.reset();
  }
  CtrlATextMode::on_enter();
}

bool ClsAInClassMode::on_press_left_button(const Point& pt)
{
  if (change_to_cell_mode_if_need(pt))
    return true;
  if (const auto text = get_text_elem_at(pt))
    change_active_text_elem(text);
  return false;
}

CellPos ClsAInClassMode::get_text_pos(const std::shared_ptr<ModelTextElement>& elm)
{
  std::shared_ptr<ClsClassElement> klass;
  CellPos pos{-1, -1};
  if (elm && get_cls_ws()->get_klass_has_text_elem(*elm, klass, pos))
    return pos;
  return CtrlATextMode::get_text_pos(elm);
}

void ClsAInClassMode::on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool text_changed)
{
  const auto klass = get_editing_klass();
  if (klass && ite != std::static_pointer_cast<CtrlITextEditable>(get_text_elm()))
    if (const auto text = std::dynamic_pointer_cast<ModelTextElement>(ite); text && klass->has_text_elem(*text))
      klass->active_text_elem = text;
  CtrlATextMode::on_update_cb(ite, text_changed);
}

void ClsAInClassMode::on_overstep_cursor_limit_cb(int dx, int dy, int x)
{
  const auto klass = get_editing_klass();
  if (!klass)
    return;
  TextPtr next;
  if (dx < 0 || dy < 0)
    next = klass->get_upper_text_elem();
  else if (dx > 0 || dy > 0)
    next = klass->get_lower_text_elem();
  if (!next)
    return;
  change_active_text_elem(next);
  get_text_editor()->take_over_cursor(dx, dy, x);
  get_ctrl().update_view();
}

bool ClsAInClassMode::keeps_empty_text(const ModelTextElement& text) const
{
  const auto klass = get_editing_klass();
  return klass && klass->has_text_elem(text);
}

// --- The modes

std::shared_ptr<ClsNormalModeInClass> ClsNormalModeInClass::create(ClsContext& ctrl)
{
  return create_mode<ClsNormalModeInClass>(ctrl);
}

ClsNormalModeInClass::ClsNormalModeInClass(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl)
{
  register_normal_keys();
  register_block_keys();
}

std::shared_ptr<CtrlTextEditorWithAction> ClsNormalModeInClass::new_text_editor()
{
  return CtrlTextEditorNormal::create_with_ctrl(editor_parts());
}

bool ClsNormalModeInClass::on_double_press_left_button(const Point&)
{
  change_to<ClsInsertModeNormal>();
  return false;
}

std::shared_ptr<ClsInsertModeNormal> ClsInsertModeNormal::create(ClsContext& ctrl)
{
  return create_mode<ClsInsertModeNormal>(ctrl);
}

ClsInsertModeNormal::ClsInsertModeNormal(Key, CtrlContext& ctrl) : ClsAInClassMode(ctrl)
{
  replace_void("cancel", [this] { cancel(); });
  register_block_keys();
}

std::shared_ptr<ClsInsertModeDirect> ClsInsertModeDirect::create(ClsContext& ctrl)
{
  return create_mode<ClsInsertModeDirect>(ctrl);
}

ClsInsertModeDirect::ClsInsertModeDirect(Key key, CtrlContext& ctrl) : ClsInsertModeNormal(key, ctrl)
{
  replace_void("cancel", [this] { get_ctrl().change_to_cell_mode(); });
  static const CtrlActionRows<ClsInsertModeDirect> rows = {
    {"paste", {"<C-v>"}, nullptr, CtrlRecord::none,
     [](ClsInsertModeDirect& m) {
       m.get_text_editor()->paste();
       return true;
     }},
  };
  ctrl_register_rows(*this, *this, rows);
}

} // namespace velkaro
