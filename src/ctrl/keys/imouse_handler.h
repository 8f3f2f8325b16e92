#pragma once
// Where a mouse binder sends the pointer events of its widget, already turned
// into clicks, double clicks, drags with the left button and plain moves.
// Modes and text editors implement it.
//
// Points are in canvas units: widget pixels divided by get_zoom(), plus the
// binder's offset. They are values, valid during the call: a handler copies
// what it keeps. In on_pointer_move(), bef is the point the binder reported
// as now at the previous move.
//
// A true result means handled: GTK then passes the event on no further.
//
// A mouse binder links to its handler without owning it (a std::weak_ptr), so
// a handler must be owned by a std::shared_ptr to be aimed at.

#include "common/point.h"

namespace velkaro {

class CtrlIMouseHandler {
public:
  virtual ~CtrlIMouseHandler() = default;

  virtual bool on_press_left_button(const Point&) { return false; }
  virtual bool on_press_right_button(const Point&) { return false; }
  virtual bool on_double_press_left_button(const Point&) { return false; }
  virtual bool on_release_left_button(const Point&) { return false; }
  virtual bool on_release_right_button(const Point&) { return false; }
  // The pointer moved with the left button down since a left press at start_pt.
  virtual bool on_drag_with_left_button(const Point& /*start_pt*/, const Point& /*now_pt*/) { return false; }
  // The pointer moved from bef to now without a drag.
  virtual bool on_pointer_move(const Point& /*bef*/, const Point& /*now*/) { return false; }
  // The zoom by which widget pixels are divided to give canvas units.
  virtual double get_zoom() const { return 1.0; }
};

} // namespace velkaro
