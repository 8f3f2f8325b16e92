#include "cls/connect_mode.h"

#include <memory>

#include "cls/actions.h"
#include "cls/cell_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/workspace.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/undo/action_processor.h"

namespace velkaro {

namespace {

using Mode = ClsConnectMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"settle", {"<CR>"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.fix();
       return true;
     }},
  };
  return rows;
}

} // namespace

const char* cls_connect_mode_kind_to_string(ClsConnectModeKind kind)
{
  switch (kind) {
  case ClsConnectModeKind::association: return "association";
  case ClsConnectModeKind::dependency: return "dependency";
  case ClsConnectModeKind::aggregation: return "aggregation";
  case ClsConnectModeKind::composition: return "composition";
  case ClsConnectModeKind::generalization: return "generalization";
  }
  return "association";
}

ClsConnectMode::ClsConnectMode(ClsContext& ctrl) : ClsMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  replace_void("undo", do_nothing);
  replace_void("redo", do_nothing);
  replace_void("up", [this] { move_active_cell(MovingDir::up); });
  replace_void("down", [this] { move_active_cell(MovingDir::down); });
  replace_void("left", [this] { move_active_cell(MovingDir::left); });
  replace_void("right", [this] { move_active_cell(MovingDir::right); });
  replace_void("next-element", [this] {
    get_ctrl().next_elm();
    follow_cursor();
  });
  replace_void("prev-element", [this] {
    get_ctrl().prev_elm();
    follow_cursor();
  });
  replace_void("cancel", [this] { cancel(); });
  ctrl_register_rows(*this, *this, key_rows());
}

bool ClsConnectMode::get_is_enterable() const { return get_ctrl().get_now_elm() != nullptr; }

void ClsConnectMode::on_enter()
{
  ClsMode::on_enter();
  auto& ctx = get_ctrl();
  const auto& names = ClsAbstractConnectorElement::type_names();
  get_cls_ws()->new_floating_connector(ctx.get_now_cell(), names.at(static_cast<size_t>(kind)));
  ctx.update_view();
}

void ClsConnectMode::on_exit()
{
  ClsMode::on_exit();
  const auto& ws = get_cls_ws();
  if (ws->get_floating_connector())
    ws->rm_floating_connector();
  get_ctrl().update_view();
}

bool ClsConnectMode::on_press_left_button(const Point& pt)
{
  get_ctrl().set_pos_by_pt(pt);
  follow_cursor();
  return true;
}

bool ClsConnectMode::on_double_press_left_button(const Point&) { return fix(); }

bool ClsConnectMode::move_active_cell(MovingDir dir)
{
  get_ctrl().move_pos(dir);
  follow_cursor();
  return true;
}

void ClsConnectMode::follow_cursor()
{
  auto& ctx = get_ctrl();
  get_cls_ws()->update_floating_connector(ctx.get_now_cell());
  ctx.update_view();
}

bool ClsConnectMode::fix()
{
  auto& ctx = get_ctrl();
  if (!ctx.get_action_proc()->execute(std::make_shared<ClsFixFloatingConnector>(get_cls_ws())))
    return false;
  return change_to<ClsCellMode>();
}

void ClsConnectMode::cancel()
{
  get_cls_ws()->rm_floating_connector();
  change_to<ClsCellMode>();
}

} // namespace velkaro
