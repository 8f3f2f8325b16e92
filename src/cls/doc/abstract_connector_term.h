#pragma once
// ClsAbstractConnectorTerm: the base of the four end terms of a connector.
// A kind gives the size of its shape pointing up (width across the line,
// height along it) and may change the setback (by default the height: the
// line stops at the far side of the shape). Laying the term out on a
// segment end takes the segment's point there as the tip, points the shape
// towards the element at that end and places its rectangle behind the tip,
// along the segment. The term keeps its own tip point: later moves of the
// segment's points do not move it.
//
// A new term points up, with its tip at (0, 0) and an empty rectangle.

#include <memory>

#include "cls/route/iconnector_term.h"
#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsAbstractConnectorTerm : public ClsIConnectorTerm {
public:
  // Where the last layout put the term: its direction, rectangle and tip.
  struct Placement {
    MovingDir udlr = MovingDir::up;
    Rectangle rect;
    Point term_point;

    bool operator==(const Placement&) const = default;
  };

  ClsAbstractConnectorTerm() = default;
  ClsAbstractConnectorTerm(const ClsAbstractConnectorTerm&) = delete;
  ClsAbstractConnectorTerm& operator=(const ClsAbstractConnectorTerm&) = delete;

  // A new term of the same kind with the same direction and rectangle and a
  // tip point of its own at the same coordinates.
  std::shared_ptr<ClsAbstractConnectorTerm> dup() const;

  // The rectangle of the shape whose tip is p, stretching the height of the
  // shape from p in dir, its width across, centred on p (the half width
  // truncated to whole pixels); (0, 0, 0, 0) for a value outside the four
  // directions.
  Rectangle calc_rect(const Point& p, MovingDir dir) const;

  // At the end: pointing the way the segment runs, into the element at the
  // connector's end, tip at the segment's end point. At the start: pointing
  // back, into the element at the connector's start, tip at its start point.
  void layout_by_segment(const ClsSegment& seg, bool is_end) override;
  Rectangle get_rect() const override { return m_rect; }
  const Point& get_term_point() const override { return m_term_point; }
  // The height at upper unless a kind says otherwise.
  int32_t get_seg_term_setback() const override { return get_height_at_upper(); }
  MovingDir get_udlr() const override { return m_udlr; }

  Placement get_placement() const { return {m_udlr, m_rect, m_term_point}; }
  // Puts the term back where an earlier layout had put it.
  void set_placement(const Placement& placement);

protected:
  // A new term of the kind, as made.
  virtual std::shared_ptr<ClsAbstractConnectorTerm> new_instance() const = 0;

private:
  MovingDir m_udlr = MovingDir::up;
  Rectangle m_rect;
  Point m_term_point;
};

} // namespace velkaro
