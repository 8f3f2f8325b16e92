// Rows and columns of the class workspace, and its layout: grid lines sized
// around changed cells, the segments crossing them spread again, labels
// placed beside the routes.

#include <utility>
#include <vector>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "common/cell_range_index.h"
#include "model/grid.h"
#include "model/text_measure.h"

namespace velkaro {

// --- rows and columns -----------------------------------------------------------------

bool ClsWorkspace::line_blocked(CellDir dir, int32_t index) const
{
  if ((dir != CellDir::h && dir != CellDir::v) || index < 0 || index > CellPos::MAX)
    return true;
  // Opening a line pushes the last one out: it must hold nothing.
  const int32_t last = CellPos::MAX;
  if (!get_cells()->covering(dir, last).empty())
    return true;
  for (const CellPos& p : m_terminals)
    if (p.get(dir) == last)
      return true;
  for (const ConnectorPtr& c : *m_connectors)
    if (c->start.get(dir) == last || c->end.get(dir) == last)
      return true;
  return false;
}

void ClsWorkspace::route_all_again()
{
  // A new layouter with every connector's new segments.
  layouter_changed();
  if (m_replaying)
    return;
  for (const ConnectorPtr& c : *m_connectors)
    c->update_route(*route_of(*c));
  get_layouter()->layout_not_laid_out_segs();
  // The labels follow the new routes.
  layout_labels();
}

bool ClsWorkspace::insert_line(CellDir dir, int32_t index)
{
  const ModelTextMeasure::Steady steady;
  if (line_blocked(dir, index))
    return false;
  const auto cells = get_cells();
  m_connectors->insert_line(dir, index);
  cells->insert_line(dir, index, 1);
  cells->update_moved_pos();
  m_router->insert_line(dir, index, 1);
  shift_terminals(dir, index, 1);
  if (!is_tmp)
    grid->get(dir)->ins(index);
  route_all_again();
  if (const auto d = get_cls_diff())
    d->insert_line(dir, index);
  signal_update();
  return true;
}

bool ClsWorkspace::remove_line(CellDir dir, int32_t index)
{
  const ModelTextMeasure::Steady steady;
  if ((dir != CellDir::h && dir != CellDir::v) || index < 0 || index > CellPos::MAX)
    return false;
  const auto d = get_cls_diff();
  m_connectors->remove_line(dir, index, [&d](const ConnectorPtr& c) {
    if (d)
      d->rm_connector(c);
  });
  layouter_changed();
  m_router->remove_line(dir, index, 1);
  shift_terminals(dir, index, -1);
  if (!is_tmp)
    grid->get(dir)->rm(index);
  const auto cells = get_cells();
  std::vector<std::pair<CellPos, ElementPtr>> removed;
  cells->remove_line(dir, index, 1, [&](int32_t x, int32_t y, const ElementPtr& head) {
    if (d)
      for (ElementPtr e = head; e; e = e->get_next())
        d->rm_element({x, y}, e);
    removed.emplace_back(CellPos{x, y}, head);
    return true;
  });
  cells->update_moved_pos();
  for (const auto& [pos, head] : removed)
    for (ElementPtr e = head; e; e = e->get_next())
      e->stored = false;
  // The lines now at the removed cells; their segments and labels are laid
  // out with the new routes below.
  for (const auto& [pos, head] : removed)
    layout_lines(pos.x, pos.y);
  route_all_again();
  if (d)
    d->rm_line(dir, index);
  signal_update();
  return true;
}

// --- layout -------------------------------------------------------------------------------

void ClsWorkspace::layout_head_at(int32_t x, int32_t y, const ElementPtr& head)
{
  head->layout(grid->get_size(x, y));
  get_cells()->forget_need(*head);
}

void ClsWorkspace::layout_lines(int32_t x, int32_t y)
{
  const auto cells = get_cells();
  if (x >= 0)
    grid->h->set_size(x, cells->line_need(CellDir::h, x, true));
  if (y >= 0)
    grid->v->set_size(y, cells->line_need(CellDir::v, y, true));
  const auto lay = [this](int32_t cx, int32_t cy, const ElementPtr& head) {
    layout_head_at(cx, cy, head);
    return true;
  };
  if (x >= 0)
    cells->foreach_col(x, lay);
  if (y >= 0)
    cells->foreach_row(y, lay);
}

void ClsWorkspace::layout_labels()
{
  for (const ConnectorPtr& c : *m_connectors)
    c->layout({});
}

void ClsWorkspace::update_layout(const CellPos& pos)
{
  const ModelTextMeasure::Steady steady;
  const double width = pos.x >= 0 ? grid->h->get_size(pos.x) : 0;
  const double height = pos.y >= 0 ? grid->v->get_size(pos.y) : 0;
  layout_lines(pos.x, pos.y);
  if (m_replaying)
    return;
  const auto& layouter = get_layouter();
  // What crosses the lines is laid out again: with both lines (or the one)
  // anywhere along the other axis.
  CellRange cross{pos, pos};
  if (pos.x < 0 || pos.y < 0) {
    cross = {{0, 0}, {CellPos::MAX, CellPos::MAX}};
    if (pos.x >= 0)
      cross.start.x = cross.end.x = pos.x;
    else if (pos.y >= 0)
      cross.start.y = cross.end.y = pos.y;
  }
  if (pos.x >= 0 || pos.y >= 0) {
    const bool same_sizes = (pos.x < 0 || grid->h->get_size(pos.x) == width) &&
                            (pos.y < 0 || grid->v->get_size(pos.y) == height);
    if (same_sizes) {
      // Lines of the same sizes: what crosses them reads nothing of them
      // that changed but the boxes of the elements laid out in them, so
      // only the segments linked to those need a layout; the others are
      // laid out as if new only where their groups changed.
      layouter->renew_seg_on_cross_area(cross);
      std::vector<const ModelElement*> laid;
      const auto note = [&laid](int32_t, int32_t, const ElementPtr& head) {
        laid.push_back(head.get());
        return true;
      };
      if (pos.x >= 0)
        get_cells()->foreach_col(pos.x, note);
      if (pos.y >= 0)
        get_cells()->foreach_row(pos.y, note);
      layouter->set_seg_not_laid_out_linking(laid);
    } else {
      layouter->set_seg_laid_out_on_cross_area(cross, false);
    }
  }
  layouter->layout_not_laid_out_segs();
  layout_labels();
}

void ClsWorkspace::size_lines_range(const CellRange& range)
{
  const auto cells = get_cells();
  cells->foreach_range(range, [&](int32_t x, int32_t y, const ElementPtr&) {
    grid->h->set_size(x, cells->line_need(CellDir::h, x, true));
    grid->v->set_size(y, cells->line_need(CellDir::v, y, true));
    return true;
  });
  const auto lay = [this](int32_t x, int32_t y, const ElementPtr& head) {
    layout_head_at(x, y, head);
    return true;
  };
  cells->foreach_col_range(range.get_h(), lay);
  cells->foreach_row_range(range.get_v(), lay);
}

void ClsWorkspace::update_layout_range(const CellRange& range)
{
  const ModelTextMeasure::Steady steady;
  size_lines_range(range);
  if (m_replaying)
    return;
  const auto& layouter = get_layouter();
  layouter->set_seg_laid_out_on_cross_area(range, false);
  layouter->layout_not_laid_out_segs();
  layout_labels();
}

void ClsWorkspace::update_layout_all()
{
  const ModelTextMeasure::Steady steady;
  ModelWorkspace::update_layout_all();
  layout_labels();
}

} // namespace velkaro
