#include "cls/edit_connector_mode.h"

#include "cls/cell_mode.h"
#include "cls/select_connector_mode.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/undo/action_processor.h"

namespace velkaro {

namespace {

using Mode = ClsEditConnectorMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"change-text-editor", {"<Tab>"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.change_text_editor();
       return true;
     }},
  };
  return rows;
}

} // namespace

ClsEditConnectorMode::ClsEditConnectorMode(ClsContext& ctrl) : ClsMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  for (const char* name : {"undo", "redo", "up", "down", "left", "right"})
    replace_void(name, do_nothing);
  replace_void("cancel", [this] { back_to_the_mode(); });
  ctrl_register_rows(*this, *this, key_rows());
}

void ClsEditConnectorMode::on_enter()
{
  ClsMode::on_enter();
  if (get_cls_ctrl().get_focused_connector())
    set_focus_ite(true);
  get_ctrl().update_view();
}

void ClsEditConnectorMode::set_focus_ite(bool start) { m_start_edited = start; }

void ClsEditConnectorMode::change_text_editor()
{
  set_focus_ite(!m_start_edited);
  auto& ctx = get_ctrl();
  ctx.get_action_proc()->set_head_mergeable(false);
  ctx.update_view();
}

void ClsEditConnectorMode::back_to_the_mode()
{
  if (!change_to<ClsSelectConnectorMode>())
    change_to<ClsCellMode>();
}

} // namespace velkaro
