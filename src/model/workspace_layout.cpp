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

// The elements covering one column and one row, each with the first cell
// of the line where it lies (rows and columns ascending), and the largest
// need among them, as ModelExpandedCells::get_max_width_at_col() and
// get_max_height_at_row() give it.
struct LineCover {
  struct Met {
    ModelElement* elm;
    int32_t x, y;
  };

  explicit LineCover(const CellPos& at) : pos(at) {}

  void add(int32_t x, int32_t y, ModelElement& e)
  {
    const int64_t x_end = int64_t{x} + e.dh;
    const int64_t y_end = int64_t{y} + e.dv;
    const bool in_col = std::min<int64_t>(x, x_end) <= pos.x && pos.x <= std::max<int64_t>(x, x_end);
    const bool in_row = std::min<int64_t>(y, y_end) <= pos.y && pos.y <= std::max<int64_t>(y, y_end);
    if (!in_col && !in_row)
      return;
    const Rectangle r = e.get_rect();
    if (in_col) {
      col_need = std::max(col_need, (r.width + 10.0) / static_cast<double>(e.get_mwidth()));
      col.push_back({&e, pos.x, static_cast<int32_t>(std::min<int64_t>(y, y_end))});
    }
    if (in_row) {
      row_need = std::max(row_need, (r.height + 10.0) / static_cast<double>(e.get_mheight()));
      row.push_back({&e, static_cast<int32_t>(std::min<int64_t>(x, x_end)), pos.y});
    }
  }

  CellPos pos;
  double col_need = 0.0;
  double row_need = 0.0;
  std::vector<Met> col;
  std::vector<Met> row;
};

} // namespace

void ModelWorkspace::update_layout(const CellPos& pos)
{
  if (is_tmp)
    return;
  // The elements covering the column and the row, found by walking the
  // chains rather than through the covering map: every store and removal
  // lays out, and the map would have to be built anew for each of them.
  LineCover cover(pos);
  for (const auto& [y, row] : get_cells()->get_rows())
    for (const auto& [x, head] : row)
      for (ModelElement* e = head.get(); e; e = e->get_next().get())
        cover.add(x, y, *e);
  // A line before the first has no size.
  if (pos.x >= 0)
    grid->h->set_size(pos.x, cover.col_need);
  if (pos.y >= 0)
    grid->v->set_size(pos.y, cover.row_need);
  for (const auto& [e, x, y] : cover.col)
    e->layout_for(*this, x, y);
  for (const auto& [e, x, y] : cover.row)
    e->layout_for(*this, x, y);
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
  update_layout(anchor_of(elm));
}

} // namespace velkaro
