#pragma once
// ClsConnectMode ("CONNECT MODE"): draws a new connector from the element at
// the cursor to a class box with the keyboard or the mouse. Entering starts
// the class workspace's floating connector of the chosen kind at the cursor
// cell; every cursor move (h j k l and the arrows, w and b to the next or
// previous class box, a left press) routes it again to the cursor cell.
// "settle" (<CR>, or a double press) fixes it as one undo step
// (ClsFixFloatingConnector) and returns to the cell mode with the cursor on
// the end cell; the workspace refuses an end on the start cell or on an
// empty cell, and then nothing is recorded and the mode stays. "cancel"
// (<Esc> <C-[>) drops it, leaving no undo step, and returns to the cell
// mode.
//
// The mode can be entered only while an element is anchored at the cursor
// (a free text as well as a class box). While it is current undo and redo
// do nothing, so the history cannot change under the connector being
// drawn; the line edits of the 2D set are not available either. The base
// set's other keys (help, command line, quit, zoom) work as ever.
//
// Ownership: the floating connector lives in the workspace, not in the
// mode. Leaving the mode any other way than by settle or cancel (the
// document replaced, say) drops it too.

#include <string>

#include "cls/mode.h"
#include "common/directions.h"

namespace velkaro {

// The kind of connector drawn; the order of
// ClsAbstractConnectorElement::type_names().
enum class ClsConnectModeKind { association, dependency, aggregation, composition, generalization };

// "association", "dependency", ... (the enumeration's nicks).
const char* cls_connect_mode_kind_to_string(ClsConnectModeKind kind);

class ClsConnectMode : public ClsMode {
public:
  static constexpr const char* NAME = "CONNECT MODE";

  explicit ClsConnectMode(ClsContext& ctrl);

  // The kind drawn at the next entry; the cell mode sets it before it
  // switches here.
  ClsConnectModeKind kind = ClsConnectModeKind::association;

  std::string get_name() const override { return NAME; }
  bool get_is_enterable() const override;
  void on_enter() override;
  void on_exit() override;
  // The cursor goes to the pressed cell and the connector follows; true.
  bool on_press_left_button(const Point& pt) override;
  // Settles; its result.
  bool on_double_press_left_button(const Point& pt) override;

  // One cursor step, the connector routed to the new cursor cell; true.
  bool move_active_cell(MovingDir dir);
  // The connector routed again to the cursor cell, the view updated.
  void follow_cursor();
  // Fixes the connector through the processor; when the workspace accepts
  // it, the cell mode (true when it is current then); else false and the
  // mode stays.
  bool fix();
  // Drops the connector; the cell mode.
  void cancel();
};

} // namespace velkaro
