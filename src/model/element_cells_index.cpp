// The covering index of the element cells: for every column and row the
// elements covering it, and for every element of a chain where it stands.
// Built from the chains on first use, then mended by each change the map is
// told of, so that no edit walks the whole document.

#include <algorithm>
#include <limits>

#include "model/element_cells.h"
#include "model/exp_stack.h"

namespace velkaro {
namespace {

// The lines lo..hi an element covers along one axis, from its anchor line
// and its extension, kept inside the 32-bit range.
void span_of(int32_t anchor, int32_t extension, int64_t& lo, int64_t& hi)
{
  const int64_t far = int64_t{anchor} + extension;
  lo = std::max<int64_t>(std::min<int64_t>(anchor, far), std::numeric_limits<int32_t>::min());
  hi = std::min<int64_t>(std::max<int64_t>(anchor, far), std::numeric_limits<int32_t>::max());
}

// Changes told in detail: updated() calls made meanwhile keep the index.
class Known {
public:
  explicit Known(int& depth) : m_depth(depth) { ++m_depth; }
  ~Known() { --m_depth; }
  Known(const Known&) = delete;
  Known& operator=(const Known&) = delete;

private:
  int& m_depth;
};

} // namespace

bool ModelElementCells::before(const Placed* a, const Placed* b)
{
  if (a->anchor.y != b->anchor.y)
    return a->anchor.y < b->anchor.y;
  if (a->anchor.x != b->anchor.x)
    return a->anchor.x < b->anchor.x;
  return a->index < b->index;
}

void ModelElementCells::updated()
{
  m_expanded.reset();
  if (m_known)
    return;
  drop_index();
  m_moved.clear();
  m_moved_all = true;
}

void ModelElementCells::clear()
{
  ModelCells<ModelElement>::clear();
  m_expanded.reset();
  drop_index();
  m_moved.clear();
  m_moved_all = false;
  m_source.reset();
  m_filled.clear();
}

// --- building and mending ---------------------------------------------------

void ModelElementCells::drop_index() const
{
  m_indexed = false;
  m_placed.clear();
  m_cols.clear();
  m_rows_cover.clear();
}

void ModelElementCells::ensure_index() const
{
  if (m_indexed)
    return;
  drop_index();
  m_indexed = true;
  // Visiting the chains in the index's own order appends every element at
  // the end of each of its lines.
  for (const auto& [y, row] : m_rows)
    for (const auto& [x, head] : row) {
      int32_t index = 0;
      for (ModelElement* e = head.get(); e; e = e->m_next.get())
        index_elm(*e, {x, y}, index++);
    }
}

void ModelElementCells::add_to_lines(Placed* p) const
{
  if (!p->measured)
    p->stamp = ++m_stamps;
  const auto add = [this, p](Line& line, double need) {
    line.elms.insert(std::upper_bound(line.elms.begin(), line.elms.end(), p, before), p);
    join_needs(line, *p, need);
  };
  int64_t lo, hi;
  span_of(p->anchor.x, p->dh, lo, hi);
  for (int64_t x = lo; x <= hi; ++x)
    add(m_cols[static_cast<int32_t>(x)], p->need_w);
  span_of(p->anchor.y, p->dv, lo, hi);
  for (int64_t y = lo; y <= hi; ++y)
    add(m_rows_cover[static_cast<int32_t>(y)], p->need_h);
}

void ModelElementCells::remove_from_lines(Placed* p) const
{
  // What waits in a line for p stops counting with p's stamp.
  if (p->measured)
    leave_needs(*p);
  p->measured = false;
  p->stamp = ++m_stamps;
  const auto take = [p](Lines& lines, int64_t lo, int64_t hi) {
    for (int64_t i = lo; i <= hi; ++i) {
      const auto it = lines.find(static_cast<int32_t>(i));
      if (it == lines.end())
        continue;
      auto& elms = it->second.elms;
      auto at = std::lower_bound(elms.begin(), elms.end(), p, before);
      if (at == elms.end() || *at != p)
        at = std::find(elms.begin(), elms.end(), p);
      if (at != elms.end())
        elms.erase(at);
      if (elms.empty())
        lines.erase(it);
    }
  };
  int64_t lo, hi;
  span_of(p->anchor.x, p->dh, lo, hi);
  take(m_cols, lo, hi);
  span_of(p->anchor.y, p->dv, lo, hi);
  take(m_rows_cover, lo, hi);
}

void ModelElementCells::index_elm(ModelElement& elm, const CellPos& anchor, int32_t index) const
{
  if (m_placed.contains(&elm))
    unindex(elm);
  Placed& p = m_placed[&elm];
  p = {&elm, anchor, index, elm.dh, elm.dv};
  add_to_lines(&p);
}

void ModelElementCells::unindex(const ModelElement& elm) const
{
  const auto it = m_placed.find(&elm);
  if (it == m_placed.end())
    return;
  remove_from_lines(&it->second);
  m_placed.erase(it);
}

void ModelElementCells::reindex_cell(int32_t x, int32_t y) const
{
  if (!m_indexed)
    return;
  // What the index holds for the cell: contiguous in the row's line.
  std::vector<Placed*> old;
  if (const auto line = m_rows_cover.find(y); line != m_rows_cover.end()) {
    const Placed probe{nullptr, {x, y}, std::numeric_limits<int32_t>::min(), 0, 0};
    const auto& elms = line->second.elms;
    for (auto it = std::lower_bound(elms.begin(), elms.end(), &probe, before);
         it != elms.end() && (*it)->anchor == CellPos{x, y}; ++it)
      old.push_back(*it);
  }
  // The chain as it now stands.
  std::vector<ModelElement*> chain;
  if (const auto row = m_rows.find(y); row != m_rows.end())
    if (const auto cell = row->second.find(x); cell != row->second.end())
      for (ModelElement* e = cell->second.get(); e; e = e->m_next.get())
        chain.push_back(e);
  std::unordered_map<const ModelElement*, int32_t> number;
  number.reserve(chain.size());
  for (size_t i = 0; i < chain.size(); ++i)
    number.emplace(chain[i], static_cast<int32_t>(i));
  // Elements that stay keep their places in the lines as long as they keep
  // their order and extension; the others are taken out and put back.
  int32_t last = -1;
  for (Placed* p : old) {
    const auto it = number.find(p->elm);
    if (it == number.end() || it->second < last || p->dh != p->elm->dh || p->dv != p->elm->dv) {
      unindex(*p->elm);
      continue;
    }
    last = it->second;
  }
  for (size_t i = 0; i < chain.size(); ++i) {
    const auto it = m_placed.find(chain[i]);
    if (it != m_placed.end() && it->second.anchor == CellPos{x, y})
      it->second.index = static_cast<int32_t>(i);
  }
  for (size_t i = 0; i < chain.size(); ++i) {
    const auto it = m_placed.find(chain[i]);
    if (it == m_placed.end() || it->second.anchor != CellPos{x, y})
      index_elm(*chain[i], {x, y}, static_cast<int32_t>(i));
  }
}

void ModelElementCells::set(int32_t x, int32_t y, ElementPtr value)
{
  {
    const Known known(m_known);
    ModelCells<ModelElement>::set(x, y, std::move(value));
  }
  reindex_cell(x, y);
}

ModelElementCells::ElementPtr ModelElementCells::remove(int32_t x, int32_t y)
{
  ElementPtr head;
  {
    const Known known(m_known);
    head = ModelCells<ModelElement>::remove(x, y);
  }
  if (head)
    reindex_cell(x, y);
  return head;
}

void ModelElementCells::respan(const ModelElement& elm)
{
  const auto it = m_placed.find(&elm);
  if (!m_indexed || it == m_placed.end())
    return;
  const Placed p = it->second;
  if (p.dh == elm.dh && p.dv == elm.dv)
    return;
  unindex(elm);
  index_elm(*p.elm, p.anchor, p.index);
}

// --- line operations --------------------------------------------------------

std::vector<ModelElementCells::Placed*> ModelElementCells::covering_lines(CellDir dir, int64_t lo,
                                                                          int64_t hi) const
{
  const Lines& lines = dir == CellDir::h ? m_cols : m_rows_cover;
  std::vector<Placed*> found;
  std::unordered_set<const Placed*> seen;
  const int64_t from = std::max<int64_t>(lo, std::numeric_limits<int32_t>::min());
  for (auto it = lines.lower_bound(static_cast<int32_t>(from)); it != lines.end() && it->first <= hi;
       ++it)
    for (Placed* p : it->second.elms)
      if (seen.insert(p).second)
        found.push_back(p);
  return found;
}

namespace {

int32_t clamp32(int64_t v)
{
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void ModelElementCells::shift_anchors(CellDir dir, int64_t from, int32_t delta)
{
  const auto move_chain = [&](const ElementPtr& head) {
    for (ModelElement* e = head.get(); e; e = e->m_next.get())
      if (const auto it = m_placed.find(e); it != m_placed.end()) {
        (dir == CellDir::h ? it->second.anchor.x : it->second.anchor.y) += delta;
        m_moved.push_back(e->shared_from_this());
      }
  };
  if (dir == CellDir::v) {
    for (auto row = m_rows.lower_bound(clamp32(from)); row != m_rows.end(); ++row)
      for (const auto& cell : row->second)
        move_chain(cell.second);
    return;
  }
  for (const auto& row : m_rows)
    for (auto cell = row.second.lower_bound(clamp32(from)); cell != row.second.end(); ++cell)
      move_chain(cell->second);
}

void ModelElementCells::shift_lines(CellDir dir, int32_t index, int64_t first_moved,
                                    int32_t delta) const
{
  Lines& lines = dir == CellDir::h ? m_cols : m_rows_cover;
  Lines moved;
  for (auto it = lines.lower_bound(index); it != lines.end();) {
    if (it->first >= first_moved)
      moved.emplace(clamp32(int64_t{it->first} + delta), std::move(it->second));
    it = lines.erase(it);
  }
  for (auto& [i, line] : moved)
    lines.insert_or_assign(i, std::move(line));
}

void ModelElementCells::line_op(CellDir dir, int32_t index, int32_t count,
                                const std::function<void()>& op)
{
  if (dir == CellDir::hv || count == 0) {
    op();
    return;
  }
  touch_all();
  ensure_index();
  const bool removing = count < 0;
  const int32_t n = removing ? -count : count;
  const int32_t delta = removing ? -n : n;
  // Lines that move: from index on when opening, from index + n on when
  // closing index .. index + n - 1.
  const int64_t first_moved = removing ? int64_t{index} + n : index;
  // The elements at the edges of the change, which may stretch across it,
  // leave the index and come back afterwards; all others either stay or
  // move whole, keeping their order in every line.
  struct Taken {
    ElementPtr elm;
    CellPos anchor;
    int32_t index;
  };
  std::vector<Taken> taken;
  for (Placed* p : covering_lines(dir, int64_t{index} - 1, removing ? first_moved : index))
    taken.push_back({p->elm->shared_from_this(), p->anchor, p->index});
  for (const auto& t : taken)
    unindex(*t.elm);
  {
    const Known known(m_known);
    op();
  }
  shift_anchors(dir, first_moved + delta, delta);
  shift_lines(dir, index, first_moved, delta);
  // Those anchored on a removed line are gone; the others come back where
  // they now stand.
  for (const auto& t : taken) {
    CellPos anchor = t.anchor;
    const int32_t at = dir == CellDir::h ? anchor.x : anchor.y;
    if (removing && at >= index && at < first_moved)
      continue;
    if (at >= first_moved)
      (dir == CellDir::h ? anchor.x : anchor.y) += delta;
    index_elm(*t.elm, anchor, t.index);
    if (anchor != t.anchor)
      m_moved.push_back(t.elm);
  }
}

void ModelElementCells::insert_row(int32_t index, int32_t count, const CellFunc& moved)
{
  line_op(CellDir::v, index, count, [&] { ModelCells<ModelElement>::insert_row(index, count, moved); });
}

void ModelElementCells::insert_col(int32_t index, int32_t count, const CellFunc& moved)
{
  line_op(CellDir::h, index, count, [&] { ModelCells<ModelElement>::insert_col(index, count, moved); });
}

void ModelElementCells::remove_row(int32_t index, int32_t count, const CellFunc& removed,
                                   const CellFunc& moved)
{
  line_op(CellDir::v, index, -count,
          [&] { ModelCells<ModelElement>::remove_row(index, count, removed, moved); });
}

void ModelElementCells::remove_col(int32_t index, int32_t count, const CellFunc& removed,
                                   const CellFunc& moved)
{
  line_op(CellDir::h, index, -count,
          [&] { ModelCells<ModelElement>::remove_col(index, count, removed, moved); });
}

void ModelElementCells::update_moved_pos()
{
  if (m_moved_all || !m_indexed) {
    update_pos();
    return;
  }
  for (const auto& e : m_moved)
    if (const auto it = m_placed.find(e.get()); it != m_placed.end())
      e->pos = it->second.anchor;
  m_moved.clear();
}

// --- lookups ----------------------------------------------------------------

std::shared_ptr<ModelExpStack> ModelElementCells::stack_at(int32_t x, int32_t y) const
{
  if (m_source)
    fill_covering(x, y);
  ensure_index();
  const auto col = m_cols.find(x);
  const auto row = m_rows_cover.find(y);
  if (col == m_cols.end() || row == m_rows_cover.end())
    return nullptr;
  // The shorter of the two lines holds every element covering the cell.
  const bool by_row = row->second.elms.size() <= col->second.elms.size();
  std::shared_ptr<ModelExpStack> stack;
  for (const Placed* p : by_row ? row->second.elms : col->second.elms) {
    int64_t lo, hi;
    if (by_row)
      span_of(p->anchor.x, p->dh, lo, hi);
    else
      span_of(p->anchor.y, p->dv, lo, hi);
    const int32_t across = by_row ? x : y;
    if (across < lo || across > hi)
      continue;
    if (!stack)
      stack = ModelExpStack::create();
    stack->add(p->elm->shared_from_this());
  }
  return stack;
}

ModelElementCells::Line* ModelElementCells::indexed_line(CellDir dir, int32_t index) const
{
  if (m_source)
    fill_line(dir, index);
  ensure_index();
  Lines& lines = dir == CellDir::h ? m_cols : m_rows_cover;
  const auto line = lines.find(index);
  return line == lines.end() ? nullptr : &line->second;
}

std::vector<ModelElementCells::Met> ModelElementCells::covering(CellDir dir, int32_t index) const
{
  std::vector<Met> found;
  if (dir == CellDir::hv)
    return found;
  const Line* line = indexed_line(dir, index);
  if (!line)
    return found;
  for (const Placed* p : line->elms) {
    int64_t lo, hi;
    if (dir == CellDir::h) {
      span_of(p->anchor.y, p->dv, lo, hi);
      found.push_back({p->elm->shared_from_this(), index, static_cast<int32_t>(lo)});
    } else {
      span_of(p->anchor.x, p->dh, lo, hi);
      found.push_back({p->elm->shared_from_this(), static_cast<int32_t>(lo), index});
    }
  }
  // A walk along the line meets the elements cell by cell, and those of one
  // cell in the index's order.
  std::stable_sort(found.begin(), found.end(), [dir](const Met& a, const Met& b) {
    return dir == CellDir::h ? a.y < b.y : a.x < b.x;
  });
  return found;
}

bool ModelElementCells::covered_from(CellDir dir, int32_t index, int32_t first) const
{
  const Line* line = indexed_line(dir, index);
  if (!line)
    return false;
  return std::any_of(line->elms.begin(), line->elms.end(), [dir, first](const Placed* p) {
    return (dir == CellDir::h ? p->anchor.x : p->anchor.y) >= first;
  });
}

ModelElementCells::ElementPtr ModelElementCells::element_at(const ModelElementElmPos& at) const
{
  if (!m_chains.empty()) {
    const auto it = m_chains.find((int64_t{at.v} << 32) | static_cast<uint32_t>(at.h));
    if (it == m_chains.end() || at.index < 0 || static_cast<size_t>(at.index) >= it->second.size())
      return nullptr;
    return it->second[static_cast<size_t>(at.index)];
  }
  const ElementPtr head = get(at.h, at.v);
  return head ? head->nth(at.index) : nullptr;
}

std::optional<ModelElementElmPos> ModelElementCells::find(const ModelElement& elm) const
{
  ensure_index();
  const auto it = m_placed.find(&elm);
  if (it == m_placed.end())
    return std::nullopt;
  return ModelElementElmPos{it->second.anchor.x, it->second.anchor.y, it->second.index};
}

CellPos ModelElementCells::get_pos(const ElementPtr& target) const
{
  if (!target)
    return {-1, -1};
  ensure_index();
  if (const auto it = m_placed.find(target.get()); it != m_placed.end()) {
    return it->second.anchor;
  } else if (!m_placed.contains(target->get_first().get())) {
    // Not in any chain of this map (every stored head is in the index).
    return {-1, -1};
  }
  if (target->pos.get_is_valid()) {
    const ElementPtr head = get(target->pos.x, target->pos.y);
    if (head && head->has_elm(*target))
      return target->pos;
  }
  return ModelCells<ModelElement>::get_pos(target->get_first());
}

} // namespace velkaro
