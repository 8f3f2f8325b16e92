#include "cls/connector_drawer_base.h"

#include <algorithm>

#include "cls/abstract_connector_end_drawer.h"
#include "cls/arrow_connector_end_drawer.h"
#include "cls/diamond_connector_end_drawer.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/black_diamond_connector_term.h"
#include "cls/doc/open_arrow_connector_term.h"
#include "cls/doc/white_arrow_connector_term.h"
#include "cls/doc/white_diamond_connector_term.h"
#include "cls/doc/workspace.h"
#include "cls/route/segment.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "view/cairo_guard.h"
#include "view/drawer_context.h"
#include "view/text_drawer.h"
#include "view/transform_matrix.h"

namespace velkaro {

namespace {

// The widest line a connector is drawn with.
constexpr double WIDEST_LINE = 2.0;

std::shared_ptr<const ClsConnectorDrawerBase::EndDrawerTable>& shared_table()
{
  static std::shared_ptr<const ClsConnectorDrawerBase::EndDrawerTable> table =
    std::make_shared<const ClsConnectorDrawerBase::EndDrawerTable>();
  return table;
}

// The box around the points and rectangles it is grown by, none at first.
// Tracked as its edges: no rectangle is made per point.
struct Bounds {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool any = false;

  void grow(double l, double t, double r, double b)
  {
    if (!any) {
      left = l;
      top = t;
      right = r;
      bottom = b;
      any = true;
      return;
    }
    left = std::min(left, l);
    top = std::min(top, t);
    right = std::max(right, r);
    bottom = std::max(bottom, b);
  }
  void grow(const Point& p) { grow(p.get_x(), p.get_y(), p.get_x(), p.get_y()); }
  void grow(const Rectangle& r) { grow(r.x, r.y, r.get_right(), r.get_bottom()); }
  Rectangle get_rect() const { return {left, top, right - left, bottom - top}; }
};

// Grows box by the shape of term with its tip at tip, placed as its end
// drawer places it.
void grow_by_shape(Bounds& box, const ClsIConnectorTerm& term, const Point& tip)
{
  const auto m = ViewTransformMatrix::new_dir(static_cast<int32_t>(term.get_udlr()), term.get_width_at_upper(),
                                              term.get_height_at_upper(), tip.get_x(), tip.get_y());
  for (Point p : {Point(-0.5, 0), Point(0.5, 0), Point(-0.5, 1), Point(0.5, 1)}) {
    m.transform(p);
    box.grow(p);
  }
}

Point plus(const Point& a, const Point& b) { return Point(a.get_x() + b.get_x(), a.get_y() + b.get_y()); }

} // namespace

ClsConnectorDrawerBase::ClsConnectorDrawerBase()
{
  auto table = std::make_shared<EndDrawerTable>();
  table->emplace(typeid(ClsWhiteArrowConnectorTerm), std::make_shared<ClsWhiteArrowConnectorEndDrawer>());
  table->emplace(typeid(ClsOpenArrowConnectorTerm), std::make_shared<ClsOpenArrowConnectorEndDrawer>());
  table->emplace(typeid(ClsWhiteDiamondConnectorTerm), std::make_shared<ClsWhiteDiamondConnectorEndDrawer>());
  table->emplace(typeid(ClsBlackDiamondConnectorTerm), std::make_shared<ClsBlackDiamondConnectorEndDrawer>());
  shared_table() = std::move(table);
}

std::shared_ptr<const ClsConnectorDrawerBase::EndDrawerTable> ClsConnectorDrawerBase::get_end_drawers()
{
  return shared_table();
}

bool ClsConnectorDrawerBase::get_drawn_bounds(const ClsAbstractConnectorElement& con, const ModelGrid& grid,
                                              Rectangle& bounds)
{
  // A draw asks this of every connector: each cell's corner is looked up
  // once where one segment ends and the next starts.
  Bounds box;
  const auto& segments = con.get_segments();
  CellPos corner_cell{-1, -1};
  Point corner;
  const auto corner_of = [&](const CellPos& cell) -> const Point& {
    if (!(cell == corner_cell)) {
      corner = grid.get_top_left_point(cell);
      corner_cell = cell;
    }
    return corner;
  };
  for (const auto& seg : segments) {
    box.grow(plus(seg->start_point, corner_of(seg->start)));
    box.grow(plus(seg->end_point, corner_of(seg->end)));
  }
  if (con.start_term)
    grow_by_shape(box, *con.start_term, plus(con.start_term->get_term_point(), grid.get_top_left_point(con.start)));
  if (con.end_term)
    grow_by_shape(box, *con.end_term, plus(con.end_term->get_term_point(), grid.get_top_left_point(con.end)));
  if (!box.any) {
    bounds = {};
    return false;
  }
  // Lines and shapes reach half the line's width beyond their points, and
  // antialiasing a pixel further, on every side.
  Bounds drawn;
  drawn.grow(box.get_rect().expand(2 * (WIDEST_LINE / 2 + 1)));
  if (!segments.empty()) {
    const auto label = [&](const auto& text, const CellPos& cell) {
      Rectangle r = text->get_pango_layout_rect();
      const Point at = grid.get_top_left_point(cell);
      r.x += at.get_x();
      r.y += at.get_y();
      drawn.grow(r);
    };
    label(con.start_multiplicity, segments.front()->start);
    label(con.end_multiplicity, segments.back()->end);
  }
  bounds = drawn.get_rect();
  return true;
}

void ClsConnectorDrawerBase::draw_connector_in_region(const ClsAbstractConnectorElement& con)
{
  const auto grid = get_grid();
  const auto& region = get_clip_region();
  if (!grid || !region)
    return;
  Rectangle bounds;
  if (get_drawn_bounds(con, *grid, bounds) && bounds.is_intersect_region(region->cobj()))
    draw_connector(con);
}

void ClsConnectorDrawerBase::draw_connector(const ClsAbstractConnectorElement& con)
{
  const auto grid = get_grid();
  if (!grid)
    return;
  const auto& cr = get_cr();
  const CairoSaveGuard guard(cr);
  const bool focused = con.focus && get_dc()->shows_editor;
  set_source(focused ? ViewColor::active_connector_line : ViewColor::element_line);
  cr->set_line_width(focused ? 2.0 : 1.0);
  const auto& segments = con.get_segments();
  for (const auto& seg : segments)
    line(plus(seg->start_point, grid->get_top_left_point(seg->start)),
         plus(seg->end_point, grid->get_top_left_point(seg->end)));
  cr->stroke();
  if (!segments.empty()) {
    // Without a controller: a label shows a cursor only while it is edited.
    const auto label = [this, &grid](const std::shared_ptr<ModelTextElement>& text, const CellPos& cell) {
      ViewTextDrawer texts;
      texts.offset = grid->get_top_left_point(cell);
      texts.add_ite(text);
      texts.draw_for(get_dc(), nullptr);
    };
    label(con.start_multiplicity, segments.front()->start);
    label(con.end_multiplicity, segments.back()->end);
  }
  if (con.start_term)
    draw_connector_term(*con.start_term, grid->get_top_left_point(con.start));
  if (con.end_term)
    draw_connector_term(*con.end_term, grid->get_top_left_point(con.end));
}

void ClsConnectorDrawerBase::draw_connector_term(const ClsIConnectorTerm& con_term, const Point& offset)
{
  const auto table = get_end_drawers();
  const auto found = table->find(typeid(con_term));
  if (found == table->end())
    return;
  found->second->draw(*get_dc(), con_term.get_width_at_upper(), con_term.get_height_at_upper(),
                      plus(con_term.get_term_point(), offset), con_term.get_udlr());
}

void ClsFloatingConnectorDrawer::draw()
{
  const auto ws = get_cls_ws();
  if (ws && ws->get_floating_connector())
    draw_connector_in_region(*ws->get_floating_connector());
}

void ClsFixedConnectorDrawer::draw()
{
  const auto ws = get_cls_ws();
  if (!ws)
    return;
  for (const auto& con : *ws->get_connectors())
    draw_connector_in_region(*con);
}

} // namespace velkaro
