#include "cls/select_connector_mode.h"

#include "cls/actions.h"
#include "cls/cell_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/edit_connector_mode.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/undo/action_processor.h"

namespace velkaro {

namespace {

using Mode = ClsSelectConnectorMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"remove-connector", {"x", "d"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.remove_connector();
       return true;
     }},
    {"edit", {"i"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.change_to<ClsEditConnectorMode>();
       return true;
     }},
  };
  return rows;
}

} // namespace

ClsSelectConnectorMode::ClsSelectConnectorMode(ClsContext& ctrl) : ClsMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  replace_void("undo", do_nothing);
  replace_void("redo", do_nothing);
  replace_void("up", [this] { change_focused_connector(MovingDir::up); });
  replace_void("down", [this] { change_focused_connector(MovingDir::down); });
  replace_void("left", [this] { change_focused_connector(MovingDir::left); });
  replace_void("right", [this] { change_focused_connector(MovingDir::right); });
  replace_void("next-element", do_nothing);
  replace_void("prev-element", do_nothing);
  replace_void("cancel", [this] { change_to<ClsCellMode>(); });
  ctrl_register_rows(*this, *this, key_rows());
}

bool ClsSelectConnectorMode::get_is_enterable() const
{
  auto& ctx = get_ctrl();
  if (!ctx.get_now_elm())
    return false;
  return !get_cls_ws()->get_connectors()->enum_connectors_has_term_at(ctx.get_now_cell()).empty();
}

void ClsSelectConnectorMode::on_enter()
{
  ClsMode::on_enter();
  auto& ctx = get_ctrl();
  m_connectors = get_cls_ws()->get_connectors()->enum_connectors_has_term_at(ctx.get_now_cell());
  m_focus_index = -1;
  focus(0);
  ctx.update_view();
}

void ClsSelectConnectorMode::on_exit()
{
  ClsMode::on_exit();
  if (const auto con = get_focused_connector())
    con->focus = false;
  m_connectors.clear();
  m_focus_index = -1;
  get_ctrl().update_view();
}

bool ClsSelectConnectorMode::on_press_left_button(const Point& pt) { return change_to_cell_mode_if_need(pt); }

ClsSelectConnectorMode::ConnectorPtr ClsSelectConnectorMode::get_focused_connector() const
{
  if (m_focus_index < 0 || m_focus_index >= static_cast<int>(m_connectors.size()))
    return nullptr;
  return m_connectors[static_cast<size_t>(m_focus_index)];
}

void ClsSelectConnectorMode::focus(int index)
{
  if (const auto con = get_focused_connector())
    con->focus = false;
  m_focus_index = index >= 0 && index < static_cast<int>(m_connectors.size()) ? index : -1;
  const auto con = get_focused_connector();
  if (con)
    con->focus = true;
  get_cls_ctrl().set_focused_connector(con);
}

bool ClsSelectConnectorMode::change_focused_connector(MovingDir dir)
{
  const int step = dir == MovingDir::down || dir == MovingDir::right ? 1 : -1;
  const int next = m_focus_index + step;
  if (next >= 0 && next < static_cast<int>(m_connectors.size()))
    focus(next);
  get_ctrl().update_view();
  return true;
}

bool ClsSelectConnectorMode::remove_connector()
{
  const auto con = get_focused_connector();
  if (!con)
    return false;
  auto& ctx = get_ctrl();
  if (!ctx.get_action_proc()->execute(std::make_shared<ClsRemoveConnector>(get_cls_ws(), con)))
    return false;
  m_connectors.erase(m_connectors.begin() + m_focus_index);
  m_focus_index = -1;
  focus(0);
  ctx.update_view();
  return true;
}

} // namespace velkaro
