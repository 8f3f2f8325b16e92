#include "model/grid.h"

#include <glib.h>

#include "common/cell_range.h"
#include "common/point.h"

namespace velkaro {

ModelGrid::ModelGrid(double min_size)
  : h(ModelGridGridList::create(min_size)), v(ModelGridGridList::create(min_size))
{
}

std::shared_ptr<ModelGridGridList> ModelGrid::get(CellDir dir) const
{
  switch (dir) {
  case CellDir::h: return h;
  case CellDir::v: return v;
  default: g_error("ModelGrid::get: hv names no single axis");
  }
}

Rectangle ModelGrid::get_rect(int32_t x, int32_t y) const
{
  const double x0 = h->get(ModelGridGridList::line_before(x));
  const double y0 = v->get(ModelGridGridList::line_before(y));
  return {x0, y0, h->get(x) - x0, v->get(y) - y0};
}

Rectangle ModelGrid::get_range_rect(const CellRange& range) const
{
  const double x0 = h->get(ModelGridGridList::line_before(range.start.x));
  const double y0 = v->get(ModelGridGridList::line_before(range.start.y));
  return {x0, y0, h->get(range.end.x) - x0, v->get(range.end.y) - y0};
}

Rectangle ModelGrid::get_size(int32_t x, int32_t y) const
{
  return {0, 0, h->get_size(x), v->get_size(y)};
}

CellPos ModelGrid::get_cell_pos_at_xy(const Point& pt) const
{
  return CellPos{h->get_index(pt.get_x()), v->get_index(pt.get_y())}.clamp();
}

Point ModelGrid::get_top_left_point(const CellPos& pos) const
{
  return Point(h->get(ModelGridGridList::line_before(pos.x)), v->get(ModelGridGridList::line_before(pos.y)));
}

Rectangle ModelGrid::get_full() const
{
  return {0, 0, h->get_last(), v->get_last()};
}

} // namespace velkaro
