#include "ctrl/modes/select_cell_mode.h"

#include "common/cell_range.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/keys/action_row.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

using Mode = CtrlSelectCellMode;
using Rows = CtrlActionRows<Mode>;

// In registration order: an earlier row keeps a key a later one claims.
const Rows& key_rows()
{
  static const Rows rows = {
    {"copy", {"y", "<C-c>"}, N_("Yank element"), CtrlRecord::none,
     [](Mode& m) {
       m.copy();
       return true;
     },
     [](Mode& m) { return m.check_copy(); }},
    {"cut", {"x", "<C-x>", "<Del>"}, N_("Delete current cell element and copy"), CtrlRecord::diff,
     [](Mode& m) { return m.remove(); }, [](Mode& m) { return m.check_copy(); }},
    {"range-insert", {"i"}, N_("Insert"), CtrlRecord::diff, [](Mode& m) { return m.insert(); }},
    {"range-append", {"a"}, N_("Append"), CtrlRecord::diff, [](Mode& m) { return m.append(); }},
    {"range-delete", {"dd"}, N_("Delete selected lines"), CtrlRecord::diff, [](Mode& m) { return m.remove_range(); }},
  };
  return rows;
}

} // namespace

CtrlSelectCellMode::CtrlSelectCellMode(CtrlContext& ctrl) : CtrlASelectCellMode(ctrl)
{
  ctrl_register_rows(*this, *this, key_rows());
  replace_void("cancel", [this] { cancel(); });
  replace_void("undo", do_nothing, never_actionable);
  replace_void("redo", do_nothing, never_actionable);
}

bool CtrlSelectCellMode::check_copy() { return get_ctrl().get_check_copy(); }

void CtrlSelectCellMode::copy()
{
  auto& ctx = get_ctrl();
  ctx.copy(nullptr, false);
  ctx.change_to_cell_mode();
}

bool CtrlSelectCellMode::remove()
{
  auto& ctx = get_ctrl();
  ctx.remove(nullptr);
  ctx.change_to_cell_mode();
  return true;
}

bool CtrlSelectCellMode::insert() { return open_cells(true); }

bool CtrlSelectCellMode::append() { return open_cells(false); }

bool CtrlSelectCellMode::open_cells(bool at_selection)
{
  auto& ctx = get_ctrl();
  // Held: the switch to the default mode drops the context's selection.
  const auto range = get_range();
  if (!range)
    return false;
  // Refused, the block changed nothing: the selection stays for another try.
  if (!get_ws()->insert_range(*range, ctx.get_now_dir(), at_selection))
    return false;
  ctx.change_to_cell_mode();
  return true;
}

bool CtrlSelectCellMode::remove_range()
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (!range)
    return false;
  if (!get_ws()->remove_range(*range, ctx.get_now_dir()))
    return false;
  ctx.change_to_cell_mode();
  return true;
}

void CtrlSelectCellMode::cancel()
{
  auto& ctx = get_ctrl();
  ctx.set_pos(anchor);
  ctx.change_to_cell_mode();
}

} // namespace velkaro
