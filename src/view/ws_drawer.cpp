#include "view/ws_drawer.h"

#include <algorithm>
#include <typeinfo>
#include <unordered_set>
#include <vector>

#include "common/cell_range.h"
#include "ctrl/context.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/expanded_cells.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "view/drawer_context.h"

namespace velkaro {
namespace {

// The cells elm covers, corners in order (an element may extend left or
// up from its anchor cell).
CellRange covered_range(const ModelElement& elm)
{
  CellRange range{elm.pos, elm.get_endpos()};
  range.ensure_consistency();
  return range;
}

} // namespace

std::optional<CellRange> ViewWsDrawer::cells_around(const ModelGrid& grid, const cairo_rectangle_int_t& box)
{
  const CellPos end{grid.h->get_index(double(box.x) + box.width), grid.v->get_index(double(box.y) + box.height)};
  // A negative bound would leave the cell map's range walk open.
  if (end.x < 0 || end.y < 0)
    return std::nullopt;
  const CellPos start{std::max(0, grid.h->get_index(box.x) - 1), std::max(0, grid.v->get_index(box.y) - 1)};
  return CellRange{start, end};
}

namespace {

// One element met by the walk over a part of the map, and where the walk
// over the whole map would report it.
struct Met {
  CellPos first;
  const ModelExpandedCells::ElementPtr* elm;
};

} // namespace

void ViewWsDrawer::each_target(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn)
{
  const auto ctrl = get_ctrl();
  if (!ctrl)
    return;
  if (region) {
    each_in_region(type, region, fn);
    return;
  }
  // Held: the covering map stays valid while it is walked.
  const auto expanded = get_cells()->get_expanded();
  expanded->foreach(
    [&](int32_t x, int32_t y, const ElementPtr& elm) {
      if (!type || type(*elm))
        visit(x, y, elm, region, fn);
    },
    true);
}

void ViewWsDrawer::each_in_region(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region,
                                  const TargetFunc& fn)
{
  const auto range = cells_around(*get_grid(), region->get_extents());
  if (!range)
    return;
  // Only the part walked, for a page: after an edit the covering map of the
  // whole document would be built again.
  const auto expanded = get_cells()->expanded_for(*range);
  std::vector<Met> met;
  std::unordered_set<const ModelElement*> multi_met;
  // The filter's answer per class: a page holds a few classes and many
  // elements, and the filter's cast costs most where it fails.
  std::vector<std::pair<const std::type_info*, bool>> answers;
  const auto passes = [&](const ModelElement& elm) {
    const std::type_info* cls = &typeid(elm);
    for (const auto& [known, answer] : answers)
      if (known == cls)
        return answer;
    answers.emplace_back(cls, type(elm));
    return answers.back().second;
  };
  expanded->foreach_range(*range, [&](int32_t x, int32_t y, const std::shared_ptr<ModelExpStack>& stack) {
    for (const auto& elm : stack->get_data()) {
      if (type && !passes(*elm))
        continue;
      if (!elm->get_is_multi()) {
        met.push_back({{x, y}, &elm});
      } else if (multi_met.insert(elm.get()).second) {
        met.push_back({covered_range(*elm).start, &elm});
      }
    }
    return true;
  });
  // An element over several cells whose first cell lies before the part
  // walked is met at the part's edge; the whole map's walk reports it at its
  // first cell. Elements with the same first cell are met at the same cell,
  // in stack order, which the stable sort keeps.
  std::stable_sort(met.begin(), met.end(), [](const Met& a, const Met& b) {
    return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
  });
  for (const Met& m : met)
    visit(m.first.x, m.first.y, *m.elm, region, fn);
}

void ViewWsDrawer::visit(int32_t x, int32_t y, const ElementPtr& elm, const Cairo::RefPtr<Cairo::Region>& region,
                         const TargetFunc& fn)
{
  now_cell = {x, y};
  const auto grid = get_grid();
  Rectangle covered;
  if (elm->get_is_multi()) {
    start_cell = elm->pos;
    // From the anchor cell's corner, as the element's layout box is placed.
    now_rect = grid->get_range_rect(CellRange{elm->pos, elm->get_endpos()});
    covered = grid->get_range_rect(covered_range(*elm));
  } else {
    start_cell = {x, y};
    now_rect = covered = grid->get_rect(x, y);
  }
  // Tested with the cells it covers: for an element extending left or up
  // now_rect has a negative width or height.
  if (region && !covered.is_intersect_region(region->cobj()))
    return;
  now_elm = elm;
  if (!m_unstyled) {
    init();
    if (elm->get_is_in_process())
      set_in_proc();
  }
  fn();
}

void ViewWsDrawer::each_met(ElementFilter type, const Cairo::RefPtr<Cairo::Region>& region, const TargetFunc& fn)
{
  m_unstyled = true;
  try {
    each_target(type, region, fn);
  } catch (...) {
    m_unstyled = false;
    throw;
  }
  m_unstyled = false;
}

void ViewWsDrawer::init()
{
  const auto& cr = get_cr();
  const bool filling = get_ctrl() && !in_temp_mode();
  if (filling) {
    set_source(get_is_cursor() ? ViewColor::active_element_fill : ViewColor::element_fill);
    cr->fill_preserve();
  }
  cr->unset_dash();
  set_default();
  if (filling && get_is_cursor())
    set_source(ViewColor::active_element_line);
}

void ViewWsDrawer::set_default()
{
  get_cr()->set_line_width(1.0);
  set_source(in_temp_mode() ? ViewColor::in_working_line : ViewColor::element_line);
}

void ViewWsDrawer::set_in_proc()
{
  if (!get_dc()->shows_editor) {
    set_default();
    return;
  }
  get_cr()->set_line_width(2.0);
  set_source(ViewColor::in_process_line);
}

std::shared_ptr<ModelWorkspace> ViewWsDrawer::get_ws() const
{
  const auto ctrl = get_ctrl();
  return ctrl ? ctrl->get_ws() : nullptr;
}

std::shared_ptr<ModelGrid> ViewWsDrawer::get_grid() const
{
  const auto ws = get_ws();
  return ws ? ws->grid : nullptr;
}

std::shared_ptr<ModelElementCells> ViewWsDrawer::get_cells() const
{
  const auto ws = get_ws();
  return ws ? ws->get_cells() : nullptr;
}

bool ViewWsDrawer::get_is_cursor() const
{
  const auto ctrl = get_ctrl();
  return ctrl && (!get_dc() || get_dc()->shows_editor) && now_cell == ctrl->get_now_cell();
}

bool ViewWsDrawer::get_has_right() const { return now_elm && now_cell.x < start_cell.x + now_elm->dh; }

bool ViewWsDrawer::get_has_bottom() const { return now_elm && now_cell.y < start_cell.y + now_elm->dv; }

bool ViewWsDrawer::in_temp_mode() const
{
  const auto ws = get_ws();
  return ws && ws->is_tmp;
}

} // namespace velkaro
