#pragma once
// ClsSegment: one straight, axis-parallel run of a routed connector, from a
// start cell to an end cell that share a column (a vertical segment; also a
// segment whose two cells coincide) or a row (a horizontal one).
//
// Geometry: each end has a pixel point relative to the top-left corner of
// its own cell. The segment is a layout node whose position is its pixel
// offset across its axis from the low edge of its line of cells (the x of
// the start point of a vertical segment, the y of a horizontal one); setting
// it moves both its points and the joint points of its route neighbours, so
// the route stays connected and orthogonal, and marks the segment laid out.
//
// Chain: prev and next are the route neighbours (prev's end cell is this
// segment's start cell); the first and last segments of a route carry the
// element the connector is attached to there and the end term drawn there,
// and every segment names the connector that owns the route.
//
// Ownership: whoever holds the route's segment list owns the segments; prev,
// next and the connector are not owned (a neighbour that is gone reads as
// none). The segment owns its linked elements, shares its terms with its
// connector, and holds its springs; a spring does not own the segments it
// joins (ClsSpringEdge), so segments and springs never keep each other
// alive. The shape (get_form()) is computed once, on first request: the
// neighbours of a segment never change after its route was cut.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cls/route/abstract_layoutable_node.h"
#include "cls/route/link_dir.h"
#include "cls/route/segment_form.h"
#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/cell_range_index.h"
#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsIConnectorTerm;
class ClsSegment;
class ClsSpringEdge;
class ModelElement;
class ModelGrid;

// What one layout of a group of segments (ClsRelatedSegments) was made of:
// the members in the order the layout spread them and the group's first
// near-origin and far-origin elements. A layout is a function of these, of
// the members' cells, linked elements and terms, and of the rectangles of
// the elements and the sizes of the lines it reads; the pointers only
// identify (a member holds its linked elements, so they stay the same
// objects).
struct ClsGroupLayout {
  std::vector<const ClsSegment*> order;
  const ModelElement* e1 = nullptr;
  const ModelElement* e2 = nullptr;
};

class ClsSegment : public ClsAbstractLayoutableNode {
public:
  using SegmentPtr = std::shared_ptr<ClsSegment>;
  using ElementPtr = std::shared_ptr<ModelElement>;
  using SpringPtr = std::shared_ptr<ClsSpringEdge>;
  using SpringFunc = std::function<bool(ClsLinkDir dir, const SpringPtr& spring)>;
  using ElementFunc = std::function<bool(const ElementPtr& elem)>;

  // The lower clamping bound: the smallest positive normal double, so a
  // segment without a low-side spring stays at or above it.
  static constexpr double CLAMP_LOW = 2.2250738585072014e-308;
  static constexpr double CLAMP_HIGH = 1.7976931348623157e308;

  // A segment from start to end naming its neighbours (either may be null),
  // with both points at (0, 0), not laid out, shape undetermined, no springs.
  static SegmentPtr create(const CellPos& start, const CellPos& end, const SegmentPtr& prev,
                           const SegmentPtr& next);
  ClsSegment(const CellPos& start, const CellPos& end);

  // --- Fields.

  CellPos start;
  CellPos end;
  Point start_point;
  Point end_point;
  std::weak_ptr<ClsSegment> prev;
  std::weak_ptr<ClsSegment> next;
  ElementPtr start_elem;
  ElementPtr end_elem;
  std::shared_ptr<ClsIConnectorTerm> start_term;
  std::shared_ptr<ClsIConnectorTerm> end_term;
  std::weak_ptr<ModelElement> connector;
  // Set by every position assignment; cleared to ask for a new layout.
  bool is_laid_out = false;
  // Stands, not laid out, for the new segment a route search would make
  // again with the same cells (ClsAbstractConnectorElement::renew_route()):
  // its group needs laying out only when the group itself changed
  // (ClsRelatedSegments::layout_if_changed()). Cleared with is_laid_out by
  // whatever asks for a layout because something the layout reads changed.
  bool renewed = false;
  // The layout of the group that placed the segment last, shared by its
  // members; null when anything else set its points since (undo puts
  // points back).
  std::shared_ptr<const ClsGroupLayout> last_layout;

  // --- The layout node.

  bool get_holds_springs() const override { return true; }
  double get_pos() const override;
  // Writes the coordinate across the axis of the four points (its own two,
  // prev's end point, next's start point), marks the segment laid out and
  // notifies "pos".
  void set_pos(double pos) override;
  // (sum of the energies of the low-side springs - sum of the high-side
  // ones) / number of springs; 0 without springs.
  double get_energy() const override;

  // --- Axis, direction and ranges.

  // v when start and end share x, else h.
  CellDir get_hv() const;
  // From start to end: vertically down when the end lies lower, else up;
  // horizontally right when the end lies further right, else left.
  MovingDir get_udlr() const;
  // The along coordinates of start and end, smaller first.
  CellRangeIndex get_range() const;
  // The range without the cells of the linked elements: the start moves one
  // cell towards the end when start_elem is set, the end one cell towards
  // the start when end_elem is set, then the bounds are put in order (a
  // two-cell segment attached at both ends thus gives its full range).
  CellRangeIndex get_range_without_elem() const;
  // Number of cells.
  int32_t get_size() const;
  // The coordinate across the axis that every cell of the segment shares.
  int32_t get_cell_pos_orth() const;
  bool is_pos_collinear(const CellPos& pos) const;
  // The range's interval across the axis contains the segment's line.
  bool is_range_collinear(const CellRange& range) const;
  // Same axis, same line.
  bool is_seg_collinear(const ClsSegment& seg) const;
  bool is_term_pos_eq(const CellPos& pos) const;

  // --- Neighbours and linked elements.

  // The route neighbour at the smaller (bigger) along coordinate, or null.
  SegmentPtr get_smaller_segment() const;
  SegmentPtr get_bigger_segment() const;
  // The far cell of a neighbour: the start of seg when it is prev, its end
  // when it is next, else (-1, -1).
  CellPos get_further_pos(const ClsSegment* seg) const;
  // elem is the start or the end element (identity).
  bool links_the_elem(const ModelElement& elem) const;
  bool get_links_elem() const { return start_elem || end_elem; }
  // fn for start_elem, then end_elem unless the first call returned false;
  // the last result, true when none was called.
  bool foreach_linked_elem(const ElementFunc& fn) const;
  // The along coordinate of the end is at least that of the start.
  bool get_is_start_near_to_org() const;
  ElementPtr get_linked_elem_near_to_org() const;
  ElementPtr get_linked_elem_far_from_org() const;
  // start_elem, else end_elem.
  ElementPtr get_linked_elem() const;
  // The linked element with the smaller side across the axis (the near one
  // when both sides are within 0.0001); null without linked elements.
  ElementPtr get_linked_min_side_size_elem() const;
  // The smaller extent along the axis of the linked elements; 0 without.
  double get_min_elem_size() const;

  // --- Shape and order.

  ClsSegmentForm get_form() const;
  // Whether the two forms may share springs.
  bool is_seg_linkable(const ClsSegment& seg) const;
  // The order of parallel segments: negative places a at the lower position.
  // Not a consistent order: two segments of the same form whose near (or
  // far) elements differ compare as -1 (or 1) both ways. Sort with sort().
  static int cmp(const ClsSegment& a, const ClsSegment& b);
  // A stable merge sort by cmp() that stays within the list whatever cmp()
  // answers: an element of the right run goes first only when it compares
  // below the left one.
  static void sort(std::vector<SegmentPtr>& segments);

  // The drawn line in canvas pixels: zero thick, from its smaller to its
  // larger end.
  Rectangle get_rect(const ModelGrid& grid) const;

  // --- Springs.

  // Drops both spring sets.
  void init_link_spring();
  // Adds a spring on the low (high) side; a spring already held is not
  // added again.
  void link_left_spring(const SpringPtr& spring);
  void link_right_spring(const SpringPtr& spring);
  // fn(left, s) for every low-side spring, then, unless a call returned
  // false, fn(right, s) for every high-side one; each pass stops at a false.
  // False when a low-side call returned false, else true.
  bool foreach_spring_edge(const SpringFunc& fn) const;
  int32_t get_springs_count() const;
  const std::vector<SpringPtr>& get_left_springs() const { return m_left_springs; }
  const std::vector<SpringPtr>& get_right_springs() const { return m_right_springs; }
  // Keeps the position between the nearest low-side spring neighbour (at
  // least CLAMP_LOW) and the nearest high-side one; the lower bound wins
  // when they cross. A position already within is not assigned again.
  void clamp_pos();
  // Debug lines: the segment, then one per spring with its side.
  void debug_lr_linked_spring() const;

private:
  // Side across the axis and extent along it of a linked element.
  double side_of(ModelElement& elem) const;
  double extent_of(ModelElement& elem) const;
  // -1, 0 or +1: where the far cell of a neighbour lies across the axis.
  int turn_of(const ClsSegment* neighbour) const;

  std::vector<SpringPtr> m_left_springs;
  std::vector<SpringPtr> m_right_springs;
  mutable ClsSegmentForm m_form = ClsSegmentForm::undetermined;
};

} // namespace velkaro
