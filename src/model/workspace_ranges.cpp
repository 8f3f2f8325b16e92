// Blocks of cells: the end range of a block, the range cut that takes the
// elements of a block, and moving, opening and closing blocks.

#include <algorithm>

#include <glib.h>

#include "common/cell_range.h"
#include "common/cell_range_index.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"

namespace velkaro {

std::shared_ptr<CellRange> ModelWorkspace::make_end_range(CellRange& range, CellDir axis,
                                                          bool include)
{
  range.ensure_consistency();
  auto end_range = CellRange::create(range.start, range.end);
  if (!include) {
    if (axis == CellDir::h)
      end_range->start.y = range.end.y + 1;
    else
      end_range->start.x = range.end.x + 1;
  }
  const auto used = get_cells()->get_exists_range();
  used->ensure_consistency();
  if (axis == CellDir::h) {
    if (used->end.y < end_range->start.y)
      return nullptr;
    end_range->end.y = used->end.y;
  } else {
    if (used->end.x < end_range->start.x)
      return nullptr;
    end_range->end.x = used->end.x;
  }
  return end_range;
}

std::vector<ModelWorkspace::ElementPtr> ModelWorkspace::range_cut(CellPos& yank_pos,
                                                                  const CellRange& range,
                                                                  bool remove, bool slide,
                                                                  CellDir axis)
{
  std::vector<ElementPtr> taken;
  std::vector<ElementPtr> to_remove;
  get_cells()->foreach_range(range, [&](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) {
      if (!range_cut_target(*e, slide, axis))
        return;
      bool covered = false;
      std::vector<ElementPtr> marked;
      for (const auto& t : taken) {
        if (t->contains(*e))
          covered = true;
        else if (e->contains(*t))
          marked.push_back(t);
      }
      // An ancestor taken later replaces its descendants; the last taken
      // element moves into each freed place.
      for (const auto& m : marked) {
        const auto it = std::find(taken.begin(), taken.end(), m);
        *it = taken.back();
        taken.pop_back();
      }
      if (covered)
        return;
      yank_pos.x = std::min(yank_pos.x, x);
      yank_pos.y = std::min(yank_pos.y, y);
      taken.push_back(e);
      if (remove)
        to_remove.push_back(e);
    });
    return true;
  });
  std::vector<ElementPtr> copies;
  const auto cells = get_cells();
  for (const auto& t : taken) {
    ElementPtr c = t->copy_all(*cells, false);
    if (slide && !c->get_parent())
      c->set_parent(t->get_parent());
    copies.push_back(std::move(c));
  }
  // A descendant dropped above is still listed; its ancestor took it along.
  for (const auto& e : to_remove)
    remove_all(e, false);
  return copies;
}

void ModelWorkspace::move_range(const CellRange& range, CellDir axis, int32_t n)
{
  const LayoutBatch batch(*this);
  CellPos yank{-1, -1};
  std::vector<ElementPtr> copies = range_cut(yank, range, true, true, axis);
  CellPos to = yank;
  if (axis == CellDir::h)
    to.y += n;
  else
    to.x += n;
  if (paste_elms(copies, yank, to, true))
    return;
  // What found no room at its new place goes back to where it was, which
  // the cut emptied, unless a moved element took it meanwhile.
  bool restored = false;
  for (const auto& copy : copies) {
    if (!copy)
      continue;
    cursor = copy->origpos;
    if (could_store(copy) && store_copy(copy, {0, 0})) {
      restored = true;
      continue;
    }
    g_warning("ModelWorkspace::move_range: a %s from %s found no room; it is left out",
              copy->get_type_name(), copy->origpos.to_string().c_str());
  }
  if (restored) {
    clear_in_process();
    signal_update();
  }
}

void ModelWorkspace::fill_block(CellDir dir, int32_t index, const CellRangeIndex& across,
                                int32_t n, int32_t step, FillHook hook)
{
  // Nothing lies before the first line (and a negative filter would make
  // the visit take every line).
  if (index < 0)
    return;
  // Taken once: the hooks may change the cells meanwhile.
  for (const auto& met : get_cells()->covering(dir, index)) {
    const int32_t at = dir == CellDir::v ? met.x : met.y;
    if (at < across.start || across.end < at)
      continue;
    for (int32_t i = 1; i <= n; ++i) {
      cursor = dir == CellDir::v ? CellPos{met.x, met.y + step * i} : CellPos{met.x + step * i, met.y};
      (this->*hook)(met.elm);
    }
  }
}

void ModelWorkspace::insert_range(CellRange& range, CellDir axis, bool insert)
{
  const LayoutBatch batch(*this);
  range.ensure_consistency();
  const auto end_range = make_end_range(range, axis, insert);
  if (!end_range)
    return;
  const int32_t n = deltahv(cell_dir_inv(axis), range.start, range) + 1;
  move_range(*end_range, axis, n);
  const int32_t shift = insert ? 0 : n;
  if (axis == CellDir::h) {
    fill_block(CellDir::v, range.end.y + 1 + shift, range.get_h(), n, -1,
               &ModelWorkspace::fill_upper);
  } else {
    fill_block(CellDir::h, range.end.x + 1 + shift, range.get_v(), n, -1,
               &ModelWorkspace::fill_left);
    fill_block(CellDir::h, range.start.x - 1 + shift, range.get_v(), n, 1,
               &ModelWorkspace::fill_right);
  }
  clear_in_process();
}

void ModelWorkspace::remove_range(CellRange& range, CellDir axis)
{
  // Normalised before the cut, which takes a range as it stands: corners
  // the wrong way round would take nothing, and what follows would then
  // slide onto the block's elements.
  const LayoutBatch batch(*this);
  range.ensure_consistency();
  CellPos yank{-1, -1};
  (void)range_cut(yank, range, true, true, axis);
  const auto end_range = make_end_range(range, axis, false);
  if (!end_range)
    return;
  const int32_t m = deltahv(cell_dir_inv(axis), range.start, range);
  move_range(*end_range, axis, -(m + 1));
  clear_in_process();
}

} // namespace velkaro
