#include "cls_document_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/workspace.h"
#include "cls/route/related_segments.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "common/text_join.h"
#include "document_check.h"
#include "model/element_cells.h"

namespace velkaro::fuzz {

namespace {

using Connector = ClsAbstractConnectorElement;

// Two classes joined by an aggregation and a free text, open when the
// input is read.
constexpr std::string_view CLS_OPEN_DOCUMENT = R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="1" v="1"><class><name>Open</name></class></cell>
  <cell h="6" v="3"><class/></cell>
  <cell h="3" v="6"><text>note</text></cell>
 </element_cells>
 <connector_set>
  <connector type="aggregation"><start h="1" v="1" multiplicity="1"/><end h="6" v="3"/></connector>
 </connector_set>
</workspace>
)";

std::shared_ptr<ModelWorkspace> make_cls_workspace()
{
  return ModelWorkspace::create<ClsWorkspace>();
}

std::ostream& operator<<(std::ostream& s, const Point& p)
{
  return s << "(" << p.get_x() << ", " << p.get_y() << ")";
}

std::ostream& operator<<(std::ostream& s, const Rectangle& r)
{
  return s << "[" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "]";
}

// One node of the route graph: its cell, references, terminal flag and
// the cells of its links.
struct GraphNode {
  CellPos at;
  int32_t references = 0;
  bool is_terminal = false;
  std::array<CellPos, 4> links{};

  bool operator==(const GraphNode&) const = default;
};

// Every node, in map order. A graph grows with the square of its terminals,
// so graphs are compared as values, never as text.
std::vector<GraphNode> graph_nodes(const ClsRouter& router)
{
  std::vector<GraphNode> nodes;
  router.foreach([&nodes](int32_t x, int32_t y, const ClsRouter::Value& node) {
    GraphNode n{{x, y}, node->references, node->is_terminal, {}};
    for (size_t d = 0; d < 4; ++d)
      n.links[d] = node->links[d] ? node->links[d]->pos : CellPos{-1, -1};
    nodes.push_back(n);
    return true;
  });
  return nodes;
}

std::string node_text(const GraphNode& n)
{
  std::string s = text_join({n.at.to_string(), " refs ", std::to_string(n.references), n.is_terminal ? " terminal" : ""});
  for (const CellPos& link : n.links)
    s += text_join({" ", link.to_string()});
  return s;
}

// "" when the graphs are equal; else the first node that differs.
std::string graph_difference(const std::vector<GraphNode>& got, const std::vector<GraphNode>& want)
{
  const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
  if (g == got.end() && w == want.end())
    return "";
  return "the node " + (g == got.end() ? std::string("(none)") : node_text(*g)) + " where " +
         (w == want.end() ? std::string("(none)") : node_text(*w)) + " was";
}

// The graph in a line: its size and a hash of every node.
std::string graph_summary(const std::vector<GraphNode>& nodes)
{
  uint64_t hash = 1469598103934665603ull;
  const auto mix = [&hash](int64_t v) { hash = (hash ^ static_cast<uint64_t>(v)) * 1099511628211ull; };
  for (const GraphNode& n : nodes) {
    for (const CellPos& p : {n.at, n.links[0], n.links[1], n.links[2], n.links[3]}) {
      mix(p.x);
      mix(p.y);
    }
    mix(n.references);
    mix(n.is_terminal);
  }
  return "graph of " + std::to_string(nodes.size()) + " nodes, hash " + std::to_string(hash) + "\n";
}

std::string connector_name(const Connector& c)
{
  return std::string("the ") + c.get_serializing_type_name() + " " + c.start.to_string() + "-" +
         c.end.to_string();
}

// One connector: cells, where its linked elements stand, each segment's
// cells, points and flag, its terms and its labels.
void write_connector(std::ostream& s, const Connector& c, const ClsWorkspace& ws)
{
  const auto anchor = [&ws](const ModelElement::ElementPtr& e) {
    return e ? ws.anchor_of(e).to_string() : std::string("none");
  };
  s << connector_name(c) << " links " << anchor(c.start_elem) << " " << anchor(c.end_elem) << "\n";
  for (const auto& seg : c.get_segments())
    s << " seg " << seg->start.to_string() << "-" << seg->end.to_string() << " " << seg->start_point << "-"
      << seg->end_point << (seg->is_laid_out ? "" : " loose") << "\n";
  for (const auto* t : {c.start_term.get(), c.end_term.get()})
    if (t) {
      const auto p = t->get_placement();
      s << " term " << moving_dir_to_string(p.udlr) << " " << p.rect << " " << p.term_point << "\n";
    }
  s << " labels " << c.get_label_box(StartOrEnd::start) << " " << c.get_label_box(StartOrEnd::end) << "\n";
}

// Every connector, the floating one last.
std::string connectors_text(const ClsWorkspace& ws)
{
  std::ostringstream s;
  s.precision(17);
  for (const auto& c : *ws.get_connectors())
    write_connector(s, *c, ws);
  if (ws.get_floating_connector())
    s << "floating " << connector_name(*ws.get_floating_connector()) << "\n";
  return s.str();
}

std::string cls_state(ModelWorkspace& base)
{
  const auto& ws = dynamic_cast<const ClsWorkspace&>(base);
  std::string s = "terminals";
  for (const CellPos& p : ws.get_terminals())
    s += text_join({" ", p.to_string()});
  return s + "\n" + graph_summary(graph_nodes(*ws.get_router())) + connectors_text(ws);
}

// "" when exactly the occupied cells are registered, each once, and the
// route graph is the one they build afresh.
std::string terminals_problem(ClsWorkspace& ws)
{
  std::string problem;
  ClsRouter fresh;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const ModelElement::ElementPtr&) {
    const CellPos at{x, y};
    if (!ws.get_terminals().count(at) || ws.get_router()->get_term_count(at) != 1)
      problem = "the occupied cell " + at.to_string() + " is not registered once";
    fresh.add_terminatable_node(at);
    return problem.empty();
  });
  if (!problem.empty())
    return problem;
  for (const CellPos& p : ws.get_terminals())
    if (!ws.elm_at(p))
      return "the empty cell " + p.to_string() + " is a terminal";
  if (std::string diff = graph_difference(graph_nodes(*ws.get_router()), graph_nodes(fresh)); !diff.empty())
    return "the route graph is not the one the terminals build: " + diff;
  return "";
}

// "" when the cells of one segment between its ends (the connector's own
// two ends aside) are no terminals.
std::string run_problem(const ClsWorkspace& ws, const Connector& c, const ClsSegment& seg)
{
  if (seg.start.x != seg.end.x && seg.start.y != seg.end.y)
    return connector_name(c) + " has a segment that is not straight";
  for (CellPos p = seg.start;; ) {
    if (p != c.start && p != c.end && ws.get_terminals().count(p))
      return connector_name(c) + " runs through the terminal " + p.to_string();
    if (p == seg.end)
      return "";
    p.x += (seg.end.x > p.x) - (seg.end.x < p.x);
    p.y += (seg.end.y > p.y) - (seg.end.y < p.y);
  }
}

// "" when c links the heads at its cells and its route is sound.
std::string connector_problem(ClsWorkspace& ws, const Connector& c)
{
  const auto& cells = *ws.get_cells();
  if (c.start_elem != cells.get(c.start.x, c.start.y) || c.end_elem != cells.get(c.end.x, c.end.y))
    return connector_name(c) + " does not link the elements at its cells";
  const auto& segs = c.get_segments();
  if (segs.empty())
    return "";
  if (!c.start.get_is_valid() || !c.end.get_is_valid() || c.start == c.end)
    return connector_name(c) + " has a route without two cells of the grid to join";
  if (segs.front()->start != c.start || segs.back()->end != c.end)
    return connector_name(c) + " has a route that does not join its ends";
  if (segs.front()->start_elem != c.start_elem || segs.back()->end_elem != c.end_elem)
    return connector_name(c) + " hands its route other elements";
  for (size_t i = 0; i < segs.size(); ++i) {
    const ClsSegment& seg = *segs[i];
    if (seg.connector.lock().get() != &c)
      return connector_name(c) + " has a segment that names another connector";
    if (!seg.is_laid_out)
      return connector_name(c) + " has a segment not laid out";
    if (!finite(seg.start_point) || !finite(seg.end_point))
      return connector_name(c) + " has a point that is not finite";
    if (std::string problem = run_problem(ws, c, seg); !problem.empty())
      return problem;
    if (i + 1 < segs.size() &&
        (seg.end != segs[i + 1]->start || seg.end_point != segs[i + 1]->start_point ||
         seg.next.lock() != segs[i + 1] || segs[i + 1]->prev.lock() != segs[i]))
      return connector_name(c) + " has segments " + std::to_string(i) + " and " + std::to_string(i + 1) +
             " that do not join";
  }
  return "";
}

// "" when every term and label of c is finite.
std::string finite_problem(const Connector& c)
{
  for (const auto* t : {c.start_term.get(), c.end_term.get()})
    if (t && (!finite(t->get_placement().rect) || !finite(t->get_term_point())))
      return connector_name(c) + " has a term that is not finite";
  if (!finite(c.get_label_box(StartOrEnd::start)) || !finite(c.get_label_box(StartOrEnd::end)))
    return connector_name(c) + " has a label that is not finite";
  return "";
}

// "" when laying out the group of every segment in turn and then every
// connector's labels leaves everything as the read left it.
std::string spread_problem(ClsWorkspace& ws)
{
  const std::string read = connectors_text(ws);
  const auto order = ws.get_layouter()->get_segments();
  for (const auto& s : order)
    ClsRelatedSegments::create(order, s, ws.grid)->layout();
  for (const auto& c : *ws.get_connectors())
    c->layout({});
  if (const std::string spread = connectors_text(ws); spread != read)
    return "laying every group out again moves something: " + first_difference(spread, read);
  return "";
}

std::string cls_rules(ModelWorkspace& base)
{
  auto& ws = dynamic_cast<ClsWorkspace&>(base);
  if (std::string problem = terminals_problem(ws); !problem.empty())
    return problem;
  if (ws.get_floating_connector())
    return "a document just read has a floating connector";
  std::vector<ClsSegment::SegmentPtr> segments;
  for (const auto& c : *ws.get_connectors()) {
    if (std::string problem = connector_problem(ws, *c); !problem.empty())
      return problem;
    if (std::string problem = finite_problem(*c); !problem.empty())
      return problem;
    segments.insert(segments.end(), c->get_segments().begin(), c->get_segments().end());
  }
  if (ws.get_layouter()->get_segments() != segments)
    return "the layouter does not hold the segments of the connectors in their order";
  return spread_problem(ws);
}

} // namespace

std::string check_cls_document(std::string_view bytes)
{
  static const DocumentCheckKind cls{&make_cls_workspace, CLS_OPEN_DOCUMENT, &cls_rules, &cls_state};
  return check_document(bytes, cls);
}

} // namespace velkaro::fuzz
