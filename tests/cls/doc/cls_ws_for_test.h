#pragma once
// What the class-workspace tests share: a fresh workspace, the full state a
// test compares (document, terminals, route graph, connectors with their
// routes, points, terms and labels, grid lines and class boxes), the route
// graph built afresh from the workspace's registrations, and the checks of
// routes, coordinates and kept layouts.

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/class_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/doc/workspace_diff.h"
#include "cls/route/route_kit_for_test.h"
#include "cls/route/related_segments.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "model/document_for_test.h"
#include "model/grid.h"
#include "model/text_element.h"

namespace velkaro::test {

// Runs edit on ws with a fresh record open; the class document's record.
inline std::shared_ptr<ClsWorkspaceDiff> cls_record(ClsWorkspace& ws, const std::function<void()>& edit)
{
  return std::dynamic_pointer_cast<ClsWorkspaceDiff>(record_edit(ws, edit));
}

inline std::shared_ptr<ClsWorkspace> new_cls_ws()
{
  return ModelWorkspace::create<ClsWorkspace>();
}

inline std::string cls_point_text(const Point& p)
{
  std::ostringstream s;
  s.precision(17);
  s << "(" << p.get_x() << ", " << p.get_y() << ")";
  return s.str();
}

inline std::string cls_rect_text(const Rectangle& r)
{
  std::ostringstream s;
  s.precision(17);
  s << "[" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "]";
  return s.str();
}

// One connector as lines of text: kind, cells, linked elements, each
// segment's cells, points and flag, terms and labels.
inline std::string cls_connector_text(const ClsAbstractConnectorElement& c, const ClsWorkspace& ws)
{
  std::ostringstream s;
  const auto where = [&ws](const ModelElement::ElementPtr& e) {
    return e ? ws.anchor_of(e).to_string() : std::string("none");
  };
  s << c.get_serializing_type_name() << " " << c.start.to_string() << "-" << c.end.to_string()
    << " elems " << where(c.start_elem) << " " << where(c.end_elem) << "\n";
  for (const auto& seg : c.get_segments())
    s << "  seg " << seg->start.to_string() << "-" << seg->end.to_string() << " "
      << cls_point_text(seg->start_point) << "-" << cls_point_text(seg->end_point)
      << (seg->is_laid_out ? " laid" : " loose") << "\n";
  for (const auto* t : {c.start_term.get(), c.end_term.get()})
    if (t) {
      const auto p = t->get_placement();
      s << "  term " << moving_dir_to_string(p.udlr) << " " << cls_rect_text(p.rect) << " "
        << cls_point_text(p.term_point) << "\n";
    }
  s << "  labels " << cls_rect_text(c.get_label_box(StartOrEnd::start)) << " "
    << cls_rect_text(c.get_label_box(StartOrEnd::end)) << "\n";
  return s.str();
}

// Everything of a class workspace that undo and redo must give back.
struct ClsWsShotForTest {
  std::string document;
  std::string terminals;
  RouteGraphShotForTest graph;
  std::string connectors;
  std::string grid;
  std::string boxes;

  bool operator==(const ClsWsShotForTest&) const = default;
};

inline ClsWsShotForTest cls_ws_shot(ClsWorkspace& ws)
{
  ClsWsShotForTest shot;
  shot.document = document_of(ws);
  for (const CellPos& p : ws.get_terminals())
    shot.terminals += p.to_string() + " ";
  shot.graph = route_graph_shot(*ws.get_router());
  for (const auto& c : *ws.get_connectors())
    shot.connectors += cls_connector_text(*c, ws);
  std::ostringstream g;
  g.precision(17);
  // The far edges of the first lines (a line listed at the minimum size
  // and one never listed look the same).
  for (const auto* list : {ws.grid->h.get(), ws.grid->v.get()}) {
    for (int32_t i = 0; i < 64; ++i)
      g << list->get(i) << " ";
    g << "| ";
  }
  shot.grid = g.str();
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const ModelElement::ElementPtr& head) {
    if (const auto k = std::dynamic_pointer_cast<ClsClassElement>(head))
      shot.boxes += CellPos{x, y}.to_string() + cls_rect_text(k->get_rect()) + " ";
    return true;
  });
  return shot;
}

// Where two shots differ, for failure messages.
inline std::string cls_ws_shot_diff(const ClsWsShotForTest& got, const ClsWsShotForTest& want)
{
  std::string out;
  const auto part = [&out](const char* name, const std::string& a, const std::string& b) {
    if (a != b)
      out += std::string(name) + ":\n got:\n" + a + "\n want:\n" + b + "\n";
  };
  part("document", got.document, want.document);
  part("terminals", got.terminals, want.terminals);
  part("graph", route_graph_diff(got.graph, want.graph), "");
  part("connectors", got.connectors, want.connectors);
  part("grid", got.grid, want.grid);
  part("boxes", got.boxes, want.boxes);
  return out;
}

#define EXPECT_CLS_SHOT_EQ(got, want) EXPECT_TRUE((got) == (want)) << ::velkaro::test::cls_ws_shot_diff((got), (want))

// Twice over, undoing d gives exactly the state before and redoing it the
// one after.
inline void expect_cls_undo_redo(ClsWorkspace& ws, const ModelWorkspaceDiff& d,
                                 const ClsWsShotForTest& before, const ClsWsShotForTest& after)
{
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ws.patch(*d.reverse());
    EXPECT_CLS_SHOT_EQ(cls_ws_shot(ws), before);
    ws.patch(d);
    EXPECT_CLS_SHOT_EQ(cls_ws_shot(ws), after);
  }
}

// The route graph built afresh from the workspace's registrations (and the
// floating connector's extra one) equals the workspace's.
inline std::string cls_router_vs_fresh(const ClsWorkspace& ws)
{
  ClsRouter fresh;
  for (const CellPos& p : ws.get_terminals())
    fresh.add_terminatable_node(p);
  if (ws.get_floating_connector())
    fresh.add_terminatable_node(ws.get_floating_end());
  return route_graph_diff(route_graph_shot(*ws.get_router()), route_graph_shot(fresh));
}

inline bool cls_finite(const Point& p)
{
  return std::isfinite(p.get_x()) && std::isfinite(p.get_y());
}

inline bool cls_finite(const Rectangle& r)
{
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

// Problems of one connector's route: segments that do not join its ends or
// each other, interior cells in avoid, coordinates that are not finite.
template <class AvoidFn>
std::string cls_route_problems(const ClsAbstractConnectorElement& c, AvoidFn&& avoid)
{
  std::string out;
  const auto& segs = c.get_segments();
  const std::string name = std::string(c.get_serializing_type_name()) + " " + c.start.to_string() +
                           "-" + c.end.to_string() + ": ";
  if (!segs.empty()) {
    if (!(segs.front()->start == c.start) || !(segs.back()->end == c.end))
      out += name + "the segments do not join the ends\n";
    for (size_t i = 0; i + 1 < segs.size(); ++i)
      if (!(segs[i]->end == segs[i + 1]->start) || !(segs[i]->end_point == segs[i + 1]->start_point))
        out += name + "segments " + std::to_string(i) + " and " + std::to_string(i + 1) +
               " do not join\n";
    for (size_t i = 0; i < segs.size(); ++i) {
      const ClsSegment& s = *segs[i];
      if (s.start.x != s.end.x && s.start.y != s.end.y)
        out += name + "a segment is not straight\n";
      // Every cell of the run but the connector's two ends.
      CellPos p = s.start;
      while (true) {
        const bool is_end = (i == 0 && p == s.start) || (i + 1 == segs.size() && p == s.end);
        if (!is_end && avoid(p))
          out += name + "runs through " + p.to_string() + "\n";
        if (p == s.end)
          break;
        p.x += (s.end.x > p.x) - (s.end.x < p.x);
        p.y += (s.end.y > p.y) - (s.end.y < p.y);
      }
      if (!cls_finite(s.start_point) || !cls_finite(s.end_point))
        out += name + "a point is not finite\n";
    }
  }
  for (const auto* t : {c.start_term.get(), c.end_term.get()})
    if (t && (!cls_finite(t->get_placement().rect) || !cls_finite(t->get_term_point())))
      out += name + "a term is not finite\n";
  if (!cls_finite(c.get_label_box(StartOrEnd::start)) || !cls_finite(c.get_label_box(StartOrEnd::end)))
    out += name + "a label is not finite\n";
  return out;
}

// The groups of segments whose members all keep the one layout that placed
// them last (ClsSegment::last_layout), each laid out or renewed, and would
// be laid out in its order with its e1 and e2, yet move when laid out
// again: one line per segment that moved. "" when there is none. Lays
// those groups out again, then gives their members back their flags and
// their last layout.
inline std::string cls_layouts_out_of_date(ClsWorkspace& ws)
{
  std::string out;
  const auto& layouter = ws.get_layouter();
  std::set<const ClsSegment*> seen;
  for (const auto& s : layouter->get_segments()) {
    if (seen.count(s.get()))
      continue;
    const auto group = ClsRelatedSegments::create(layouter->segments_on_line_of(*s), s, ws.grid);
    for (const auto& m : group->get_segments())
      seen.insert(m.get());
    auto sorted = group->get_segments();
    ClsSegment::sort(sorted);
    const ClsGroupLayout* last = sorted.front()->last_layout.get();
    bool kept = last && last->e1 == group->get_e1().get() && last->e2 == group->get_e2().get() &&
                last->order.size() == sorted.size();
    for (size_t i = 0; kept && i < sorted.size(); ++i)
      kept = last->order[i] == sorted[i].get() && sorted[i]->last_layout.get() == last &&
             (sorted[i]->is_laid_out || sorted[i]->renewed);
    if (!kept)
      continue;
    struct Before {
      Point start;
      Point end;
      bool laid_out;
      bool renewed;
      std::shared_ptr<const ClsGroupLayout> layout;
    };
    std::vector<Before> before;
    for (const auto& m : sorted)
      before.push_back({m->start_point, m->end_point, m->is_laid_out, m->renewed, m->last_layout});
    group->layout();
    for (size_t i = 0; i < sorted.size(); ++i) {
      ClsSegment& m = *sorted[i];
      if (!(m.start_point == before[i].start) || !(m.end_point == before[i].end))
        out += "moved " + m.start.to_string() + "-" + m.end.to_string() + " " + cls_point_text(before[i].start) +
               "-" + cls_point_text(before[i].end) + " -> " + cls_point_text(m.start_point) + "-" +
               cls_point_text(m.end_point) + "\n";
      m.is_laid_out = before[i].laid_out;
      m.renewed = before[i].renewed;
      m.last_layout = before[i].layout;
    }
  }
  return out;
}

// The cells holding a class.
inline std::vector<CellPos> cls_class_cells(ClsWorkspace& ws)
{
  std::vector<CellPos> cells;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const ModelElement::ElementPtr& head) {
    if (std::dynamic_pointer_cast<ClsClassElement>(head))
      cells.push_back({x, y});
    return true;
  });
  return cells;
}

// A class at (x, y) named name.
inline std::shared_ptr<ClsClassElement> cls_put_class(ClsWorkspace& ws, int32_t x, int32_t y,
                                                      const std::string& name = "")
{
  auto k = ClsClassElement::create();
  if (!name.empty())
    k->name_elem->set_text(name);
  EXPECT_TRUE(ws.add_class({x, y}, k));
  return k;
}

// A fixed connector of type from a to b, drawn as the connect mode draws it.
inline std::shared_ptr<ClsAbstractConnectorElement> cls_draw(ClsWorkspace& ws, const std::string& type,
                                                             CellPos a, CellPos b)
{
  EXPECT_TRUE(ws.new_floating_connector(a, type));
  EXPECT_TRUE(ws.update_floating_connector(b));
  const auto con = ws.get_floating_connector();
  EXPECT_TRUE(ws.fix_floating_connector());
  return con;
}

// The cells of a connector's route, start first.
inline std::vector<CellPos> cls_route_cells(const ClsAbstractConnectorElement& c)
{
  std::vector<CellPos> cells;
  for (const auto& s : c.get_segments()) {
    CellPos p = s->start;
    if (cells.empty())
      cells.push_back(p);
    while (!(p == s->end)) {
      p.x += (s->end.x > p.x) - (s->end.x < p.x);
      p.y += (s->end.y > p.y) - (s->end.y < p.y);
      cells.push_back(p);
    }
  }
  return cells;
}

} // namespace velkaro::test
