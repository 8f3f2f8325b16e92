#include "model/workspace_diff.h"

#include <algorithm>

#include "common/check.h"
#include "model/element.h"

namespace velkaro {
namespace {

// The entries recorded at pos, made on first use.
ModelWorkspaceDiff::Entries& entries_at(ModelWorkspaceDiff::EntryCells& cells, const CellPos& pos)
{
  auto entries = cells.get(pos.x, pos.y);
  if (!entries) {
    entries = std::make_shared<ModelWorkspaceDiff::Entries>();
    cells.set(pos.x, pos.y, entries);
  }
  return *entries;
}

void each_entry(const ModelWorkspaceDiff::EntryCells& cells, const ModelWorkspaceDiff::ElmFunc& fn)
{
  using Entries = ModelWorkspaceDiff::Entries;
  cells.foreach([&fn](int32_t x, int32_t y, const std::shared_ptr<Entries>& entries) {
    for (const auto& entry : *entries)
      fn(x, y, entry.elm);
    return true;
  });
}

// A map of its own holding lists of their own with the same entries.
std::shared_ptr<ModelWorkspaceDiff::EntryCells> copy_entries(const ModelWorkspaceDiff::EntryCells& cells)
{
  using Entries = ModelWorkspaceDiff::Entries;
  auto copy = ModelWorkspaceDiff::EntryCells::create();
  cells.foreach([&copy](int32_t x, int32_t y, const std::shared_ptr<Entries>& entries) {
    copy->set(x, y, std::make_shared<Entries>(*entries));
    return true;
  });
  return copy;
}

std::shared_ptr<ModelWorkspaceDiffLineDiff> copy_line(const std::shared_ptr<ModelWorkspaceDiffLineDiff>& line)
{
  return line ? ModelWorkspaceDiffLineDiff::create(line->dir, line->index) : nullptr;
}

} // namespace

void ModelWorkspaceDiff::add_element(const CellPos& pos, const ElementPtr& elm)
{
  VK_CHECK(elm != nullptr);
  entries_at(*add, pos).push_back({elm, -1});
}

void ModelWorkspaceDiff::rm_element(const CellPos& pos, const ElementPtr& elm)
{
  VK_CHECK(elm != nullptr);
  // An element stored by this action leaves no trace: before the action it
  // was not there, and after it it is not there either.
  if (cancel_added(*elm))
    return;
  Entries& entries = entries_at(*rm, pos);
  // Every element in front of elm that was there when the action began and
  // is still there now counts in its index; elements stored by the action
  // were appended behind it. The ones in front of it that the action removed
  // already are recorded here with their places; they put elm back where it
  // stood among them.
  std::vector<int32_t> taken;
  for (const auto& e : entries)
    taken.push_back(e.index);
  std::sort(taken.begin(), taken.end());
  int32_t place = elm->get_index();
  for (int32_t t : taken)
    if (t <= place)
      ++place;
  entries.push_back({elm, place});
}

bool ModelWorkspaceDiff::cancel_added(const ModelElement& elm)
{
  std::shared_ptr<Entries> holder;
  CellPos at;
  // Searched by identity in every cell: a line operation of the same action
  // may have moved the element since it was stored.
  add->foreach([&](int32_t x, int32_t y, const std::shared_ptr<Entries>& entries) {
    const auto it = std::find_if(entries->begin(), entries->end(),
                                 [&elm](const Entry& e) { return e.elm.get() == &elm; });
    if (it == entries->end())
      return true;
    entries->erase(it);
    holder = entries;
    at = {x, y};
    return false;
  });
  if (!holder)
    return false;
  if (holder->empty())
    (void)add->remove(at.x, at.y);
  return true;
}

void ModelWorkspaceDiff::insert_line(CellDir dir, int32_t index)
{
  if (!inserted_line)
    inserted_line = ModelWorkspaceDiffLineDiff::create(dir, index);
  inserted_line->dir = dir;
  inserted_line->index = index;
}

void ModelWorkspaceDiff::rm_line(CellDir dir, int32_t index)
{
  if (!removed_line)
    removed_line = ModelWorkspaceDiffLineDiff::create(dir, index);
  removed_line->dir = dir;
  removed_line->index = index;
}

bool ModelWorkspaceDiff::get_is_empty() const
{
  if (inserted_line || removed_line)
    return false;
  bool empty = true;
  for (const auto* cells : {add.get(), rm.get()})
    cells->foreach([&empty](int32_t, int32_t, const std::shared_ptr<Entries>& entries) {
      empty = entries->empty();
      return empty;
    });
  return empty;
}

void ModelWorkspaceDiff::each_add(const ElmFunc& fn) const
{
  each_entry(*add, fn);
}

void ModelWorkspaceDiff::each_rm(const ElmFunc& fn) const
{
  each_entry(*rm, fn);
}

std::shared_ptr<ModelWorkspaceDiff> ModelWorkspaceDiff::reverse() const
{
  auto r = new_instance();
  r->add = rm;
  r->rm = add;
  r->inserted_line = removed_line;
  r->removed_line = inserted_line;
  return r;
}

std::shared_ptr<ModelWorkspaceDiff> ModelWorkspaceDiff::duplicate() const
{
  auto d = new_instance();
  d->assign(*this);
  return d;
}

void ModelWorkspaceDiff::assign(const ModelWorkspaceDiff& other)
{
  add = copy_entries(*other.add);
  rm = copy_entries(*other.rm);
  inserted_line = copy_line(other.inserted_line);
  removed_line = copy_line(other.removed_line);
}

} // namespace velkaro
