#include "cls/select_cell_mode.h"

#include "cls/actions.h"
#include "cls/context.h"
#include "cls/doc/workspace.h"
#include "common/cell_range.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/undo/action_processor.h"

namespace velkaro {

namespace {

using Mode = ClsSelectCellMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"copy", {"<C-c>"}, N_("Yank elemenet"), CtrlRecord::none, [](Mode& m) { return m.copy(); }},
    {"cut", {"x", "d", "<C-x>", "<Del>"}, N_("Remove elemenet"), CtrlRecord::none,
     [](Mode& m) { return m.rm_class_range(); }},
    {"paste", {"p", "<C-v>"}, N_("Paste elemenet"), CtrlRecord::diff, [](Mode& m) { return m.paste(); },
     [](Mode& m) { return m.get_ctrl().get_c<ClsContext>().get_cls_ws()->get_has_yanked(); }},
    // Each line is an action of its own (a record holds one line edit),
    // the later ones merged into the first.
    {"range-insert", {"i"}, N_("Insert"), CtrlRecord::none, [](Mode& m) { return m.insert_lines(true); }},
    {"range-append", {"a"}, N_("Append"), CtrlRecord::none, [](Mode& m) { return m.insert_lines(false); }},
    {"range-delete", {"dd"}, N_("Delete selected lines"), CtrlRecord::none,
     [](Mode& m) { return m.remove_lines(); }},
  };
  return rows;
}

} // namespace

ClsSelectCellMode::ClsSelectCellMode(ClsContext& ctrl) : CtrlSelectCellMode(ctrl), m_ws(ctrl.get_cls_ws())
{
  ctrl_register_rows(*this, *this, key_rows());
}

bool ClsSelectCellMode::copy()
{
  if (const auto range = get_range())
    m_ws->yank(*range);
  get_ctrl().change_to_cell_mode();
  return true;
}

bool ClsSelectCellMode::rm_class_range()
{
  auto& ctx = get_ctrl();
  // Held: the switch to the default mode drops the context's selection.
  const auto range = get_range();
  if (!range)
    return false;
  if (!ctx.get_action_proc()->execute(std::make_shared<ClsRemoveCellRangeAction>(m_ws, *range)))
    return false;
  ctx.change_to_cell_mode();
  return true;
}

namespace {

// The lines of the selection along the axis: rows for h (and hv), columns
// for v.
struct SelectedLines {
  CellDir dir;
  int32_t first;
  int32_t last;
};

SelectedLines selected_lines(const CellRange& range, CellDir axis)
{
  CellRange r = range;
  r.ensure_consistency();
  if (axis == CellDir::v)
    return {CellDir::h, r.start.x, r.end.x};
  return {CellDir::v, r.start.y, r.end.y};
}

} // namespace

bool ClsSelectCellMode::insert_lines(bool at_start)
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (!range)
    return false;
  const SelectedLines lines = selected_lines(*range, ctx.get_now_dir());
  const int32_t at = at_start ? lines.first : lines.last + 1;
  return run_lines(lines.last - lines.first + 1,
                   [&] { return std::make_shared<ClsInsertLineAction>(m_ws, lines.dir, at); });
}

bool ClsSelectCellMode::remove_lines()
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (!range)
    return false;
  const SelectedLines lines = selected_lines(*range, ctx.get_now_dir());
  return run_lines(lines.last - lines.first + 1,
                   [&] { return std::make_shared<ClsRemoveLineAction>(m_ws, lines.dir, lines.first); });
}

bool ClsSelectCellMode::run_lines(int32_t n, const std::function<std::shared_ptr<CtrlAction>()>& make)
{
  auto& ctx = get_ctrl();
  const auto& proc = ctx.get_action_proc();
  bool done = false;
  for (int32_t i = 0; i < n; ++i) {
    if (!proc->execute(make()))
      break;
    // The next line joins this step.
    if (!done)
      proc->set_head_mergeable(true);
    done = true;
  }
  if (!done)
    return false;
  proc->set_head_mergeable(false);
  ctx.change_to_cell_mode();
  return true;
}

bool ClsSelectCellMode::paste() { return m_ws->paste_to(get_ctrl().get_now_cell()); }

} // namespace velkaro
