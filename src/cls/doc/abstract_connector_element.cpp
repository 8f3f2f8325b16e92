#include "cls/doc/abstract_connector_element.h"

#include <glib.h>

#include "cls/doc/abstract_connector_term.h"
#include "cls/doc/aggregation_connector_element.h"
#include "cls/doc/association_connector_element.h"
#include "cls/doc/composition_connector_element.h"
#include "cls/doc/dependency_connector_element.h"
#include "cls/doc/generalization_connector_element.h"
#include "cls/route/route.h"
#include "cls/route/segment.h"
#include "common/check.h"
#include "common/text_join.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_element.h"

namespace velkaro {
namespace {

struct ConnectorKindRow {
  const char* type_name;
  ClsAbstractConnectorElement::ConnectorPtr (*make)();
};

template <class Kind>
ClsAbstractConnectorElement::ConnectorPtr make_connector_of_kind()
{
  return Kind::create();
}

constexpr ConnectorKindRow connector_kinds[] = {
    {"association", make_connector_of_kind<ClsAssociationConnectorElement>},
    {"dependency", make_connector_of_kind<ClsDependencyConnectorElement>},
    {"aggregation", make_connector_of_kind<ClsAggregationConnectorElement>},
    {"composition", make_connector_of_kind<ClsCompositionConnectorElement>},
    {"generalization", make_connector_of_kind<ClsGeneralizationConnectorElement>},
};

// A connector end lies in the grid or, at -1, nowhere on that axis.
bool connector_coordinate_ok(int32_t c)
{
  return -1 <= c && c <= CellPos::MAX;
}

} // namespace

const std::vector<std::string>& ClsAbstractConnectorElement::type_names()
{
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const ConnectorKindRow& row : connector_kinds)
      n.emplace_back(row.type_name);
    return n;
  }();
  return names;
}

ClsAbstractConnectorElement::ConnectorPtr ClsAbstractConnectorElement::make(
    const std::string& type_name)
{
  for (const ConnectorKindRow& row : connector_kinds)
    if (type_name == row.type_name)
      return row.make();
  return nullptr;
}

ClsAbstractConnectorElement::ClsAbstractConnectorElement()
    : start_multiplicity(ModelTextElement::create()), end_multiplicity(ModelTextElement::create())
{
  tag = "connector";
}

void ClsAbstractConnectorElement::set_grid(const std::shared_ptr<ModelGrid>& grid)
{
  m_grid = grid;
  signal_notify().emit("grid");
}

// --- route ---------------------------------------------------------------------

void ClsAbstractConnectorElement::update_route(const ClsRoute& route)
{
  start = route.start;
  end = route.goal;
  m_segments = route.new_segments();
  if (m_segments.empty())
    return;
  const SegmentPtr& first = m_segments.front();
  const SegmentPtr& last = m_segments.back();
  first->start_elem = start_elem;
  first->start_term = start_term;
  last->end_elem = end_elem;
  last->end_term = end_term;
  const std::weak_ptr<ModelElement> self = weak_from_this();
  for (const SegmentPtr& s : m_segments)
    s->connector = self;
}

bool ClsAbstractConnectorElement::holds_route(const ClsRoute& route) const
{
  if (!(start == route.start) || !(end == route.goal))
    return false;
  if (route.cells.size() < 2 || m_segments.empty())
    return route.cells.size() < 2 && m_segments.empty();
  const SegmentPtr& first = m_segments.front();
  const SegmentPtr& last = m_segments.back();
  if (first->start_elem != start_elem || first->start_term != start_term || last->end_elem != end_elem ||
      last->end_term != end_term)
    return false;
  // The segments' cells, walked from the start, are the route's.
  size_t k = 0;
  for (const SegmentPtr& s : m_segments) {
    if (s->connector.lock().get() != this)
      return false;
    CellPos p = s->start;
    // The first cell of a run is the last of the one before.
    if (k == 0 ? !(route.cells[k++] == p) : !(route.cells[k - 1] == p))
      return false;
    while (!(p == s->end)) {
      p.x += (s->end.x > p.x) - (s->end.x < p.x);
      p.y += (s->end.y > p.y) - (s->end.y < p.y);
      if (k >= route.cells.size() || !(route.cells[k++] == p))
        return false;
    }
  }
  return k == route.cells.size();
}

void ClsAbstractConnectorElement::renew_route()
{
  for (const SegmentPtr& s : m_segments) {
    s->is_laid_out = false;
    s->renewed = true;
  }
}

bool ClsAbstractConnectorElement::get_is_laid_out() const
{
  for (const SegmentPtr& s : m_segments)
    if (!s->is_laid_out)
      return false;
  return true;
}

void ClsAbstractConnectorElement::set_is_laid_out(bool value)
{
  for (const SegmentPtr& s : m_segments) {
    s->is_laid_out = value;
    s->renewed = false;
  }
  signal_notify().emit("is-laid-out");
}

// --- ends --------------------------------------------------------------------------

bool ClsAbstractConnectorElement::get_start_or_end_at(const CellPos& pos, StartOrEnd* se) const
{
  const bool at_start = pos == start;
  const bool at_end = !at_start && pos == end;
  if (se)
    *se = at_end ? StartOrEnd::end : StartOrEnd::start;
  return at_start || at_end;
}

MovingDir ClsAbstractConnectorElement::get_udlr_from_term(StartOrEnd se) const
{
  if (m_segments.empty() || (se != StartOrEnd::start && se != StartOrEnd::end)) {
    g_warning("element:591: The argument 'se' is invalid or the property 'segs' is empty");
    return MovingDir::up;
  }
  if (se == StartOrEnd::start)
    return m_segments.front()->get_udlr();
  return moving_dir_inv(m_segments.back()->get_udlr());
}

double ClsAbstractConnectorElement::get_pos_at_term(StartOrEnd se) const
{
  if (m_segments.empty() || (se != StartOrEnd::start && se != StartOrEnd::end)) {
    g_warning("element:612: The argument 'se' is invalid or the property 'segs' is empty");
    return 0.0;
  }
  return se == StartOrEnd::start ? m_segments.front()->get_pos() : m_segments.back()->get_pos();
}

// --- labels ----------------------------------------------------------------------

Point ClsAbstractConnectorElement::label_corner(StartOrEnd se, const Point& anchor, MovingDir d,
                                                double w, double h)
{
  const double x = anchor.get_x();
  const double y = anchor.get_y();
  // The offsets differ between the ends and the directions on purpose: each
  // keeps the label clear of the line and of the element it leaves.
  if (se == StartOrEnd::start) {
    switch (d) {
    case MovingDir::up: return {x - w - 10, y - h - 15};
    case MovingDir::down:
    case MovingDir::left: return {x - w - 10, y - h + 15};
    case MovingDir::right: return {x + 10, y - 17};
    }
  } else {
    switch (d) {
    case MovingDir::up: return {x - w - 10, y - h + 15};
    case MovingDir::down: return {x - w - 10, y - h - 15};
    case MovingDir::left: return {x + 10, y};
    case MovingDir::right: return {x - w - 15, y - h};
    }
  }
  return anchor;
}

const Rectangle& ClsAbstractConnectorElement::get_label_box(StartOrEnd se) const
{
  return se == StartOrEnd::end ? m_end_label_box : m_start_label_box;
}

void ClsAbstractConnectorElement::place_label(StartOrEnd se, const Rectangle& box)
{
  const bool at_end = se == StartOrEnd::end;
  (at_end ? m_end_label_box : m_start_label_box) = box;
  (at_end ? end_multiplicity : start_multiplicity)->layout(box);
}

void ClsAbstractConnectorElement::layout(const Rectangle& box)
{
  (void)box;
  if (m_segments.empty())
    return;
  const auto place = [this](StartOrEnd se, const Point& anchor, MovingDir d) {
    const TextPtr& label = se == StartOrEnd::end ? end_multiplicity : start_multiplicity;
    const Rectangle r = label->get_rect();
    const Point corner = label_corner(se, anchor, d, r.width, r.height);
    place_label(se, {corner.get_x(), corner.get_y(), r.width, r.height});
  };
  const ClsSegment& first = *m_segments.front();
  const ClsSegment& last = *m_segments.back();
  place(StartOrEnd::start, first.start_point, first.get_udlr());
  place(StartOrEnd::end, last.end_point, last.get_udlr());
}

// --- document form ---------------------------------------------------------------

void ClsAbstractConnectorElement::write_term(SerializingWriter& writer, const char* name,
                                             const CellPos& pos, ModelTextElement& label) const
{
  // Failures stay in the writer and show in its finish().
  writer.write_element(name, [&] {
    (void)writer.write_attribute("h", std::to_string(pos.x));
    (void)writer.write_attribute("v", std::to_string(pos.y));
    const std::string text = label.get_text();
    if (!text.empty())
      (void)writer.write_attribute("multiplicity", text);
  });
}

bool ClsAbstractConnectorElement::write(SerializingWriter& writer)
{
  writer.write_element("connector", [&] {
    (void)writer.write_attribute("type", get_serializing_type_name());
    write_term(writer, "start", start, *start_multiplicity);
    write_term(writer, "end", end, *end_multiplicity);
  });
  return true;
}

bool ClsAbstractConnectorElement::read_term(SerializingReader& reader, CellPos& pos,
                                            ModelTextElement& label)
{
  const auto h = reader.get_attribute_int_checked("h", "0");
  const auto v = h ? reader.get_attribute_int_checked("v", "0") : std::nullopt;
  if (!v)
    return false;
  if (!connector_coordinate_ok(*h) || !connector_coordinate_ok(*v)) {
    reader.fail_here(text_join({"<", reader.get_name(), "> of a connector lies at ",
                                CellPos{*h, *v}.to_string(), ", outside the grid"}));
    return false;
  }
  const std::string text = reader.get_attribute("multiplicity").value_or("");
  if (const auto why = ModelTextElement::too_large(text)) {
    reader.fail_here("a multiplicity holds " + *why);
    return false;
  }
  pos = {*h, *v};
  label.set_text(text);
  return true;
}

bool ClsAbstractConnectorElement::read(SerializingReader& reader)
{
  if (!reader.skip_to_element("connector"))
    return !reader.has_error();
  (void)reader.foreach_subtree([&] {
    if (!reader.get_is_start_element())
      return true;
    const std::string name = reader.get_name();
    if (name == "start")
      return read_term(reader, start, *start_multiplicity);
    if (name == "end")
      return read_term(reader, end, *end_multiplicity);
    return true;
  });
  return !reader.has_error();
}

ModelElement::ElementPtr ClsAbstractConnectorElement::dup() const
{
  const ElementPtr e = new_instance();
  auto* c = dynamic_cast<ClsAbstractConnectorElement*>(e.get());
  VK_CHECK_VAL(c != nullptr, e);
  c->start = start;
  c->end = end;
  c->start_elem = start_elem;
  c->end_elem = end_elem;
  c->start_term = start_term ? start_term->dup() : nullptr;
  c->end_term = end_term ? end_term->dup() : nullptr;
  c->start_multiplicity = std::static_pointer_cast<ModelTextElement>(start_multiplicity->dup());
  c->end_multiplicity = std::static_pointer_cast<ModelTextElement>(end_multiplicity->dup());
  c->m_rect = m_rect;
  c->m_grid = m_grid;
  // The same segment objects: they still name this connector, until the
  // duplicate is routed itself.
  c->m_segments = m_segments;
  c->m_start_label_box = m_start_label_box;
  c->m_end_label_box = m_end_label_box;
  return e;
}

} // namespace velkaro
