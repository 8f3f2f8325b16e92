// Applying a difference record to the workspace: redo applies an action's
// record, undo its reverse.

#include <algorithm>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

void ModelWorkspace::patch(const ModelWorkspaceDiff& diff)
{
  // An action that opens a line does so before its other changes, which are
  // therefore recorded at the places after the opening; one that removes a
  // line removes what stands on it first, recorded at the places before the
  // removal. So the line is opened before the elements are patched and
  // removed after them: undoing an opened line first restores what the fill
  // hooks took from beyond it, where they took it, and only then closes it.
  const LayoutBatch batch(*this);
  if (const auto line = diff.inserted_line)
    insert_line_(line->dir, line->index);
  diff.each_rm([this](int32_t, int32_t, const ElementPtr& e) { remove(e); });
  // The record may be open on this workspace, so its maps are not walked
  // while they might grow.
  std::vector<std::pair<CellPos, ModelWorkspaceDiff::Entries>> cells;
  diff.add->foreach([&cells](int32_t x, int32_t y,
                             const std::shared_ptr<ModelWorkspaceDiff::Entries>& entries) {
    cells.push_back({{x, y}, *entries});
    return true;
  });
  for (auto& [pos, entries] : cells) {
    // Elements going back to their former places are put there from the
    // front of the chain on, so that each finds the ones before it in
    // place; added ones follow at the end, in the order they were stored.
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      if (a.index < 0 || b.index < 0)
        return a.index >= 0 && b.index < 0;
      return a.index < b.index;
    });
    for (const auto& entry : entries) {
      move_hv(pos.x, pos.y);
      store_at(entry.elm, entry.index);
    }
  }
  // The full removal: what still stands on the line goes with it.
  if (const auto line = diff.removed_line)
    remove_line(line->dir, line->index);
  get_cells()->update_moved_pos();
  signal_update();
}

} // namespace velkaro
