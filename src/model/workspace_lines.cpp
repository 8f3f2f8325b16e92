// Insertion and removal of whole columns and rows.

#include <algorithm>
#include <utility>

#include <glib.h>

#include "common/check.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

bool ModelWorkspace::line_shift_fits(CellDir dir, int32_t index, int32_t delta) const
{
  // Opening line index moves what is anchored at or after it one further;
  // closing it moves what is anchored after it one back. Only an element
  // covering the last line (the first) can be pushed out of the grid.
  const auto cells = get_cells();
  const bool fits = index >= 0 && index <= CellPos::MAX &&
                    !(delta > 0 ? cells->covered_from(dir, CellPos::MAX, index)
                                : cells->covered_from(dir, 0, index + 1));
  if (!fits)
    g_debug("workspace: line %d (%s) not %s: it would move an element out of the grid", index,
            cell_dir_to_string(dir).c_str(), delta > 0 ? "opened" : "removed");
  return fits;
}

bool ModelWorkspace::insert_line_(CellDir dir, int32_t index)
{
  VK_CHECK_VAL(dir != CellDir::hv, false);
  if (!line_shift_fits(dir, index, 1))
    return false;
  const LayoutBatch batch(*this);
  const auto across = elements_across(dir, index, false);
  get_cells()->insert_line(dir, index, 1);
  if (!is_tmp)
    grid->get(dir)->ins(index);
  shift_marks(dir, index, 1);
  mark_across(dir, index, 1, across);
  record_line(true, dir, index);
  signal_update();
  return true;
}

bool ModelWorkspace::remove_line_(CellDir dir, int32_t index)
{
  VK_CHECK_VAL(dir != CellDir::hv, false);
  if (!line_shift_fits(dir, index, -1))
    return false;
  const LayoutBatch batch(*this);
  if (!is_tmp)
    grid->get(dir)->rm(index);
  const auto cells = get_cells();
  std::vector<std::pair<CellPos, ElementPtr>> left;
  cells->foreach_line(dir, index, [&left](int32_t x, int32_t y, const ElementPtr& head) {
    left.push_back({{x, y}, head});
    return true;
  });
  // What still stands on the line is removed element by element, each
  // recorded on its own, so that undo puts every one back in its place and
  // nothing added by this action comes back with a chain.
  for (const auto& [at, head] : left) {
    // A plain copy for the lambda: clang 14 (the fuzz build) cannot capture
    // a structured binding.
    const CellPos pos = at;
    head->foreach([&](const ElementPtr& e) { remove_on(pos, e); });
  }
  // The lines marked by those removals are lines of the grid before the
  // removal, like the elements' spans taken here.
  const auto across = elements_across(dir, index, true);
  cells->remove_line(dir, index, 1);
  shift_marks(dir, index, -1);
  mark_across(dir, index, -1, across);
  record_line(false, dir, index);
  signal_update();
  return true;
}

bool ModelWorkspace::insert_line(CellDir dir, int32_t index)
{
  const LayoutBatch batch(*this);
  if (!insert_line_(dir, index))
    return false;
  if (dir == CellDir::v) {
    fill_line(CellDir::v, index + 1, index, &ModelWorkspace::fill_upper);
  } else {
    fill_line(CellDir::h, index + 1, index, &ModelWorkspace::fill_left);
    fill_line(CellDir::h, index - 1, index, &ModelWorkspace::fill_right);
  }
  get_cells()->update_moved_pos();
  clear_in_process();
  return true;
}

void ModelWorkspace::fill_line(CellDir dir, int32_t index, int32_t at, FillHook hook)
{
  // Nothing lies before the first line (and a negative filter would make
  // the visit take every line).
  if (index < 0)
    return;
  // The elements covering the line are taken once: the hooks may change
  // the cells meanwhile.
  for (const auto& met : get_cells()->covering(dir, index)) {
    cursor = dir == CellDir::v ? CellPos{met.x, at} : CellPos{at, met.y};
    (this->*hook)(met.elm);
  }
}

bool ModelWorkspace::remove_line(CellDir dir, int32_t index)
{
  VK_CHECK_VAL(dir != CellDir::hv, false);
  if (!line_shift_fits(dir, index, -1))
    return false;
  const LayoutBatch batch(*this);
  std::vector<ElementPtr> elms;
  get_cells()->foreach_line(dir, index, [&](int32_t, int32_t, const ElementPtr& head) {
    if (dir == CellDir::v) {
      auto row = remove_row_elms(head);
      elms.insert(elms.end(), row.begin(), row.end());
    } else {
      head->foreach([&elms](const ElementPtr& e) { elms.push_back(e); });
    }
    return true;
  });
  // On a row, a part that may not be cut alone and has role 0 takes its
  // parent's family with it; on a column, one with role 1.
  const int32_t family_role = dir == CellDir::v ? 0 : 1;
  for (const auto& e : elms) {
    if (!e->get_is_cuttable() && e->get_role() == family_role)
      cut(e, false);
    else
      remove_all(e, false);
  }
  remove_line_(dir, index);
  get_cells()->update_moved_pos();
  clear_in_process();
  return true;
}

} // namespace velkaro
