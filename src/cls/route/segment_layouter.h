#pragma once
// ClsSegmentLayouter: the set of every connector segment of a class diagram,
// with the diagram's grid. It keeps the layout of parallel segments
// incremental: edits clear the laid-out flag of the segments they may have
// disturbed, and the layouter lays out again exactly the groups
// (ClsRelatedSegments) that hold a segment whose flag is clear.
//
// The set holds each segment once (by identity) and is walked in the order
// the segments joined it (a removal moves the last segment into the gap).
// The set is not changed while it is walked: walks only read segments and
// change their flags and positions.
//
// Lines. The set also keeps its segments by the line of cells they run on
// (axis and coordinate across), in the set's order, so that a group grows
// over the segments of its own line instead of over the whole set: the
// same members in the same order, since only segments on the target's line
// can join a group. A segment is found among the segments of its line, not
// through a table of every segment. A held segment's cells must
// not change (a route's segments never do: routing again makes new ones).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/cell_pos.h"
#include "common/cell_range.h"

namespace velkaro {

class ClsRelatedSegments;
class ClsSegment;
class ModelElement;
class ModelGrid;

class ClsSegmentLayouter {
public:
  using SegmentPtr = std::shared_ptr<ClsSegment>;

  // Null (with a critical message) without a grid.
  static std::shared_ptr<ClsSegmentLayouter> create(const std::shared_ptr<ModelGrid>& grid);
  explicit ClsSegmentLayouter(const std::shared_ptr<ModelGrid>& grid);
  ClsSegmentLayouter(const ClsSegmentLayouter&) = delete;
  ClsSegmentLayouter& operator=(const ClsSegmentLayouter&) = delete;

  // --- The set.

  // False when seg is null or held already.
  bool add(const SegmentPtr& seg);
  void add_all(const std::vector<SegmentPtr>& segs);
  // False when seg was not held.
  bool remove(const SegmentPtr& seg);
  void remove_all(const std::vector<SegmentPtr>& segs);
  bool contains(const SegmentPtr& seg) const;
  size_t size() const { return m_segments.size(); }
  const std::vector<SegmentPtr>& get_segments() const { return m_segments; }
  const std::shared_ptr<ModelGrid>& get_grid() const { return m_grid; }

  // --- Layout.

  // The group of seg grown over the set (seg need not be in it).
  std::shared_ptr<ClsRelatedSegments> new_related_segments(const SegmentPtr& seg) const;
  // Builds the group of seg (which drops its members' springs) and lays it
  // out unless every member is laid out already.
  void layout(const SegmentPtr& seg);
  // Walks the set once; lays out the group of every segment not laid out
  // when it is reached (a laid-out group marks all its members).
  void layout_not_laid_out_segs();
  // Leaves every segment as laying out the group of each segment of the set
  // in turn, in the set's order, leaves it: a layout starts from the group's
  // even spread and touches only its members, so each group is laid out
  // once, from its member that comes last in the set.
  void layout_every_group();
  // Leaves every segment where layout_not_laid_out_segs() would put it if
  // every segment of the set were new (each group laid out once, from its
  // member first in the set), laying out only the groups whose layout
  // would change something (ClsRelatedSegments::layout_if_changed()).
  void layout_every_group_as_new();
  // The segments of the set on seg's line, in the set's order (seg among
  // them when held).
  std::vector<SegmentPtr> segments_on_line_of(const ClsSegment& seg) const;
  // Sets the laid-out flag of every member of seg's group.
  void set_related_seg_laid_out(const SegmentPtr& seg, bool value);
  // Sets the flag of every segment the range crosses: a segment whose line
  // the range covers anywhere along it, or one of whose end cells lies on a
  // line of the range along the segment's axis.
  void set_seg_laid_out_on_cross_area(const CellRange& range, bool value);
  // The same for the one cell.
  void set_seg_laid_out_on_cross_line(const CellPos& cross_pos, bool value);
  // Marks the laid-out segments the range crosses (as above) renewed
  // (ClsSegment::renewed): to be laid out as if new, though nothing their
  // layout reads changed. For lines laid out again at the same sizes.
  void renew_seg_on_cross_area(const CellRange& range);
  // Clears the laid-out flag of every segment linked to one of elems.
  void set_seg_not_laid_out_linking(const std::vector<const ModelElement*>& elems);

private:
  std::shared_ptr<ModelGrid> m_grid;
  std::vector<SegmentPtr> m_segments;
  // The key of a segment's line: its axis and its coordinate across.
  static uint64_t line_key(const ClsSegment& seg);

  // Where seg stands in m_segments (found among its line's); none when
  // the set does not hold it.
  std::optional<size_t> index_of(const ClsSegment& seg) const;

  // Where the held segments of each line stand in m_segments, ascending.
  std::unordered_map<uint64_t, std::vector<size_t>> m_lines;
};

} // namespace velkaro
