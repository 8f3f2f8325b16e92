#pragma once
// ClsIConnectorTerm: the shape at one end of a connector (an arrow head, a
// diamond). It knows the size of its shape, how far the connector's line
// stops short of the element it touches (the setback), and, once laid out on
// a segment, where its tip touches the element, the direction it points in
// (towards the element) and its bounding rectangle. Positions are in the
// segment's cell-relative frame (relative to the top-left corner of the cell
// of the segment end it lies on).
//
// A connector owns its terms and shares them with the first and last
// segment of its route; the kinds belong to the class document.

#include <cstdint>

#include "common/directions.h"
#include "common/point.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsSegment;

class ClsIConnectorTerm {
public:
  virtual ~ClsIConnectorTerm() = default;

  // The kind's class name ("ClsOpenArrowConnectorTerm"): drawers choose the
  // shape by it.
  virtual const char* get_type_name() const = 0;
  // Places the term on the end (is_end) or the start of seg, at the point
  // the segment has there now.
  virtual void layout_by_segment(const ClsSegment& seg, bool is_end) = 0;
  // The bounding rectangle of the shape.
  virtual Rectangle get_rect() const = 0;
  // Width across the line and length along it of the shape pointing up.
  virtual int32_t get_width_at_upper() const = 0;
  virtual int32_t get_height_at_upper() const = 0;
  // The tip, where the shape touches the element; the term's own point.
  virtual const Point& get_term_point() const = 0;
  // Pixels by which the segment end is pulled back from the element.
  virtual int32_t get_seg_term_setback() const = 0;
  // The direction the shape points in.
  virtual MovingDir get_udlr() const = 0;
};

} // namespace velkaro
