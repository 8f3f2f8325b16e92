#pragma once
// Lengths shared by the sequence drawers, in canvas units whatever the size
// of a cell, and the dash helper they use.

#include <cairomm/context.h>

namespace velkaro::seq_geom {

// The life line's dashes: 6 on, 6 off.
inline constexpr double LL_DASH = 6.0;
// Where the dashes stand at the top of the first life-line cell (and at the
// bottom of the head's cell).
inline constexpr double LL_PHASE = 4.0;
// Half the width of a level-0 execution specification.
inline constexpr double ES_HALF_WIDTH = 6.4;
// How far a box's top or bottom edge stands in from its cell's edge where
// the box starts or ends, and how far each nesting level moves a side out.
inline constexpr double ES_STEP = 4.0;
// Half the size of the stop cross; the dashed line ends short of the
// cross's centre by 0.6 of it.
inline constexpr double STOP_HALF = 8.75;
inline constexpr double STOP_GAP = STOP_HALF * 0.6;

// The message line's distance above the cell's bottom, the self message's
// loop's, the arrowhead's length and half height, the found and lost dots'
// radius, and how far a message's text stands above its line cell's.
inline constexpr double MSG_LINE_UP = 8.75;
inline constexpr double MSG_LOOP_UP = 26.25;
inline constexpr double ARROW_LENGTH = 35.0 / 3.0;
inline constexpr double ARROW_HALF = 35.0 / 6.0;
inline constexpr double DOT_RADIUS = 8.75;
inline constexpr double MSG_TEXT_UP = 12.25;
// A reply's dashes: 6 on, 6 off.
inline constexpr double REPLY_DASH = 6.0;

// The fragment label's cut corner; the separator's distance below its
// cells' top edge and its dashes (2 on, 4 off).
inline constexpr double LABEL_CUT = 8.75;
inline constexpr double SEP_DOWN = 35.0 / 22.0;
inline constexpr double SEP_ON = 2.0;
inline constexpr double SEP_OFF = 4.0;

// Sets the dash pattern (on, off) starting at phase offset.
inline void set_dash(const Cairo::RefPtr<Cairo::Context>& cr, double on, double off, double offset)
{
  const double dashes[] = {on, off};
  cairo_set_dash(cr->cobj(), dashes, 2, offset);
}

// Adds a move to (x0, y0) and a line to (x1, y1) to the path.
inline void segment(const Cairo::RefPtr<Cairo::Context>& cr, double x0, double y0, double x1, double y1)
{
  cr->move_to(x0, y0);
  cr->line_to(x1, y1);
}

// A solid line again.
inline void unset_dash(const Cairo::RefPtr<Cairo::Context>& cr) { cairo_set_dash(cr->cobj(), nullptr, 0, 0.0); }

} // namespace velkaro::seq_geom
