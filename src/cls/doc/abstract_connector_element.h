#pragma once
// ClsAbstractConnectorElement: the base of the five connector kinds of a
// class diagram (association, dependency, aggregation, composition,
// generalization), which differ only in their XML type name and their end
// terms. A connector joins its start cell to its end cell along a route of
// segments; each end carries a multiplicity label.
//
// Connectors are not stored in cell maps: the workspace keeps them in its
// connector set, links them to the elements at their end cells (start_elem,
// end_elem), routes them and lays their segments out.
//
// A route: update_route() takes the route's two cells as start and end and
// cuts the route into segments, handing the linked elements and the terms to
// the first and last segment (a copy of the references at that moment) and
// naming itself as every segment's connector. A route of fewer than two
// cells gives no segments; the connector then keeps its labels where they
// were last placed. Positions of segment points, terms and labels are
// relative to the top-left corner of the cell they belong to.
//
// Ownership: the connector owns its terms (shared with its first and last
// segment), its two labels and its segment list; the segments own the
// elements handed to them and name the connector without owning it. A
// duplicate shares the segment objects, the linked elements and the grid,
// and has terms and labels of its own; the shared segments live as long as
// either connector holds them.
//
// Document form: "connector" with "type" (the kind's type name) and the
// children "start" and "end", each with "h" and "v" and, when the label is
// not empty, "multiplicity"; no other attribute, in files and copies alike.
// Reading takes "h" and "v" as leading decimal integers (no digits read as
// 0) and refuses, naming the line, a value outside -1..65535 (-1: an end
// nowhere) and a label larger than a text may be.

#include <memory>
#include <string>
#include <vector>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"
#include "model/element.h"

namespace velkaro {

class ClsAbstractConnectorTerm;
class ClsRoute;
class ClsSegment;
class ModelGrid;
class ModelTextElement;

class ClsAbstractConnectorElement : public ModelElement {
public:
  using SegmentPtr = std::shared_ptr<ClsSegment>;
  using Segments = std::vector<SegmentPtr>;
  using TermPtr = std::shared_ptr<ClsAbstractConnectorTerm>;
  using TextPtr = std::shared_ptr<ModelTextElement>;
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;

  // The five type names, in the order of the kinds above.
  static const std::vector<std::string>& type_names();
  // A new connector of the kind the type name names, without a grid; null
  // for any other name.
  static ConnectorPtr make(const std::string& type_name);

  // --- Fields.

  CellPos start{-1, -1};
  CellPos end{-1, -1};
  ElementPtr start_elem;
  ElementPtr end_elem;
  TermPtr start_term;
  TermPtr end_term;
  TextPtr start_multiplicity;
  TextPtr end_multiplicity;
  // The route the workspace last searched for the connector's two cells:
  // the router hands it back while a search would find it again
  // (ClsRouter::shortest_route()). Not copied by dup(); null when none.
  std::shared_ptr<const ClsRoute> searched_route;

  // The kind's XML type name.
  virtual const char* get_serializing_type_name() const = 0;

  // --- Grid (kept for the workspace; nothing here uses it).

  const std::shared_ptr<ModelGrid>& get_grid() const { return m_grid; }
  // Replaces the grid and notifies "grid".
  void set_grid(const std::shared_ptr<ModelGrid>& grid);

  // --- Route and segments.

  // start := the route's start, end := its goal, the segments cut from its
  // cells, the ends and terms handed to the first and last segment.
  void update_route(const ClsRoute& route);
  const Segments& get_segments() const { return m_segments; }
  // update_route(route) would give segments like the present ones: the same
  // cells, ends, linked elements and terms, each naming this connector.
  bool holds_route(const ClsRoute& route) const;
  // Marks the segments as standing for the new ones update_route() would
  // give them when holds_route(): not laid out, and renewed (see
  // ClsSegment::renewed).
  void renew_route();
  // Takes segments as the segment list as they stand (an earlier list of
  // this connector, put back by undo).
  void restore_segments(const Segments& segments) { m_segments = segments; }
  // Every segment is laid out (true without segments).
  bool get_is_laid_out() const;
  // Sets every segment's flag; notifies "is-laid-out".
  void set_is_laid_out(bool value);

  // --- Ends.

  // Whether pos is the start (se := start) or else the end (se := end);
  // false with se := start when it is neither.
  bool get_start_or_end_at(const CellPos& pos, StartOrEnd* se = nullptr) const;
  // The direction the connector leaves its element at that end: the first
  // segment's direction at the start, the opposite of the last segment's
  // at the end. Up, with a warning, without segments.
  MovingDir get_udlr_from_term(StartOrEnd se) const;
  // The layout position of the first (start) or last (end) segment; 0.0,
  // with a warning, without segments.
  double get_pos_at_term(StartOrEnd se) const;

  // --- Labels.

  // The top-left corner of a label w by h whose end is at anchor, the
  // segment there running d (from its start cell to its end cell).
  static Point label_corner(StartOrEnd se, const Point& anchor, MovingDir d, double w, double h);
  // The box the label of that end was last laid out in.
  const Rectangle& get_label_box(StartOrEnd se) const;
  // Lays the label of that end out in box and keeps the box.
  void place_label(StartOrEnd se, const Rectangle& box);

  // --- Element operations.

  // Places both labels beside the ends of the route (box is not used);
  // nothing without segments.
  void layout(const Rectangle& box) override;
  Rectangle get_rect() override { return m_rect; }
  bool write(SerializingWriter& writer) override;
  // Reads the next "connector" element from the reader's node on. False
  // when the reader failed.
  bool read(SerializingReader& reader) override;
  // A new connector of the same kind: the same cells, linked elements,
  // grid and segment objects; copies of the terms and labels.
  ElementPtr dup() const override;

protected:
  // Makes the two empty labels; each kind then sets its terms.
  ClsAbstractConnectorElement();

private:
  // Reads "h", "v" and "multiplicity" of the "start" or "end" element the
  // reader stands on into pos and label; false when refused.
  static bool read_term(SerializingReader& reader, CellPos& pos, ModelTextElement& label);
  void write_term(SerializingWriter& writer, const char* name, const CellPos& pos,
                  ModelTextElement& label) const;

  Rectangle m_rect;
  std::shared_ptr<ModelGrid> m_grid;
  Segments m_segments;
  Rectangle m_start_label_box;
  Rectangle m_end_label_box;
};

} // namespace velkaro
