#pragma once
// CtrlSelectMode ("SELECT MODE"): picks one of several elements under the
// cursor for a pending operation (delete, yank or a change). A diagram kind
// switches to it when a key of its cell mode addresses more than one
// element; it derives its own select mode from this class, fills the
// candidates in on_enter_switch() and performs the operation in settle().
// Nothing constructs this class by itself.
//
// One candidate is selected at a time and marked in process, which the
// drawers highlight. The cursor keys and a pointer gesture step through the
// candidates without wrapping around at either end; the cursor cell never
// moves.
//
// It includes its own CtrlBaseMode (not the 2D set) and replaces, keeping
// their keys: "up" and "left" (previous candidate), "down" and "right"
// (next), "cancel" (cancel()), and "undo" and "redo" (nothing; never
// actionable). Its own action "settle-select" x <Enter> ("Settle") runs
// settle() and records an undo step when settle() returns true; a left click
// does the same. A right click cancels (no context menu).
//
// Whoever switches to it sets mode first; the kind enters it only with
// candidates.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ctrl/modes/acell_mode.h"

namespace velkaro {

class ModelElement;

// The pending operation the select mode settles.
enum class CtrlSelectModeModes {
  del = 0,
  yank = 1,
  // Change of an execution specification.
  chg_es = 2,
  // Change of a message.
  chg_msg = 3,
};

class CtrlSelectMode : public CtrlACellMode {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;

  static constexpr const char* NAME = "SELECT MODE";
  // The pointer travel, in canvas units (|dx| + |dy| from where the gesture
  // began), that steps once.
  static constexpr double GESTURE_STEP = 12;

  explicit CtrlSelectMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // --- Fields the diagram kind sets.

  // For the kind's own use while it builds the candidates; 0 on entering.
  int aux = 0;
  // Index of the selected candidate; 0 on entering unless on_enter_switch()
  // chooses another.
  int sel_index = 0;
  // The elements to choose from, in the kind's order.
  std::vector<ElementPtr> candidates;
  // The pending operation; set by whoever switches to the mode.
  CtrlSelectModeModes mode = CtrlSelectModeModes::del;

  // --- What the diagram kind supplies.

  // Fills candidates and chooses sel_index. Base: nothing.
  virtual void on_enter_switch() {}
  // Performs the pending operation on get_selected(); true when an undo
  // step is to be recorded. Base: true, nothing done.
  virtual bool settle() { return true; }
  // For del and yank the selected candidate's highlight goes; then the
  // default mode returns and the view is updated.
  virtual void cancel();
  // Step to the previous (next) candidate; nothing at the first (last).
  virtual void left();
  virtual void right();
  // Base: left() and right().
  virtual void above() { left(); }
  virtual void below() { right(); }

  // candidates[sel_index]; null when sel_index is not an index of it (an
  // empty list in particular).
  ElementPtr get_selected() const;

  // --- Mode.

  // aux, sel_index and the gesture reset, on_enter_switch(), then the
  // selected candidate is highlighted.
  void on_enter() override;
  // No element keeps a highlight.
  void on_exit() override;
  // settle() as the key "settle-select" runs it, recorded when it returns
  // true; the point is not used and the cursor does not move.
  bool on_press_left_button(const Point& pt) override;
  // cancel(); no context menu.
  bool on_press_right_button(const Point& pt) override;
  // Small moves add up from where the gesture began; at GESTURE_STEP the
  // selection steps once (right or down: the next candidate, left or up:
  // the previous) and a new gesture begins.
  bool on_pointer_move(const Point& bef, const Point& now) override;

private:
  // Moves the selection by delta (-1 or 1), if it stays in the list.
  void step(int delta);
  void highlight_selected(bool on);

  std::optional<Point> m_move_origin;
};

} // namespace velkaro
