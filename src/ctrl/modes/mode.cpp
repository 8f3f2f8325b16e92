#include "ctrl/modes/mode.h"

#include <cassert>

#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/ports/icontext_menu.h"
#include "ctrl/keys/key_action_map_key.h"

namespace velkaro {

CtrlMode::CtrlMode(CtrlContext& ctrl)
  : m_link(ctrl.get_link()), m_data(ctrl.get_action_proc(), ctrl.get_ws(), ctrl.get_store())
{
}

CtrlMode::~CtrlMode() = default;

bool CtrlMode::on_press_right_button(const Point&)
{
  auto& ctrl = get_ctrl();
  // Held: the menu may run actions that replace the context's menu.
  if (const auto menu = ctrl.get_context_menu())
    menu->show_menu(ctrl);
  return true;
}

double CtrlMode::get_zoom() const
{
  if (!has_ctrl())
    return 1.0;
  const auto& canvas = get_ctrl().get_canvas();
  return canvas ? canvas->get_zoom() : 1.0;
}

bool CtrlMode::action(const std::optional<std::string>& name)
{
  if (m_registered && has_ctrl()) {
    // Held: the window's action may close the window that owns the context.
    auto& ctrl = get_ctrl();
    const auto keep = ctrl.weak_from_this().lock();
    if (ctrl.action_own(name))
      return true;
  }
  return CtrlIActionHandler::action(name);
}

bool CtrlMode::key_press(GdkEventKey& event) { return action_by_eventkey(to_key_event(event)); }

CtrlContext& CtrlMode::get_ctrl() const
{
  assert(m_link->ctx && "CtrlMode: the context is gone");
  return *m_link->ctx;
}

const std::shared_ptr<ModelWorkspace>& CtrlMode::get_ws() const { return get_ctrl().get_ws(); }

bool CtrlMode::change_to_cell_mode_if_need(const Point& pt)
{
  auto& ctrl = get_ctrl();
  const CellPos cell = ctrl.point_to_cell_pos(pt);
  if (cell == ctrl.get_now_cell())
    return false;
  ctrl.change_to_cell_mode();
  ctrl.set_pos(cell);
  return true;
}

bool CtrlMode::with_diff(const std::function<void()>& fn) { return get_ctrl().with_diff(fn); }

bool CtrlMode::with_diff_if(const std::function<bool()>& fn) { return get_ctrl().with_diff_if(fn); }

void CtrlMode::undo() { get_ctrl().get_action_proc()->undo(true); }

void CtrlMode::redo() { get_ctrl().get_action_proc()->redo(); }

} // namespace velkaro
