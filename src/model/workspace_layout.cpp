// Keeping the grid's line sizes in step with the elements, and laying the
// elements out in their cells.

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "common/check.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/workspace.h"

namespace velkaro {
namespace {

// The largest need of the elements covering each line of one axis, in
// pixels: as ModelExpandedCells::get_max_width_at_col() (and the height
// at a row) gives it for one line, for all lines in one pass over the
// elements.
struct LineNeeds {
  std::unordered_map<int32_t, double> cols;
  std::unordered_map<int32_t, double> rows;

  void add(int32_t x, int32_t y, ModelElement& e)
  {
    const Rectangle r = e.get_rect();
    const double width = (r.width + 10.0) / static_cast<double>(e.get_mwidth());
    const double height = (r.height + 10.0) / static_cast<double>(e.get_mheight());
    for (int64_t i = 0; i < e.get_mwidth(); ++i)
      raise(cols, static_cast<int32_t>(x + i * e.get_exthdir()), width);
    for (int64_t j = 0; j < e.get_mheight(); ++j)
      raise(rows, static_cast<int32_t>(y + j * e.get_extvdir()), height);
  }

  static void raise(std::unordered_map<int32_t, double>& needs, int32_t line, double need)
  {
    auto [it, inserted] = needs.try_emplace(line, need);
    if (!inserted)
      it->second = std::max(it->second, need);
  }
};

} // namespace

void ModelWorkspace::update_layout(const CellPos& pos)
{
  if (is_tmp)
    return;
  // The elements covering the column and the row come from the covering
  // index. Called from outside, every rectangle there is measured again and
  // everything on both lines is laid out. Otherwise each need stands as
  // the lines' running needs keep it since the element's last layout, and
  // a line whose size stays keeps its elements' boxes: only those whose
  // boxes may have changed are laid out. While the marked lines are
  // flushed, those are the elements that came, stretch across a changed
  // line or changed since the last layout; after a text edit
  // (may_updated()), the chain at pos, measured again first since an
  // element may take its size from a text of its chain.
  const auto cells = get_cells();
  const bool edit = m_chain_edited && !m_flushing;
  const bool whole = !m_flushing && !edit;
  FreshElements edited;
  if (edit && pos.x >= 0 && pos.y >= 0)
    if (const ElementPtr head = cells->get(pos.x, pos.y))
      head->foreach([&](const ElementPtr& e) {
        cells->forget_need(*e);
        edited.emplace(e.get(), e);
      });
  const double col_need = cells->line_need(CellDir::h, pos.x, whole);
  const double row_need = cells->line_need(CellDir::v, pos.y, whole);
  bool col_changed = whole;
  bool row_changed = whole;
  // A line before the first has no size.
  if (pos.x >= 0) {
    const double before = grid->h->get_size(pos.x);
    grid->h->set_size(pos.x, col_need);
    col_changed = col_changed || grid->h->get_size(pos.x) != before;
  }
  if (pos.y >= 0) {
    const double before = grid->v->get_size(pos.y);
    grid->v->set_size(pos.y, row_need);
    row_changed = row_changed || grid->v->get_size(pos.y) != before;
  }
  const FreshElements& fresh = edit ? edited : m_fresh;
  lay_out_line(CellDir::h, pos.x, col_changed, fresh);
  lay_out_line(CellDir::v, pos.y, row_changed, fresh);
}

void ModelWorkspace::lay_out_line(CellDir dir, int32_t index, bool all, const FreshElements& fresh)
{
  const auto cells = get_cells();
  if (all) {
    for (const auto& met : cells->covering(dir, index)) {
      met.elm->layout_for(*this, met.x, met.y);
      cells->forget_need(*met.elm);
    }
    return;
  }
  for (const auto& [key, weak] : fresh) {
    const auto e = weak.lock();
    if (!e)
      continue;
    const auto at = cells->find(*e);
    if (!at)
      continue;
    const int64_t x_end = int64_t{at->h} + e->dh;
    const int64_t y_end = int64_t{at->v} + e->dv;
    const int64_t lo = dir == CellDir::h ? std::min<int64_t>(at->h, x_end) : std::min<int64_t>(at->v, y_end);
    const int64_t hi = dir == CellDir::h ? std::max<int64_t>(at->h, x_end) : std::max<int64_t>(at->v, y_end);
    if (index < lo || index > hi)
      continue;
    // Met where a walk along the line first finds it.
    const auto elm = std::const_pointer_cast<ModelElement>(e);
    if (dir == CellDir::h)
      elm->layout_for(*this, index, static_cast<int32_t>(std::min<int64_t>(at->v, y_end)));
    else
      elm->layout_for(*this, static_cast<int32_t>(std::min<int64_t>(at->h, x_end)), index);
    cells->forget_need(*elm);
  }
}

void ModelWorkspace::mark_lines(const ModelElement& elm, const CellPos& anchor)
{
  if (is_tmp)
    return;
  const int64_t x_end = int64_t{anchor.x} + elm.dh;
  const int64_t y_end = int64_t{anchor.y} + elm.dv;
  for (int64_t x = std::min<int64_t>(anchor.x, x_end); x <= std::max<int64_t>(anchor.x, x_end); ++x)
    m_marked_cols.insert(static_cast<int32_t>(x));
  for (int64_t y = std::min<int64_t>(anchor.y, y_end); y <= std::max<int64_t>(anchor.y, y_end); ++y)
    m_marked_rows.insert(static_cast<int32_t>(y));
}

void ModelWorkspace::flush_layout()
{
  std::vector<int32_t> cols(m_marked_cols.begin(), m_marked_cols.end());
  std::vector<int32_t> rows(m_marked_rows.begin(), m_marked_rows.end());
  m_marked_cols.clear();
  m_marked_rows.clear();
  if (is_tmp) {
    m_fresh.clear();
    return;
  }
  // A multi-cell element is laid out from its anchor: the anchors of what
  // line operations moved are brought up to date first (a flush may come
  // in the middle of an operation, from signal_update()).
  get_cells()->update_moved_pos();
  m_flushing = true;
  // Through the virtual update_layout(), which a kind may extend.
  for (size_t i = 0; i < std::max(cols.size(), rows.size()); ++i)
    update_layout({i < cols.size() ? cols[i] : -1, i < rows.size() ? rows[i] : -1});
  m_flushing = false;
  m_fresh.clear();
}

void ModelWorkspace::shift_marks(CellDir dir, int32_t index, int32_t delta)
{
  std::set<int32_t>& marks = dir == CellDir::h ? m_marked_cols : m_marked_rows;
  std::set<int32_t> moved;
  for (auto it = marks.lower_bound(index); it != marks.end();) {
    if (delta > 0 || *it > index)
      moved.insert(*it + delta);
    it = marks.erase(it);
  }
  marks.insert(moved.begin(), moved.end());
}

std::vector<ModelWorkspace::Across> ModelWorkspace::elements_across(CellDir dir, int32_t index,
                                                                    bool removing) const
{
  std::vector<Across> across;
  if (is_tmp)
    return across;
  // Those covering a removed line, or covering both an opened line and the
  // one before it: their spans change; every other element keeps its size
  // or moves whole.
  const auto cells = get_cells();
  for (const auto& met : cells->covering(dir, index)) {
    const auto at = cells->find(*met.elm);
    if (!at)
      continue;
    const int32_t anchor = dir == CellDir::h ? at->h : at->v;
    const int64_t far = int64_t{anchor} + (dir == CellDir::h ? met.elm->dh : met.elm->dv);
    const int64_t lo = std::min<int64_t>(anchor, far);
    if (!removing && lo >= index)
      continue;
    across.push_back({met.elm, lo, std::max<int64_t>(anchor, far)});
  }
  return across;
}

void ModelWorkspace::mark_across(CellDir dir, int32_t index, int32_t delta,
                                 const std::vector<Across>& across)
{
  std::set<int32_t>& marks = dir == CellDir::h ? m_marked_cols : m_marked_rows;
  const auto cells = get_cells();
  for (const auto& a : across) {
    // What it covered before, where those lines now are.
    for (int64_t line = a.lo; line <= a.hi; ++line) {
      if (delta < 0 && line == index)
        continue;
      const int64_t moved = line < index ? line : line + delta;
      marks.insert(static_cast<int32_t>(moved));
    }
    // What it covers now; its box changes with it.
    if (const auto at = cells->find(*a.elm); at && a.elm->stored) {
      mark_lines(*a.elm, {at->h, at->v});
      m_fresh.emplace(a.elm.get(), a.elm);
    }
  }
}

void ModelWorkspace::update_layout_all()
{
  const auto cells = get_cells();
  // One pass over the elements instead of one search of the covering map
  // per line: a document whose elements stand on a diagonal would
  // otherwise take a time of its rows times its columns.
  LineNeeds needs;
  cells->foreach([&needs](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) { needs.add(x, y, *e); });
    return true;
  });
  // Ascending, so that each size is set at the end of the grid's list.
  cells->foreach_col_index([&](int32_t x) {
    const auto it = needs.cols.find(x);
    grid->h->set_size(x, it == needs.cols.end() ? 0.0 : it->second);
    return true;
  });
  cells->foreach_row_index([&](int32_t y) {
    const auto it = needs.rows.find(y);
    grid->v->set_size(y, it == needs.rows.end() ? 0.0 : it->second);
    return true;
  });
  cells->foreach([this](int32_t x, int32_t y, const ElementPtr& head) {
    head->foreach([&](const ElementPtr& e) { e->layout_for(*this, x, y); });
    return true;
  });
}

void ModelWorkspace::may_updated(const ElementPtr& elm)
{
  VK_CHECK(elm != nullptr);
  const bool outer = m_chain_edited;
  m_chain_edited = true;
  update_layout(anchor_of(elm));
  m_chain_edited = outer;
}

} // namespace velkaro
