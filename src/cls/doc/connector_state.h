#pragma once
// ClsConnectorState: everything about a connector that routing and layout
// change, as it stands at one moment: its end cells and linked elements,
// its segment objects with their points and laid-out flags, where its terms
// and labels were laid out. Undo keeps the states a connector had before
// and after an action and puts them back, so that an undone or redone
// action leaves every route, segment position, term and label as they
// were, whatever the routing in between did.
//
// A state holds the segment objects (old segments stay alive with it), the
// layouts that placed them and the linked elements; it reads the terms and
// labels by value.

#include <optional>
#include <vector>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/abstract_connector_term.h"
#include "cls/route/segment.h"
#include "common/cell_pos.h"
#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {

struct ClsConnectorState {
  struct SegmentPlace {
    Point start_point;
    Point end_point;
    bool is_laid_out = false;
    // The layout that put the points there (ClsSegment::last_layout).
    std::shared_ptr<const ClsGroupLayout> layout;

    bool operator==(const SegmentPlace&) const = default;
  };

  CellPos start;
  CellPos end;
  ModelElement::ElementPtr start_elem;
  ModelElement::ElementPtr end_elem;
  ClsAbstractConnectorElement::Segments segments;
  std::vector<SegmentPlace> places;
  std::optional<ClsAbstractConnectorTerm::Placement> start_term;
  std::optional<ClsAbstractConnectorTerm::Placement> end_term;
  Rectangle start_label_box;
  Rectangle end_label_box;
  // The route last searched for the connector: put back with the rest, so
  // that a search the graph would answer the same after an undo is not run
  // again. Not compared: any route the router still finds stands for a
  // search.
  std::shared_ptr<const ClsRoute> searched_route;

  // The state con is in now.
  static ClsConnectorState of(const ClsAbstractConnectorElement& con);
  // Puts con into this state.
  void apply_to(ClsAbstractConnectorElement& con) const;

  bool operator==(const ClsConnectorState& other) const;
};

} // namespace velkaro
