#include "ctrl/modes/cell_mode.h"

#include "common/any.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/text/icell_text_mode.h"
#include "ctrl/modes/mode_2d.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/modes/select_cell_mode.h"
#include "model/text_element.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

using Mode = CtrlCellMode;
using Rows = CtrlActionRows<Mode>;

// In registration order: an earlier row keeps a key a later one claims.
const Rows& key_rows()
{
  static const Rows rows = {
    {"copy", {"y", "<C-c>"}, N_("Yank element"), CtrlRecord::none, [](Mode& m) { return m.copy(); },
     [](Mode& m) { return m.check_copy(); }},
    {"cut", {"x", "<C-x>", "<Del>"}, N_("Delete current cell element and copy"), CtrlRecord::diff,
     [](Mode& m) { return m.remove(); }, [](Mode& m) { return m.check_copy(); }},
    {"paste", {"p", "<C-v>"}, N_("Paste"), CtrlRecord::diff, [](Mode& m) { return m.paste(); },
     [](Mode& m) { return m.get_ctrl().get_has_yanked(); }},
    {"insert-element", {"i"}, N_("Insert"), CtrlRecord::diff, [](Mode& m) { return m.insert(); }},
    {"append-element", {"a"}, N_("Append"), CtrlRecord::diff, [](Mode& m) { return m.append(); }},
    {"insert-to-next-element", {"I"}, N_("Insert to Next Element"), CtrlRecord::diff,
     [](Mode& m) { return m.insert_shift(); }},
    {"append-to-next-element", {"A"}, N_("Append to Next Element"), CtrlRecord::diff,
     [](Mode& m) { return m.append_shift(); }},
    {"change-to-selectmode", {"v"}, N_("Change to Select Cell Mode"), CtrlRecord::none,
     [](Mode& m) { return m.change_to<CtrlSelectCellMode>(); }},
    {"resize", {"R"}, N_("Resize"), CtrlRecord::none, [](Mode& m) { return m.resize(); }},
    {"change", {"r", "c", "<Enter>"}, N_("Change"), CtrlRecord::none, [](Mode& m) { return m.change(); },
     [](Mode& m) { return m.get_ctrl().do_test([&m] { return m.change_(); }); }},
    {"show-all", {"<Tab>"}, N_("Show all elements"), CtrlRecord::none,
     [](Mode& m) { return m.change_to<CtrlMoveViewMode>(); }},
    {"append-text", {"tt", "T"}, N_("Append new text"), CtrlRecord::diff, [](Mode& m) { return m.insert_text(); },
     [](Mode& m) { return m.get_ctrl().do_test([&m] { return m.insert_text(); }); }},
  };
  return rows;
}

} // namespace

CtrlCellMode::CtrlCellMode(CtrlContext& ctrl) : CtrlACellMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  include(Ctrl2DMode::create(ctrl));
  ctrl_register_rows(*this, *this, key_rows());
}

bool CtrlCellMode::check_copy() { return get_ctrl().get_check_copy(); }

bool CtrlCellMode::paste() { return get_ctrl().paste(); }

bool CtrlCellMode::insert_text()
{
  auto& ctx = get_ctrl();
  if (ctx.get_now_elm())
    return false;
  if (!get_ws()->add_text(ctx.get_now_cell()))
    return false;
  // The step being recorded is this insertion; the text typed next merges
  // into it, so one undo takes back the text with what was typed.
  ctx.get_action_proc()->set_last_mergeable(true);
  change_to<CtrlICellTextMode>();
  return true;
}

bool CtrlCellMode::mod_text(int kind, bool to_end)
{
  auto& ctx = get_ctrl();
  const auto head = ctx.get_now_elm();
  if (!head || !head->has<ModelTextElement>(ANY_ROLE))
    return false;
  change_to<CtrlICellTextMode>([kind, to_end](CtrlICellTextMode& text) { text.request_cursor(kind, to_end); });
  return true;
}

void CtrlCellMode::on_enter()
{
  CtrlACellMode::on_enter();
  get_ctrl().in_cell_mode = true;
}

void CtrlCellMode::on_exit()
{
  CtrlACellMode::on_exit();
  get_ctrl().in_cell_mode = false;
}

bool CtrlCellMode::on_drag_with_left_button(const Point& start_pt, const Point& now_pt)
{
  auto& ctx = get_ctrl();
  const CellPos from = ctx.point_to_cell_pos(start_pt);
  const CellPos to = ctx.point_to_cell_pos(now_pt);
  if (from == to)
    return false;
  if (!change_to<CtrlSelectCellMode>())
    return false;
  // Held: the selection's update may switch again.
  if (const auto select = std::dynamic_pointer_cast<CtrlSelectCellMode>(ctx.get_now_mode())) {
    select->anchor = from;
    ctx.set_pos(to);
    select->update_range();
  }
  return true;
}

} // namespace velkaro
