#include "ctrl/modes/select_mode.h"

#include <cmath>

#include "common/check.h"
#include "common/point.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/keys/action_row.h"
#include "model/element.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

using Mode = CtrlSelectMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"settle-select", {"x", "<Enter>"}, N_("Settle"), CtrlRecord::diff, [](Mode& m) { return m.settle(); }},
  };
  return rows;
}

} // namespace

CtrlSelectMode::CtrlSelectMode(CtrlContext& ctrl) : CtrlACellMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  replace_void("up", [this] { above(); });
  replace_void("down", [this] { below(); });
  replace_void("left", [this] { left(); });
  replace_void("right", [this] { right(); });
  replace_void("cancel", [this] { cancel(); });
  replace_void("undo", do_nothing, never_actionable);
  replace_void("redo", do_nothing, never_actionable);
  ctrl_register_rows(*this, *this, key_rows());
}

CtrlSelectMode::ElementPtr CtrlSelectMode::get_selected() const
{
  if (sel_index < 0 || static_cast<std::size_t>(sel_index) >= candidates.size())
    return nullptr;
  return candidates[static_cast<std::size_t>(sel_index)];
}

void CtrlSelectMode::cancel()
{
  if (mode == CtrlSelectModeModes::del || mode == CtrlSelectModeModes::yank)
    highlight_selected(false);
  auto& ctx = get_ctrl();
  ctx.change_to_cell_mode();
  ctx.update_view();
}

void CtrlSelectMode::left() { step(-1); }

void CtrlSelectMode::right() { step(1); }

void CtrlSelectMode::step(int delta)
{
  highlight_selected(false);
  const int next = sel_index + delta;
  if (next >= 0 && static_cast<std::size_t>(next) < candidates.size())
    sel_index = next;
  highlight_selected(true);
  get_ctrl().update_view();
}

void CtrlSelectMode::highlight_selected(bool on)
{
  if (const auto selected = get_selected())
    selected->set_in_process(on);
}

// --- Mode

void CtrlSelectMode::on_enter()
{
  CtrlACellMode::on_enter();
  aux = 0;
  sel_index = 0;
  m_move_origin.reset();
  on_enter_switch();
  highlight_selected(true);
  get_ctrl().update_view();
}

void CtrlSelectMode::on_exit()
{
  get_ws()->clear_in_process();
  CtrlACellMode::on_exit();
}

bool CtrlSelectMode::on_press_left_button(const Point&)
{
  // Recorded like the key: a change left out of the undo history would
  // leave the recorded steps patching a document that no longer matches.
  with_diff_if([this] { return settle(); });
  return true;
}

bool CtrlSelectMode::on_press_right_button(const Point&)
{
  cancel();
  return true;
}

bool CtrlSelectMode::on_pointer_move(const Point& bef, const Point& now)
{
  // A copy: the binder reports bef again and must find it unchanged.
  if (!m_move_origin)
    m_move_origin = bef;
  const double dx = now.get_x() - m_move_origin->get_x();
  const double dy = now.get_y() - m_move_origin->get_y();
  if (std::abs(dx) + std::abs(dy) < GESTURE_STEP)
    return false;
  m_move_origin.reset();
  if (dx > 0 || (dx == 0 && dy >= 0))
    right();
  else
    left();
  return true;
}

} // namespace velkaro
