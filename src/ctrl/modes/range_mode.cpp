#include "ctrl/modes/range_mode.h"

#include <algorithm>

#include <glibmm/main.h>

#include "common/cell_range.h"
#include "common/check.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/undo/undo_group.h"
#include "ctrl/keys/action_row.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

using Mode = CtrlRangeMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"settle-move", {"<Enter>"}, N_("Settle"), CtrlRecord::none,
     [](Mode& m) {
       m.settle();
       return true;
     }},
  };
  return rows;
}

// Names of the included sets that would record an action of their own on
// top of the preview, whose next undo would then take back the wrong step.
constexpr const char* RECORDING_NAMES[] = {
  "undo", "redo", "append-line", "insert-line", "delete-line", "insert-col", "insert-row", "delete-col", "delete-row",
};

bool starts_from_stored_element(CtrlRangeModeModes mode)
{
  return mode == CtrlRangeModeModes::change || mode == CtrlRangeModeModes::change_selected ||
         mode == CtrlRangeModeModes::resize;
}

} // namespace

CtrlRangeMode::CtrlRangeMode(CtrlContext& ctrl) : CtrlASelectCellMode(ctrl)
{
  ctrl_register_rows(*this, *this, key_rows());
  for (const char* name : RECORDING_NAMES)
    replace_void(name, do_nothing, never_actionable);
}

void CtrlRangeMode::update_element(CellPos) {}

void CtrlRangeMode::on_enter_for(const std::string&) {}

// --- Entering and leaving

void CtrlRangeMode::on_enter()
{
  CtrlASelectCellMode::on_enter();
  m_long_pressed = false;
  m_released = false;
  start_long_press_timer();

  auto& ctx = get_ctrl();
  // Without an element there is nothing to preview, and no undo of the
  // mode may touch the user's own steps.
  VK_CHECK(ctx.edit_elm);
  on_enter_for(ctx.edit_elm->get_type_name());
  if (starts_from_stored_element(mode)) {
    // A step of the mode's own, which the first preview takes back instead
    // of the user's previous step. Nothing below records.
    const CtrlUndoGroup group(ctx);
    ctx.now_cell_to(ctx.edit_elm);
    anchor = ctx.get_now_cell();
    if (mode == CtrlRangeModeModes::resize) {
      // Resizing pulls the far corner.
      anchor = anchor.add(ctx.edit_elm->get_deltapos());
      ctx.set_pos(anchor);
    }
    if (const auto range = get_range()) {
      range->start = anchor;
      range->end = anchor;
    }
  }
  ctx.edit_elm->set_in_process(true);
  ctx.update_view();
}

void CtrlRangeMode::on_exit()
{
  // A timer of this visit must not mark a long press in a later one.
  m_long_press.disconnect();
  auto& ctx = get_ctrl();
  // Not settled: the last preview (for an insertion, the insertion) goes,
  // leaving no trace in the history either: a redo must not bring back
  // what was cancelled.
  if (ctx.edit_elm)
    ctx.get_action_proc()->revoke();
  get_ws()->clear_in_process();
  ctx.edit_elm = nullptr;
  mode = CtrlRangeModeModes::insert;
  CtrlASelectCellMode::on_exit();
}

void CtrlRangeMode::start_long_press_timer()
{
  const auto& main_view = get_ctrl().get_main_view();
  const int interval = main_view ? std::max(0, main_view->get_long_press_time()) : DEFAULT_LONG_PRESS_MS;
  // The connection is cut when the mode is left or destroyed (or a new
  // timer takes its place), so this never outlives the mode.
  m_long_press = Glib::signal_timeout().connect([this] { return long_press_cb(); }, static_cast<unsigned>(interval),
                                                LONG_PRESS_PRIORITY);
}

bool CtrlRangeMode::long_press_cb()
{
  if (!m_released)
    m_long_pressed = true;
  return false;
}

// --- Range and preview

void CtrlRangeMode::update_range()
{
  auto& ctx = get_ctrl();
  if (!get_range())
    return;
  if (mode == CtrlRangeModeModes::resize && ctx.edit_elm) {
    const CellPos now = ctx.get_now_cell();
    const CellPos& pos = ctx.edit_elm->pos;
    if (now.x < pos.x || now.y < pos.y)
      return;
  }
  CtrlASelectCellMode::update_range();
  on_update_range();
  preview();
}

void CtrlRangeMode::preview()
{
  auto& ctx = get_ctrl();
  if (!ctx.edit_elm)
    return;
  const auto& proc = ctx.get_action_proc();
  const CellPos epos = ctx.get_epos();
  if (mode == CtrlRangeModeModes::mouse)
    mode = CtrlRangeModeModes::insert;
  else
    proc->revoke();
  if (ctx.get_epos().get_is_valid())
    ctx.edit_elm->set_in_process(true);
  with_diff([this, epos] { update_element(epos); });
  if (!ctx.edit_elm) {
    // The kind dropped the element: its preview goes too.
    proc->revoke();
    ctx.change_to_cell_mode();
  }
}

// --- Settle and cancel

void CtrlRangeMode::settle()
{
  auto& ctx = get_ctrl();
  if (ctx.edit_elm) {
    const auto range = get_range();
    const bool one_cell = range && range->start == range->end;
    if (one_cell && mode != CtrlRangeModeModes::insert) {
      // An unchanged edit leaves no undo step: its preview (or the empty
      // action of entering) goes.
      if (mode != CtrlRangeModeModes::mouse && !get_is_minor_change())
        ctx.get_action_proc()->revoke();
    } else {
      preview();
    }
  }
  // Released first, so that leaving the mode undoes nothing.
  ctx.edit_elm = nullptr;
  ctx.change_to_cell_mode();
}

void CtrlRangeMode::cancel() { get_ctrl().change_to_cell_mode(); }

// --- Pointer

bool CtrlRangeMode::on_press_left_button(const Point& pt)
{
  CtrlASelectCellMode::on_press_left_button(pt);
  m_released = true;
  m_long_pressed = false;
  return true;
}

bool CtrlRangeMode::on_release_left_button(const Point&)
{
  if (mode == CtrlRangeModeModes::mouse) {
    const CellPos back = return_pos;
    auto& ctx = get_ctrl();
    settle();
    ctx.set_pos(back);
    return true;
  }
  m_released = true;
  if (m_long_pressed)
    settle();
  return true;
}

bool CtrlRangeMode::on_double_press_left_button(const Point&)
{
  settle();
  return true;
}

bool CtrlRangeMode::on_press_right_button(const Point&)
{
  cancel();
  return true;
}

} // namespace velkaro
