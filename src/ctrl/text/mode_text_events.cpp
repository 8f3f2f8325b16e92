// CtrlATextModeRoot: the editor's signals, the pointer and the idle return
// from the visual role.

#include <glibmm/main.h>

#include "common/check.h"
#include "common/point.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/text_element.h"
#include "model/workspace.h"

namespace velkaro {

CellPos CtrlATextModeRoot::get_text_pos(const std::shared_ptr<ModelTextElement>& elm)
{
  if (!elm)
    return {-1, -1};
  return get_ws()->anchor_of(elm);
}

void CtrlATextModeRoot::on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool text_changed)
{
  VK_CHECK(ite);
  auto& ctrl = get_ctrl();
  if (text_changed) {
    if (ite == std::static_pointer_cast<CtrlITextEditable>(ctrl.get_now_text_elm())) {
      get_ws()->update_layout(ctrl.get_now_cell());
    } else {
      const CellPos pos = get_text_pos(std::dynamic_pointer_cast<ModelTextElement>(ite));
      if (pos.get_is_valid())
        get_ws()->update_layout(pos);
    }
  }
  ctrl.update_view();
}

void CtrlATextModeRoot::on_overstep_cursor_limit_cb(int dx, int dy, int x)
{
  const auto text = get_edited_text();
  if (!text)
    return;
  const int32_t role = text->get_role();
  std::shared_ptr<ModelElement> found;
  if (dx < 0 || dy < 0)
    found = text->to_role(role - 1);
  else if (dx > 0 || dy > 0)
    found = text->to_role(role + 1);
  const auto neighbour = std::dynamic_pointer_cast<ModelTextElement>(found);
  if (!neighbour)
    return;
  m_crossed_text = neighbour;
  auto& ed = *get_text_editor();
  ed.set_ite(neighbour);
  ed.take_over_cursor(dx, dy, x);
  get_ctrl().update_view();
}

void CtrlATextModeRoot::on_exit_req()
{
  if (m_exit_requests_ignored || m_exit_idle.connected() || !now_mode_is(get_visual_mode()))
    return;
  const std::weak_ptr<CtrlMode> weak = weak_from_this();
  m_exit_idle = Glib::signal_idle().connect(
    [weak] {
      if (const auto mode = weak.lock())
        static_cast<CtrlATextModeRoot&>(*mode).run_exit_idle();
      return false;
    },
    EXIT_IDLE_PRIORITY);
}

void CtrlATextModeRoot::run_exit_idle()
{
  // Forget the source first: it is being dispatched and ends by itself, and
  // cancel() leaves this mode, which would drop a pending one.
  m_exit_idle.release();
  cancel();
}

void CtrlATextModeRoot::on_enter_req()
{
  if (now_mode_is(get_normal_mode()))
    change_to_mode(get_insert_mode());
}

void CtrlATextModeRoot::cancel() { change_to_mode(get_normal_mode()); }

void CtrlATextModeRoot::survive()
{
  if (!get_text_elm())
    get_ctrl().change_to_cell_mode();
}

bool CtrlATextModeRoot::on_press_left_button(const Point& pt)
{
  if (change_to_cell_mode_if_need(pt))
    return true;
  if (now_mode_is(get_visual_mode()))
    change_to_mode(get_normal_mode());
  return false;
}

bool CtrlATextModeRoot::on_drag_with_left_button(const Point&, const Point&)
{
  if (now_mode_is(get_visual_mode()))
    return false;
  const std::optional<Point> drag_start = get_text_editor()->get_drag_start_pt();
  change_to_mode(get_visual_mode());
  // Held: the visual mode's entry may have run code that switched again.
  const auto now = std::dynamic_pointer_cast<CtrlATextModeRoot>(get_ctrl().get_now_mode());
  if (now && now.get() != this)
    now->get_text_editor()->set_drag_start_pt(drag_start);
  return false;
}

} // namespace velkaro
