#pragma once
// ClsSelectCellMode ("SELECT CELL MODE"): the framework's select-cell mode
// with copy, cut and paste done by the class workspace. After the base
// table it registers again, under the same names (keys the base table bound
// keep leading to the name, so y copies and x cuts here too):
//   "copy" <C-c> "Yank elemenet": the selection into the yank buffer, then
//     the default mode;
//   "cut" x d <C-x> <Del> "Remove elemenet": a ClsRemoveCellRangeAction
//     over the selection through the processor; on success the default
//     mode. "d" is the start of "dd" (range-delete), so it waits for a
//     second key and alone never cuts;
//   "paste" p <C-v> "Paste elemenet" (recorded): the yank buffer at the
//     cursor; the mode stays. Actionable while the buffer holds something.
// The line keys of the base table work on whole rows (axis h) or columns
// (axis v) of the class workspace, through its line operations, so that
// classes, terminals and connectors move together (the base table's block
// moves know nothing of routes): "range-insert" i "Insert" opens as many
// lines as the selection spans at its first line, "range-append" a
// "Append" after its last, "range-delete" dd "Delete selected lines"
// removes its lines. Each is one undo step and ends in the default mode; a
// line the workspace refuses ends the work there, and nothing done records
// nothing and keeps the mode.

#include <cstdint>
#include <functional>
#include <memory>

#include "ctrl/modes/select_cell_mode.h"

namespace velkaro {

class ClsContext;
class CtrlAction;
class ClsWorkspace;

class ClsSelectCellMode : public CtrlSelectCellMode {
public:
  explicit ClsSelectCellMode(ClsContext& ctrl);

  bool copy();
  // The cut of the selection (see the header comment).
  bool rm_class_range();
  bool paste();
  // The line keys (see the header comment); at_start opens the lines at the
  // selection's first line, else after its last.
  bool insert_lines(bool at_start);
  bool remove_lines();

private:
  // Runs n line actions made by make as one undo step, stopping at the
  // first refused; the default mode when one ran.
  bool run_lines(int32_t n, const std::function<std::shared_ptr<CtrlAction>()>& make);

  std::shared_ptr<ClsWorkspace> m_ws;
};

} // namespace velkaro
