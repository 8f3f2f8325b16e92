// The placement test: whether an element, with the copies of children it
// carries, may be stored at a cell of a workspace, and what stands in its
// way; and the box an element is laid out in.

#include "common/cell_range.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/workspace.h"

namespace velkaro {

std::vector<ModelElement::ElementPtr> ModelElement::obstacles()
{
  std::vector<ElementPtr> found;
  const auto ws = get_ws();
  // Kinds look at the workspace around its cursor, so the walk moves it.
  CellPos own = wpos;
  CellPos& cursor = ws ? ws->cursor : own;
  cursor = wpos;
  const int32_t width = get_mwidth();
  const int32_t height = get_mheight();
  for (int32_t j = 0; j < height; ++j) {
    const CellPos row = cursor;
    for (int32_t i = 0; i < width; ++i) {
      // A copy: a kind may move the cursor while it looks.
      const CellPos at = cursor;
      each_pos_obstacles(found, at);
      cursor.x += get_exthdir();
    }
    cursor = row;
    cursor.y += get_extvdir();
  }
  return found;
}

bool ModelElement::can_store()
{
  return obstacles().empty();
}

bool ModelElement::could_store(ModelWorkspace& ws, const CellPos& pos_arg)
{
  // A copy: callers pass the workspace cursor, which the walk moves.
  const CellPos at = pos_arg;
  set_ws(ws.shared_from_this());
  set_cells(*ws.get_cells());
  wpos = at;
  if (!can_store())
    return false;
  const CellPos offset = at.substract(origpos);
  for (const auto& sub : subs)
    if (!sub->could_store(ws, sub->origpos.add(offset)))
      return false;
  return true;
}

std::vector<ModelElement::ElementPtr> ModelElement::get_obstacles(ModelWorkspace& ws,
                                                                  const CellPos& pos_arg)
{
  const CellPos at = pos_arg;
  set_ws(ws.shared_from_this());
  set_cells(*ws.get_cells());
  wpos = at;
  std::vector<ElementPtr> found;
  const CellPos offset = at.substract(origpos);
  for (const auto& sub : subs) {
    const auto in_way = sub->get_obstacles(ws, sub->origpos.add(offset));
    found.insert(found.end(), in_way.begin(), in_way.end());
  }
  const auto own = obstacles();
  found.insert(found.end(), own.begin(), own.end());
  return found;
}

ModelElement::ElementPtr ModelElement::get_c_elm() const
{
  const auto ws = get_ws();
  return ws ? ws->elm_at(wpos) : nullptr;
}

void ModelElement::layout_for(ModelWorkspace& ws, int32_t x, int32_t y)
{
  const ModelGrid& grid = *ws.grid;
  if (!get_is_multi()) {
    layout(grid.get_size(x, y));
    return;
  }
  // The covered cells, whatever the direction of the extension, so that an
  // element reaching left or up is not given a box of negative size; the
  // box stays in the frame of the anchor cell, like the element's
  // rectangle.
  CellRange range = *get_range();
  range.ensure_consistency();
  Rectangle box = grid.get_range_rect(range);
  const Rectangle anchor = grid.get_rect(pos.x, pos.y);
  box.x -= anchor.x;
  box.y -= anchor.y;
  layout(box);
}

} // namespace velkaro
