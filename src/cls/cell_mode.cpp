#include "cls/cell_mode.h"

#include "cls/actions.h"
#include "cls/connect_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/edit_connector_mode.h"
#include "cls/mode_text.h"
#include "cls/route/segment.h"
#include "cls/select_cell_mode.h"
#include "cls/select_connector_mode.h"
#include "common/cell_range.h"
#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/modes/mode_2d.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"

namespace velkaro {

namespace {

using Mode = ClsCellMode;
using Rows = CtrlActionRows<Mode>;

bool has_elm(Mode& m) { return m.get_ctrl().get_now_elm() != nullptr; }

// In registration order: an earlier row keeps a key a later one claims.
const Rows& key_rows()
{
  static const Rows rows = {
    {"insert-class", {"c"}, N_("Add a Class Element"), CtrlRecord::none, [](Mode& m) { return m.add_class(); },
     [](Mode& m) { return !has_elm(m); }},
    {"insert-element", {"i"}, nullptr, CtrlRecord::none, [](Mode& m) { return m.insert_element(); }},
    {"append-text", {"a"}, nullptr, CtrlRecord::diff, [](Mode& m) { return m.add_text(); }},
    {"insert-text-to-start", {"I"}, nullptr, CtrlRecord::none, [](Mode& m) { return m.insert_text_to_start(); }},
    {"change-to-normalmode", {"<CR>"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to<ClsNormalModeInClass>(); }},
    {"connect-association", {"R"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to_connect_mode(ClsConnectModeKind::association); }, has_elm},
    {"connect-dependency", {"D"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to_connect_mode(ClsConnectModeKind::dependency); }, has_elm},
    {"connect-aggregation", {"A"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to_connect_mode(ClsConnectModeKind::aggregation); }, has_elm},
    {"connect-composition", {"C"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to_connect_mode(ClsConnectModeKind::composition); }, has_elm},
    {"connect-generalization", {"G"}, nullptr, CtrlRecord::none,
     [](Mode& m) { return m.change_to_connect_mode(ClsConnectModeKind::generalization); }, has_elm},
    {"change-to-selectcellmode", {"v"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.change_to<ClsSelectCellMode>();
       return true;
     }},
    {"change-to-selectconnectormode", {"r"}, nullptr, CtrlRecord::none,
     [](Mode& m) {
       m.change_to<ClsSelectConnectorMode>();
       return true;
     }},
    {"copy", {"y", "<C-c>"}, N_("Yank elemenet"), CtrlRecord::none, [](Mode& m) { return m.copy(); },
     [](Mode& m) { return m.get_ctrl().get_check_copy(); }},
    {"cut", {"x", "<C-x>", "<Del>"}, N_("Remove elemenet"), CtrlRecord::none, [](Mode& m) { return m.cut(); },
     [](Mode& m) { return m.get_ctrl().get_check_copy(); }},
    {"paste", {"p", "<C-v>"}, N_("Paste elemenet"), CtrlRecord::diff, [](Mode& m) { return m.paste(); },
     [](Mode& m) { return m.get_cls_ws()->get_has_yanked(); }},
    {"show-all", {"<Tab>"}, N_("Show all element"), CtrlRecord::none,
     [](Mode& m) {
       m.change_to<CtrlMoveViewMode>();
       return true;
     }},
  };
  return rows;
}

} // namespace

// --- ClsACellMode

bool ClsACellMode::get_is_single_text() const
{
  return std::dynamic_pointer_cast<ClsClassElement>(get_ctrl().get_now_elm()) != nullptr;
}

void ClsACellMode::on_enter()
{
  CtrlACellMode::on_enter();
  get_ctrl().in_cell_mode = true;
}

void ClsACellMode::on_exit()
{
  CtrlACellMode::on_exit();
  get_ctrl().in_cell_mode = false;
}

bool ClsACellMode::on_drag_with_left_button(const Point& start_pt, const Point& now_pt)
{
  auto& ctx = get_ctrl();
  const CellPos from = ctx.point_to_cell_pos(start_pt);
  const CellPos to = ctx.point_to_cell_pos(now_pt);
  if (from == to)
    return false;
  if (!change_to<ClsSelectCellMode>())
    return false;
  // Held: the selection's update may switch again.
  if (const auto select = std::dynamic_pointer_cast<ClsSelectCellMode>(ctx.get_now_mode())) {
    ctx.set_pos(to);
    select->update_range();
  }
  return true;
}

// --- ClsCellMode

ClsCellMode::ClsCellMode(ClsContext& ctrl) : ClsACellMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  include(Ctrl2DMode::create(ctrl));
  ctrl_register_rows(*this, *this, key_rows());
}

bool ClsCellMode::add_class()
{
  auto& ctx = get_ctrl();
  return ctx.get_action_proc()->execute(std::make_shared<ClsAddClassAction>(get_cls_ws(), ctx.get_now_cell()));
}

bool ClsCellMode::insert_element()
{
  auto& ctx = get_ctrl();
  if (!ctx.get_now_elm())
    return add_class();
  if (change_to<ClsInsertModeDirect>())
    return true;
  if (get_cls_ctrl().get_focused_connector())
    change_to<ClsEditConnectorMode>();
  return true;
}

bool ClsCellMode::add_text()
{
  auto& ctx = get_ctrl();
  if (!ctx.get_now_elm()) {
    if (!get_cls_ws()->add_text(ctx.get_now_cell()))
      return false;
    // The typing that follows merges into the step that added the text, so
    // one undo takes back both.
    ctx.get_action_proc()->set_last_mergeable(true);
    change_to<ClsInsertModeDirect>();
    return true;
  }
  // Entering a text mode is no step of the history.
  change_to<ClsInsertModeDirect>([](ClsInsertModeDirect& m) { m.req_cursor(1, true); });
  return false;
}

bool ClsCellMode::insert_text_to_start()
{
  change_to<ClsInsertModeDirect>([](ClsInsertModeDirect& m) { m.req_cursor(-1, true); });
  return true;
}

bool ClsCellMode::change_to_connect_mode(ClsConnectModeKind kind)
{
  change_to<ClsConnectMode>([kind](ClsConnectMode& m) { m.kind = kind; });
  return true;
}

bool ClsCellMode::copy()
{
  auto& ctx = get_ctrl();
  const CellPos cell = ctx.get_now_cell();
  get_cls_ws()->yank(CellRange{cell, cell});
  ctx.queue_state_changed();
  return true;
}

bool ClsCellMode::cut()
{
  auto& ctx = get_ctrl();
  std::shared_ptr<CtrlAction> action;
  if (const auto con = get_cls_ctrl().get_focused_connector())
    action = std::make_shared<ClsRemoveConnector>(get_cls_ws(), con);
  else
    action = std::make_shared<ClsRemovePosAction>(get_cls_ws(), ctx.get_now_cell());
  return ctx.get_action_proc()->execute(action);
}

bool ClsCellMode::paste() { return get_cls_ws()->paste_to(get_ctrl().get_now_cell()); }

std::shared_ptr<ClsAbstractConnectorElement> ClsCellMode::connector_at(const Point& pt) const
{
  const auto& ws = get_cls_ws();
  for (const auto& con : *ws->get_connectors())
    for (const auto& seg : con->get_segments()) {
      Rectangle r = seg->get_rect(*ws->grid);
      r.x -= CONNECTOR_HIT_MARGIN;
      r.y -= CONNECTOR_HIT_MARGIN;
      r.width += 2 * CONNECTOR_HIT_MARGIN;
      r.height += 2 * CONNECTOR_HIT_MARGIN;
      if (r.x <= pt.get_x() && pt.get_x() <= r.x + r.width && r.y <= pt.get_y() && pt.get_y() <= r.y + r.height)
        return con;
    }
  return nullptr;
}

bool ClsCellMode::on_press_left_button(const Point& pt)
{
  ClsACellMode::on_press_left_button(pt);
  auto& ctx = get_cls_ctrl();
  ctx.set_focused_connector(nullptr);
  get_cls_ws()->get_connectors()->clear_focus();
  if (const auto con = connector_at(pt)) {
    ctx.set_focused_connector(con);
    con->focus = true;
  }
  ctx.update_view();
  return true;
}

bool ClsCellMode::on_double_press_left_button(const Point& pt)
{
  auto& ctx = get_ctrl();
  auto* direct = dynamic_cast<ClsInsertModeDirect*>(ctx.get_mode(typeid(ClsInsertModeDirect)).get());
  if (direct)
    direct->entry_pt = pt;
  if (change_to<ClsInsertModeDirect>())
    return true;
  return add_class();
}

} // namespace velkaro
