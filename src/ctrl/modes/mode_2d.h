#pragma once
// Ctrl2DMode ("2D MODE"): the keys of a two-dimensional grid: scrolling,
// jumping to the top or bottom, inserting and deleting whole rows and
// columns, and switching the axis of insertion (the context's now dir).
//
// Like CtrlBaseMode it is never current: a mode makes its own instance and
// includes it; every instance stores its users' key bindings under the
// group "2D MODE".
//
// The scrolling keys work along the turned axis (the axis across the now
// dir, CtrlContext::get_turned_dir()): with the axis h they scroll and jump
// vertically. The line keys follow the now dir itself: with the axis v
// "o", "O" and "dd" open or delete a column, with h or hv a row.
//
// Actions, in registration order (none has an is-actionable test):
//   "scroll-up" <C-y>, "scroll-down" <C-e>: one grid line;
//   "scroll-page-par-up" <C-u>, "scroll-page-par-down" <C-d>: a third of
//   the page; "scroll-page-up" <C-b>, "scroll-page-down" <C-f>: a page;
//   "scroll-to-top" gg, "scroll-to_bottom" G: the cursor to line 0 or to
//   the last used line along the turned axis;
//   recorded for undo: "append-line" o (insert_line(1)), "insert-line" O
//   (insert_line(0)), "delete-line" dd, and, without default keys,
//   "insert-col", "insert-row", "delete-col", "delete-row";
//   "toggle-hv" <space>, "to-virtical" <C-space>, "to-horizontal"
//   <S-space>.
// The action names and descriptions are exact: stored user bindings refer
// to the names ("to-virtical" and "scroll-to_bottom" included).
//
// Every line operation reports whether the workspace changed the document:
// a refused insertion or removal (a line outside the grid, or one that would
// push an element off it) records nothing.

#include <cstdint>
#include <memory>
#include <string>

#include "ctrl/modes/mode.h"

namespace velkaro {

class Ctrl2DMode : public CtrlMode {
public:
  static constexpr const char* NAME = "2D MODE";

  // A new instance for ctrl, with its key set registered.
  static std::shared_ptr<Ctrl2DMode> create(CtrlContext& ctrl);
  explicit Ctrl2DMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // The now dir becomes its inverse: h becomes v; v and hv become h.
  void toggle_hv();
  void to_virtical();
  void to_horizontal();

  // With the now dir v, opens the column at the cursor's x + offset; with h
  // or hv, the row at the cursor's y + offset.
  bool insert_line(int32_t offset);
  // With the now dir v, removes the cursor's column; else its row.
  bool delete_line();
  // The same on a column or row whatever the now dir.
  bool insert_col();
  bool insert_row();
  bool delete_col();
  bool delete_row();
};

} // namespace velkaro
