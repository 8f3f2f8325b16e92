#pragma once
// CtrlRangeMode ("RANGE MODE"): places or reshapes the context's element
// under edit (edit_elm) over the selected range of cells, which the user
// stretches with the cursor keys or the mouse. A diagram kind derives its
// range mode from it and says in update_element() what a range means for
// its elements; nothing constructs this class by itself.
//
// Live preview. Every change of the range takes back the newest action
// (CtrlActionProcessor::revoke(): undone without moving the cursor, and
// gone from the history) and records a fresh preview in its place, so that
// the document always shows the element for the current range and the undo
// stack holds exactly one step for it. What the first preview takes back
// depends on the sub-mode: the inserting action (insert), an empty action
// pushed on entering (change, change-selected, resize), or nothing (mouse).
// While the mode is current nothing else may record: "undo" and "redo" and
// the line actions of the 2D key set are switched off (they do nothing and
// are never actionable).
//
// Settling (Enter, a double click, or releasing the button in the mouse
// sub-mode or after a long press) keeps the edit; an unchanged single-cell
// edit leaves no undo step. Leaving the mode any other way (Esc, a right
// click, any switch) takes back the last preview. What the mode takes back
// leaves no redo step: a cancelled edit (an insertion too) and an unchanged
// one leave the undo and redo history as it was before the edit began.
//
// Whoever switches to it sets edit_elm, the sub-mode and, for the mouse
// sub-mode, return_pos first (usually in the preparation of
// CtrlContext::change_to): the cell mode's resize sets resize.
//
// Long press: entering arms a one-shot timer of the main view's long-press
// time. When it fires before any left press or release in the mode, the
// button that is still held from before entering settles on release. The
// timer is removed when the mode is left or destroyed.

#include <memory>
#include <string>

#include "common/cell_pos.h"
#include "common/scoped_connection.h"
#include "ctrl/modes/aselect_cell_mode.h"

namespace velkaro {

// Why the range mode was entered.
enum class CtrlRangeModeModes {
  // The element was just inserted by the action on top of the undo stack.
  insert = 0,
  // An existing element is changed.
  change = 1,
  // An existing element chosen in the select mode is changed.
  change_selected = 2,
  // An insertion driven by the mouse: the first preview undoes nothing and
  // releasing the button settles.
  mouse = 3,
  // An existing element is resized from its far corner.
  resize = 4,
};

class CtrlRangeMode : public CtrlASelectCellMode {
public:
  static constexpr const char* NAME = "RANGE MODE";
  // The long-press time used when there is no main view to ask (GTK's own
  // default), in milliseconds.
  static constexpr int DEFAULT_LONG_PRESS_MS = 500;
  // The main-loop priority of the long-press timer.
  static constexpr int LONG_PRESS_PRIORITY = 200;

  explicit CtrlRangeMode(CtrlContext& ctrl);

  std::string get_name() const override { return NAME; }

  // --- Fields set by whoever switches to the mode.

  // For the diagram kind's own use; this class never touches it.
  int aux = 1;
  // Where the cursor goes after a mouse-driven edit was settled on release.
  CellPos return_pos{0, 0};
  // The sub-mode; back to insert whenever the mode is left.
  CtrlRangeModeModes mode = CtrlRangeModeModes::insert;

  // --- What the diagram kind supplies.

  // Shapes the element under edit for the current range (get_range()). Runs
  // inside the recorded action of every preview; epos is where edit_elm was
  // anchored before the previous preview was undone ((-1, -1) when it was
  // not stored). The kind may replace edit_elm (by the copy it stored) or
  // drop it (null): the preview is then taken back and the default mode
  // returns. Base: nothing.
  virtual void update_element(CellPos epos);
  // After the range was recomputed, before the preview. Base: nothing.
  virtual void on_update_range() {}
  // On entering, with edit_elm's class name ("SeqMessage"). Base: nothing.
  virtual void on_enter_for(const std::string& type_name);
  // Asked when an edit is settled over a single cell: true keeps that
  // preview as an undo step. Base: false.
  virtual bool get_is_minor_change() const { return false; }

  // --- Operations.

  // Ends the edit and keeps it: an unchanged single-cell edit (other than an
  // insertion) is dropped from the undo stack, unless it is a minor change;
  // any other range is previewed once more. Then edit_elm is released and
  // the default mode returns.
  void settle();
  // Back to the default mode; leaving takes back the last preview.
  void cancel();
  // The long-press timer's callback: marks the long press unless a left
  // press or release came first. False: the timer fires once.
  bool long_press_cb();

  // --- Mode.

  void on_enter() override;
  void on_exit() override;
  // The range from the anchor to the cursor, then on_update_range() and a
  // preview. In the resize sub-mode a cursor left of or above edit_elm's
  // anchor cell changes neither range nor preview.
  void update_range() override;
  // The parent's press (cursor and range follow the click); a left press
  // happened.
  bool on_press_left_button(const Point& pt) override;
  // In the mouse sub-mode: settles and puts the cursor on return_pos.
  // Otherwise a left release happened, and it settles after a long press.
  // The parent's release is not run: clicks keep stretching the range.
  bool on_release_left_button(const Point& pt) override;
  // Settles.
  bool on_double_press_left_button(const Point& pt) override;
  // Cancels; no context menu.
  bool on_press_right_button(const Point& pt) override;

protected:
  // Takes back the previous preview and records one for the current range
  // (a kind that changes what the range means without a cursor move calls
  // it itself).
  void preview();

private:
  void start_long_press_timer();

  bool m_long_pressed = false;
  bool m_released = false;
  ScopedConnection m_long_press;
};

} // namespace velkaro
