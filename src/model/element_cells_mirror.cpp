// Scratch cells that mirror another map: the chains of the source are
// copied when something first looks at their cells, so that a trial edit
// pays for what it touches rather than for a copy of the whole document.

#include <algorithm>

#include "model/element_cells.h"
#include "model/exp_stack.h"

namespace velkaro {
namespace {

int64_t cell_key(const CellPos& c)
{
  return (int64_t{c.y} << 32) | static_cast<uint32_t>(c.x);
}

} // namespace

void ModelElementCells::mirror(const std::shared_ptr<ModelElementCells>& source)
{
  // Mirroring itself keeps the map as it is, as a copy onto itself would.
  if (source.get() == this)
    return;
  clear();
  m_source = source;
  m_origin.clear();
  m_copy_of.clear();
  m_settled = false;
}

void ModelElementCells::clear_in_process()
{
  // A mirror clears the copies there are, without touching the rest.
  if (m_source)
    m_settled = true;
  // The chains as they are linked, without a counted reference per element:
  // the editor does this after every line operation.
  for (const auto& [y, cols] : m_rows)
    for (const auto& [x, head] : cols)
      for (ModelElement* e = head.get(); e; e = e->m_next.get())
        e->in_process = false;
}

void ModelElementCells::touch(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const
{
  if (m_source)
    fill_from_source(x0, y0, x1, y1);
}

void ModelElementCells::fill_from_source(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const
{
  const auto source = m_source;
  const bool all = x0 == OPEN_LOW && y0 == OPEN_LOW && x1 == OPEN_HIGH && y1 == OPEN_HIGH;
  std::vector<CellPos> cells;
  const auto& rows = source->m_rows;
  auto row = y0 <= INT32_MIN ? rows.begin() : rows.lower_bound(static_cast<int32_t>(std::min<int64_t>(y0, INT32_MAX)));
  for (; row != rows.end() && row->first <= y1; ++row) {
    const auto& cols = row->second;
    auto cell = x0 <= INT32_MIN ? cols.begin() : cols.lower_bound(static_cast<int32_t>(std::min<int64_t>(x0, INT32_MAX)));
    for (; cell != cols.end() && cell->first <= x1; ++cell)
      if (!m_filled.contains(cell_key({cell->first, row->first})))
        cells.push_back({cell->first, row->first});
  }
  fill_families(cells);
  if (all) {
    // Everything is copied: from now on a map like any other.
    m_source.reset();
    m_filled.clear();
  }
}

void ModelElementCells::fill_covering(int32_t x, int32_t y) const
{
  const auto source = m_source;
  std::vector<CellPos> cells{{x, y}};
  if (const auto stack = source->stack_at(x, y))
    for (const auto& e : stack->get_data())
      if (const auto at = source->find(*e))
        cells.push_back({at->h, at->v});
  fill_families(cells);
}

void ModelElementCells::fill_line(CellDir dir, int32_t index) const
{
  const auto source = m_source;
  std::vector<CellPos> cells;
  for (const auto& met : source->covering(dir, index))
    if (const auto at = source->find(*met.elm))
      cells.push_back({at->h, at->v});
  fill_families(cells);
}

void ModelElementCells::fill_families(const std::vector<CellPos>& start) const
{
  const auto source = m_source;
  if (!source)
    return;
  // Scratch cells are filled from a const lookup: the map's contents
  // stand for the copy it mirrors, which is there already.
  auto& self = const_cast<ModelElementCells&>(*this);
  const auto head_at = [&source](const CellPos& c) -> ElementPtr {
    const auto row = source->m_rows.find(c.y);
    if (row == source->m_rows.end())
      return nullptr;
    const auto cell = row->second.find(c.x);
    return cell == row->second.end() ? nullptr : cell->second;
  };
  // The cells, closed over the parents of their elements.
  std::vector<CellPos> todo(start);
  std::vector<CellPos> group;
  while (!todo.empty()) {
    const CellPos c = todo.back();
    todo.pop_back();
    if (!m_filled.insert(cell_key(c)).second)
      continue;
    const ElementPtr head = head_at(c);
    if (!head)
      continue;
    group.push_back(c);
    for (ModelElement* e = head.get(); e; e = e->m_next.get())
      for (const auto& parent : {e->get_parent(), e->m_parent.lock()})
        if (parent)
          if (const auto at = source->find(*parent))
            todo.push_back({at->h, at->v});
  }
  if (group.empty())
    return;
  ++m_filling;
  std::sort(group.begin(), group.end(),
            [](const CellPos& a, const CellPos& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  // Each element copied through its written form, as a whole copy reads
  // it; then, in the order of the map, the parent references are resolved
  // and the copies are told they are stored.
  std::vector<ElementPtr> copies;
  for (const CellPos& c : group) {
    ElementPtr tail;
    for (ModelElement* e = head_at(c).get(); e; e = e->m_next.get()) {
      const ElementPtr copy = e->copy_();
      copy->pos = c;
      copy->set_cells(self);
      if (m_settled)
        copy->in_process = false;
      copy->m_children_pending = !e->m_children.empty();
      m_origin[copy.get()] = e->weak_from_this();
      m_copy_of[e] = copy;
      if (tail)
        tail->add(copy);
      else
        self.m_rows[c.y][c.x] = copy;
      tail = copy;
      copies.push_back(copy);
    }
    self.m_expanded.reset();
    reindex_cell(c.x, c.y);
  }
  for (const auto& copy : copies) {
    std::optional<ModelElement::ParentChoice> choice;
    if (copy->m_parent_pos)
      choice = parent_of_copy(*copy);
    const CellPos at = copy->pos;
    copy->finish_reconnect(self, std::move(choice), at);
  }
  --m_filling;
}

ModelElement::ParentChoice ModelElementCells::parent_of_copy(const ModelElement& copy) const
{
  // The copy of the source's parent, whatever the trial did to the scratch
  // cells meanwhile: a reference by place would find what now stands there.
  const auto origin = m_origin.find(&copy);
  const auto from = origin == m_origin.end() ? nullptr : origin->second.lock();
  const auto parent = from ? from->m_parent.lock() : nullptr;
  if (parent && m_source && m_source->find(*parent)) {
    const auto it = m_copy_of.find(parent.get());
    return {*copy.m_parent_pos, it == m_copy_of.end() ? nullptr : it->second.lock(), ""};
  }
  return copy.resolve_reference(false);
}

void ModelElementCells::fill_children(const ModelElement& copy) const
{
  const auto origin = m_origin.find(&copy);
  if (origin == m_origin.end())
    return;
  if (const auto from = origin->second.lock(); from && m_source) {
    std::vector<CellPos> cells;
    for (const auto& child : from->get_children())
      if (const auto at = m_source->find(*child))
        cells.push_back({at->h, at->v});
    fill_families(cells);
  }
  // A whole copy links the children in the order of the map: anchor rows,
  // anchor columns, chain order. Dead entries go last.
  struct Keyed {
    std::weak_ptr<ModelElement> child;
    std::optional<ModelElementElmPos> at;
  };
  std::vector<Keyed> keyed;
  auto& children = const_cast<ModelElement&>(copy).m_children;
  keyed.reserve(children.size());
  for (auto& weak : children) {
    const auto child = weak.lock();
    keyed.push_back({std::move(weak), child ? find(*child) : std::nullopt});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (!a.at || !b.at)
      return a.at.has_value() && !b.at.has_value();
    if (a.at->v != b.at->v)
      return a.at->v < b.at->v;
    if (a.at->h != b.at->h)
      return a.at->h < b.at->h;
    return a.at->index < b.at->index;
  });
  children.clear();
  for (auto& k : keyed)
    children.push_back(std::move(k.child));
}

} // namespace velkaro
