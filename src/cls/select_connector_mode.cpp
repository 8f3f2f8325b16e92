#include "cls/select_connector_mode.h"

#include <algorithm>
#include <cmath>

#include "cls/actions.h"
#include "cls/cell_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/edit_connector_mode.h"
#include "common/check.h"
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

// The side a connector leaves the box at pos.
StartOrEnd end_at(const ClsAbstractConnectorElement& con, const CellPos& pos)
{
  StartOrEnd se = StartOrEnd::start;
  con.get_start_or_end_at(pos, &se);
  return se;
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

void ClsSelectConnectorMode::wire(std::array<SideList, 4>& lists)
{
  auto at = [&lists](MovingDir d) { return &lists[static_cast<size_t>(d)]; };
  using D = MovingDir;
  at(D::up)->init(D::right, at(D::right), D::left, at(D::left), D::down, at(D::down), false);
  at(D::down)->init(D::right, at(D::right), D::left, at(D::left), D::up, at(D::up), true);
  at(D::left)->init(D::down, at(D::down), D::up, at(D::up), D::right, at(D::right), false);
  at(D::right)->init(D::down, at(D::down), D::up, at(D::up), D::left, at(D::left), true);
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
  for (auto& list : m_side_lists)
    list = SideList();
  wire(m_side_lists);

  const CellPos cell = ctx.get_now_cell();
  for (const auto& con : get_cls_ws()->get_connectors()->enum_connectors_has_term_at(cell))
    side(con->get_udlr_from_term(end_at(*con, cell))).get_connectors().push_back(con);
  for (auto& list : m_side_lists)
    sort(list);

  m_current_list = nullptr;
  for (auto& list : m_side_lists)
    if (!list.empty()) {
      m_current_list = &list;
      list.focus(0);
      break;
    }
  mirror_focus();
  m_ws_updated = get_ws()->signal_updated().connect([this] { drop_gone_connectors(); });
  ctx.update_view();
}

void ClsSelectConnectorMode::on_exit()
{
  ClsMode::on_exit();
  m_ws_updated.disconnect();
  if (m_current_list)
    m_current_list->defocus();
  m_current_list = nullptr;
  for (auto& list : m_side_lists)
    list = SideList();
  get_ctrl().update_view();
}

bool ClsSelectConnectorMode::on_press_left_button(const Point& pt) { return change_to_cell_mode_if_need(pt); }

bool ClsSelectConnectorMode::key_press(GdkEventKey& event)
{
  // Held: the key may leave the mode and the context may let it go.
  const auto self = shared_from_this();
  drop_gone_connectors();
  if (!m_current_list) {
    // Every connector went meanwhile: nothing is left to pick.
    change_to<ClsCellMode>();
    return true;
  }
  return ClsMode::key_press(event);
}

ClsSelectConnectorMode::ConnectorPtr ClsSelectConnectorMode::get_focused_connector() const
{
  return m_current_list ? m_current_list->get_focused_connector() : nullptr;
}

void ClsSelectConnectorMode::mirror_focus() { get_cls_ctrl().set_focused_connector(get_focused_connector()); }

bool ClsSelectConnectorMode::change_focused_connector(MovingDir dir)
{
  if (m_current_list) {
    m_current_list = m_current_list->move(dir);
    mirror_focus();
  }
  get_ctrl().update_view();
  return true;
}

bool ClsSelectConnectorMode::remove_connector()
{
  const auto con = get_focused_connector();
  if (!con)
    return false;
  auto& ctx = get_ctrl();
  m_removing = true;
  const bool removed = ctx.get_action_proc()->execute(std::make_shared<ClsRemoveConnector>(get_cls_ws(), con));
  m_removing = false;
  if (!removed)
    return false;
  m_current_list = m_current_list->remove_focused_connector();
  if (m_current_list) {
    sort(*m_current_list);
    m_current_list->update_focus();
    mirror_focus();
  } else {
    get_cls_ctrl().set_focused_connector(nullptr);
    change_to<ClsCellMode>();
  }
  ctx.update_view();
  return true;
}

void ClsSelectConnectorMode::drop_gone_connectors()
{
  if (m_removing)
    return;
  const auto& set = *get_cls_ws()->get_connectors();
  bool dropped = false;
  // The focused connector first, so that the focus passes on as after a
  // removal; then any other gone one, which leaves the focus where it is.
  while (m_current_list) {
    const auto con = m_current_list->get_focused_connector();
    if (!con || set.contains(*con))
      break;
    m_current_list = m_current_list->remove_focused_connector();
    dropped = true;
  }
  for (auto& list : m_side_lists)
    dropped = list.drop_not_in(set) || dropped;
  if (!dropped)
    return;
  if (m_current_list)
    m_current_list->update_focus();
  // The context forgets a connector gone from the set by itself; with none
  // left the mode has nothing to pick, and the next key or removal finds
  // no focus.
  mirror_focus();
}

int ClsSelectConnectorMode::cmp_connector_pos(const ClsAbstractConnectorElement& a,
                                              const ClsAbstractConnectorElement& b) const
{
  const CellPos cell = get_ctrl().get_now_cell();
  const double pa = a.get_pos_at_term(end_at(a, cell));
  const double pb = b.get_pos_at_term(end_at(b, cell));
  return static_cast<int>(std::trunc(pa - pb));
}

void ClsSelectConnectorMode::sort(SideList& list) const
{
  // Insertion sort: stable, and it ends whatever the truncated comparison
  // answers (positions closer than one unit compare equal without that
  // equality being transitive). The focus keeps its index; the caller
  // applies it again.
  auto& cons = list.get_connectors();
  for (size_t i = 1; i < cons.size(); ++i)
    for (size_t j = i; j > 0 && cmp_connector_pos(*cons[j], *cons[j - 1]) < 0; --j)
      std::swap(cons[j], cons[j - 1]);
}

// --- ClsSelectConnectorModeSideConnectorList

void ClsSelectConnectorModeSideConnectorList::init(MovingDir next_dir, ClsSelectConnectorModeSideConnectorList* next_scl,
                                                   MovingDir prev_dir, ClsSelectConnectorModeSideConnectorList* prev_scl,
                                                   MovingDir opposite_dir,
                                                   ClsSelectConnectorModeSideConnectorList* opposite_scl,
                                                   bool focus_at_end)
{
  VK_CHECK(next_scl);
  VK_CHECK(prev_scl);
  VK_CHECK(opposite_scl);
  m_next_dir = next_dir;
  m_next_scl = next_scl;
  m_prev_dir = prev_dir;
  m_prev_scl = prev_scl;
  m_opposite_dir = opposite_dir;
  m_opposite_scl = opposite_scl;
  m_focus_at_end = focus_at_end;
}

ClsSelectConnectorModeSideConnectorList::ConnectorPtr ClsSelectConnectorModeSideConnectorList::get_focused_connector()
  const
{
  return in_range(m_focus_index) ? m_connectors[static_cast<size_t>(m_focus_index)] : nullptr;
}

void ClsSelectConnectorModeSideConnectorList::focus(int index)
{
  defocus();
  if (!in_range(index))
    return;
  m_connectors[static_cast<size_t>(index)]->focus = true;
  m_focus_index = index;
}

bool ClsSelectConnectorModeSideConnectorList::focus_at_start_or_end(bool at_end)
{
  if (m_connectors.empty())
    return false;
  focus(at_end ? static_cast<int>(m_connectors.size()) - 1 : 0);
  return true;
}

void ClsSelectConnectorModeSideConnectorList::defocus()
{
  if (in_range(m_focus_index))
    m_connectors[static_cast<size_t>(m_focus_index)]->focus = false;
  m_focus_index = -1;
}

void ClsSelectConnectorModeSideConnectorList::update_focus()
{
  for (const auto& con : m_connectors)
    con->focus = false;
  if (in_range(m_focus_index))
    m_connectors[static_cast<size_t>(m_focus_index)]->focus = true;
  else
    m_focus_index = -1;
}

bool ClsSelectConnectorModeSideConnectorList::next()
{
  if (m_connectors.empty() || m_focus_index < 0 || m_focus_index >= static_cast<int>(m_connectors.size()) - 1)
    return false;
  focus(m_focus_index + 1);
  return true;
}

bool ClsSelectConnectorModeSideConnectorList::prev()
{
  if (m_connectors.empty() || m_focus_index <= 0)
    return false;
  focus(m_focus_index - 1);
  return true;
}

ClsSelectConnectorModeSideConnectorList* ClsSelectConnectorModeSideConnectorList::move(MovingDir dir)
{
  ClsSelectConnectorModeSideConnectorList* target = nullptr;
  if (dir == m_next_dir) {
    if (next())
      return this;
    target = m_next_scl;
  } else if (dir == m_prev_dir) {
    if (prev())
      return this;
    target = m_prev_scl;
  } else if (dir == m_opposite_dir) {
    target = m_opposite_scl;
  }
  if (!target || target->empty())
    return this;
  target->focus_at_start_or_end(m_focus_at_end);
  defocus();
  return target;
}

ClsSelectConnectorModeSideConnectorList* ClsSelectConnectorModeSideConnectorList::remove_focused_connector()
{
  if (!in_range(m_focus_index))
    return nullptr;
  const auto index = static_cast<size_t>(m_focus_index);
  m_connectors[index]->focus = false;
  m_connectors.erase(m_connectors.begin() + static_cast<std::ptrdiff_t>(index));
  m_focus_index = -1;
  if (!m_connectors.empty()) {
    focus(std::min(static_cast<int>(index), static_cast<int>(m_connectors.size()) - 1));
    return this;
  }
  return pass_focus_on();
}

bool ClsSelectConnectorModeSideConnectorList::drop_not_in(const ClsConnectors& set)
{
  const auto focused = get_focused_connector();
  const size_t before = m_connectors.size();
  std::erase_if(m_connectors, [&set](const ConnectorPtr& con) { return !set.contains(*con); });
  m_focus_index = -1;
  for (size_t i = 0; i < m_connectors.size(); ++i)
    if (m_connectors[i] == focused)
      m_focus_index = static_cast<int>(i);
  return m_connectors.size() != before;
}

ClsSelectConnectorModeSideConnectorList* ClsSelectConnectorModeSideConnectorList::pass_focus_on()
{
  for (auto* list : {m_next_scl, m_prev_scl, m_opposite_scl})
    if (list && list->focus_at_start_or_end(m_focus_at_end))
      return list;
  return nullptr;
}

} // namespace velkaro
