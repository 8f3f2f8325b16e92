#pragma once
// ClsRelatedSegments: the group of parallel segments that share one line of
// cells (a column for vertical segments, a row for horizontal ones): every
// segment of a set that lies on the target's line and whose span without
// the cells of its linked elements overlaps the group's, directly or
// through other members. Two segments that meet only in the cell of an
// element (one leaving it upwards, the other downwards) are not grouped.
//
// Laying the group out sorts the members across the line, ties them with
// springs to each other and to fixed nodes at the edges of the line and of
// the first near-origin (e1) and far-origin (e2) elements met, spreads them
// evenly, relaxes the springs one member after the other for at most
// MAX_ITERATIONS sweeps (stopping when the signed sum of a sweep's energies
// is below STOP_ENERGY in absolute value), then puts the ends of routes on
// the edges of their elements and pulls them back for their end terms.
// Positions are pixels across the axis in the frame of the shared line (0 at
// its low edge); element edges come from the elements' rectangles, in the
// same cell-relative frame.
//
// Cost: growing a group walks only the segments of its line, and a member's
// scan for springs stops once the members met shadow its whole range. A
// member without springs has energy 0, so no position ever becomes NaN.
// ClsSegmentLayouter lays out only the groups with a member not laid out,
// so laying out twice moves nothing.
//
// A group lives for one layout or one query. Building it drops the springs
// of every member; laying it out builds new ones, which stay on the members
// (and keep the group's fixed nodes alive) until they join another group.
// The group holds its members, the grid and the elements e1 and e2 for its
// short life; nothing holds the group.

#include <cstdint>
#include <memory>
#include <vector>

#include "common/cell_range_index.h"
#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsFixedLayoutableNode;
class ClsSegment;
class ModelElement;
class ModelGrid;

class ClsRelatedSegments {
public:
  using SegmentPtr = std::shared_ptr<ClsSegment>;
  using ElementPtr = std::shared_ptr<ModelElement>;
  using NodePtr = std::shared_ptr<ClsFixedLayoutableNode>;

  static constexpr int MAX_ITERATIONS = 20;
  static constexpr double STOP_ENERGY = 5.0;
  static constexpr double VELOCITY_FACTOR = 0.3;

  // The group of target grown over seg_set (in its order; target need not
  // belong to it).
  static std::shared_ptr<ClsRelatedSegments> create(const std::vector<SegmentPtr>& seg_set,
                                                    const SegmentPtr& target,
                                                    const std::shared_ptr<ModelGrid>& grid);
  // The same over the segments seg_set points to (a set's own, not copied).
  static std::shared_ptr<ClsRelatedSegments> create_over(const std::vector<const SegmentPtr*>& seg_set,
                                                         const SegmentPtr& target,
                                                         const std::shared_ptr<ModelGrid>& grid);
  ClsRelatedSegments(const SegmentPtr& target, const std::shared_ptr<ModelGrid>& grid);
  ClsRelatedSegments(const ClsRelatedSegments&) = delete;
  ClsRelatedSegments& operator=(const ClsRelatedSegments&) = delete;

  // The members: in the order they joined, sorted by layout().
  const std::vector<SegmentPtr>& get_segments() const { return m_segments; }

  // Sorts (ClsSegment::sort), then link(), ready_to_sim(), sim(),
  // adjust_start_and_end_pos(); each member keeps what the layout was made
  // of (ClsSegment::last_layout).
  void layout();
  // layout(), unless every member is laid out or renewed
  // (ClsSegment::renewed) and what the layout would be made of (the
  // members in sorted order, e1, e2) is what their last layout, shared by
  // them all, was made of: laying out again would put every point where it
  // is, as long as nothing else the layout reads changed since without
  // clearing a member's laid-out flag (the edits of the class workspace
  // clear the flags of what crosses the lines and cells they resize). Then
  // the members are marked laid out, as the layout marks them. True when it
  // laid out.
  bool layout_if_changed();
  // Builds the springs of the sorted members and the span of the spread.
  void link();
  // Spreads the members evenly over the span, velocity 0, then clamps each.
  void ready_to_sim();
  // The spring relaxation: each member moves by VELOCITY_FACTOR times its
  // energy from the positions its neighbours have now, then is clamped.
  void sim();
  // Ends of routes onto element edges (or the middle of their cells), terms
  // laid out there, then the setbacks applied.
  void adjust_start_and_end_pos();

  // p onto the edge of rect that faces d.
  static void adjust_pos_linked_rect(Point& p, const Rectangle& rect, MovingDir d);
  // p's coordinate along the group's axis to the middle of rect's size.
  void adjust_pos_center_rect(Point& p, const Rectangle& rect) const;
  // p moved by setback pixels in d.
  static void adjust_pos_setback(Point& p, int32_t setback, MovingDir d);
  // Notes e1, e2 and their counts for a new member.
  void count_e1_and_e2(const ClsSegment& seg);

  // The fixed nodes, made on first request: the low and high edges of the
  // line, of e1 and of e2 (an element's two together).
  const NodePtr& get_node_g_l();
  const NodePtr& get_node_g_r();
  const NodePtr& get_node_e1_l();
  const NodePtr& get_node_e1_r();
  const NodePtr& get_node_e2_l();
  const NodePtr& get_node_e2_r();

  // Over the members, the linked element with the smallest side across.
  ElementPtr get_linked_min_side_size_elem() const;
  // Non-empty and every member laid out.
  bool get_is_laid_out() const;

  CellDir get_hv() const { return m_hv; }
  int32_t get_orth_pos() const { return m_orth_pos; }
  const ElementPtr& get_e1() const { return m_e1; }
  const ElementPtr& get_e2() const { return m_e2; }
  int32_t get_count_e1() const { return m_count_e1; }
  int32_t get_count_e2() const { return m_count_e2; }
  double get_e1_length() const { return m_e1_length; }
  double get_e2_length() const { return m_e2_length; }
  double get_spread_width() const { return m_spread_width; }
  double get_spread_origin() const { return m_spread_origin; }
  // Sweeps the last sim() ran.
  int get_sim_iterations() const { return m_sim_iterations; }

private:
  // The sorted members' layout: link() to adjust_start_and_end_pos().
  void layout_sorted();
  // The sorted members, e1 and e2 are those of their shared last layout.
  bool lays_out_as_last() const;
  // Grows the group over seg_set, pass after pass, until a pass adds nothing.
  void grow(const std::vector<const SegmentPtr*>& seg_set);
  void add_member(const SegmentPtr& seg);
  // Makes both nodes at elem's edges across the axis unless both exist.
  void update_node_lr(const ElementPtr& elem, NodePtr& l, NodePtr& r);
  // The side of an element across the axis.
  double side_of(ModelElement& elem) const;

  std::vector<SegmentPtr> m_segments;
  std::shared_ptr<ModelGrid> m_grid;
  CellDir m_hv;
  int32_t m_orth_pos;
  CellRangeIndex m_span;
  NodePtr m_node_g_l, m_node_g_r, m_node_e1_l, m_node_e1_r, m_node_e2_l, m_node_e2_r;
  ElementPtr m_e1, m_e2;
  double m_e1_length = 0.0;
  int32_t m_count_e1 = 0;
  double m_e2_length = 0.0;
  int32_t m_count_e2 = 0;
  double m_spread_width = 0.0;
  double m_spread_origin = 0.0;
  int m_sim_iterations = 0;
};

} // namespace velkaro
