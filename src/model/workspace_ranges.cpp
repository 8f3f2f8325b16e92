// Blocks of cells: the end range of a block, the range cut that takes the
// elements of a block, and moving, opening and closing blocks, each of them
// whole or not at all.

#include <algorithm>

#include <glib.h>

#include "common/c_resource.h"
#include "common/cell_range.h"
#include "common/cell_range_index.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

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

bool ModelWorkspace::all_or_nothing(const std::function<bool()>& op)
{
  // What the records being written hold now, to be given back when op
  // fails: an undo of the failed op recorded into them would leave entries
  // for a change that never was, and an action that records nothing must
  // leave its record empty.
  const auto open = get_diff();
  const auto open_before = open ? open->duplicate() : nullptr;
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> trials_before;
  for (const auto& t : m_trials)
    trials_before.push_back(t->duplicate());
  const CellPos cursor_before = cursor;
  const bool changed_before = m_step_changed;
  const auto own = new_diff();
  begin_step();
  const ScopeGuard end([this] { end_step(false); });
  const LayoutBatch batch(*this);
  m_trials.push_back(own);
  bool done = false;
  {
    const ScopeGuard pop([this] { m_trials.pop_back(); });
    done = op();
  }
  if (done) {
    if (!own->get_is_empty())
      signal_update();
    return true;
  }
  {
    // Undone without recording; then every record holds what it held.
    auto trials = std::move(m_trials);
    m_trials.clear();
    const auto diff = std::move(m_diff);
    m_diff = nullptr;
    const ScopeGuard back([&] {
      m_diff = diff;
      m_trials = std::move(trials);
    });
    patch(*own->reverse());
  }
  if (open)
    open->assign(*open_before);
  for (size_t i = 0; i < trials_before.size(); ++i)
    m_trials[i]->assign(*trials_before[i]);
  cursor = cursor_before;
  m_step_changed = changed_before;
  return false;
}

void ModelWorkspace::record_add(const CellPos& pos, const ElementPtr& elm)
{
  if (const auto diff = get_diff())
    diff->add_element(pos, elm);
  for (const auto& t : m_trials)
    t->add_element(pos, elm);
}

void ModelWorkspace::record_rm(const CellPos& pos, const ElementPtr& elm)
{
  if (const auto diff = get_diff())
    diff->rm_element(pos, elm);
  for (const auto& t : m_trials)
    t->rm_element(pos, elm);
}

void ModelWorkspace::record_line(bool inserted, CellDir dir, int32_t index)
{
  const auto write = [&](ModelWorkspaceDiff& d) {
    if (inserted)
      d.insert_line(dir, index);
    else
      d.rm_line(dir, index);
  };
  if (const auto diff = get_diff())
    write(*diff);
  for (const auto& t : m_trials)
    write(*t);
}

bool ModelWorkspace::move_range(const CellRange& range, CellDir axis, int32_t n)
{
  return all_or_nothing([&] { return move_block(range, axis, n); });
}

bool ModelWorkspace::move_block(const CellRange& range, CellDir axis, int32_t n)
{
  CellPos yank{-1, -1};
  std::vector<ElementPtr> copies = range_cut(yank, range, true, true, axis);
  CellPos delta{0, 0};
  if (axis == CellDir::h)
    delta.y = n;
  else
    delta.x = n;
  // In the order of the cut; the first that finds no room ends the move,
  // which the caller then takes back whole.
  for (ElementPtr& copy : copies) {
    if (!copy) {
      g_critical("ModelWorkspace::move_range: a copy is missing");
      return false;
    }
    const CellPos from = copy->origpos;
    const char* type = copy->get_type_name();
    if (!paste(copy, from.add(delta), true)) {
      g_debug("workspace: no block move: a %s from %s finds no room at %s", type,
              from.to_string().c_str(), from.add(delta).to_string().c_str());
      return false;
    }
  }
  return true;
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

bool ModelWorkspace::insert_range(CellRange& range, CellDir axis, bool insert)
{
  range.ensure_consistency();
  const bool done = all_or_nothing([&] {
    const auto end_range = make_end_range(range, axis, insert);
    if (!end_range)
      return true;
    const int32_t n = deltahv(cell_dir_inv(axis), range.start, range) + 1;
    if (!move_block(*end_range, axis, n))
      return false;
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
    return true;
  });
  if (done)
    clear_in_process();
  return done;
}

bool ModelWorkspace::remove_range(CellRange& range, CellDir axis)
{
  // Normalised before the cut, which takes a range as it stands: corners
  // the wrong way round would take nothing, and what follows would then
  // slide onto the block's elements.
  range.ensure_consistency();
  const bool done = all_or_nothing([&] {
    CellPos yank{-1, -1};
    (void)range_cut(yank, range, true, true, axis);
    const auto end_range = make_end_range(range, axis, false);
    if (!end_range)
      return true;
    const int32_t m = deltahv(cell_dir_inv(axis), range.start, range);
    return move_block(*end_range, axis, -(m + 1));
  });
  if (done)
    clear_in_process();
  return done;
}

} // namespace velkaro
