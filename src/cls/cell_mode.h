#pragma once
// The cell modes of the class-diagram editor.
//
// ClsACellMode: the class-diagram cell-cursor base. A drag with the left
// button into another cell enters the class-diagram select-cell mode, with
// the selection anchored at the pressed cell and the cursor on the cell
// under the pointer. While it is current the context's in_cell_mode is set.
// get_is_single_text() ("is-single-text"): the element at the cursor is a
// class box.
//
// ClsCellMode ("CELL MODE"): the default and first mode of the class
// context. It is not the framework's cell mode: its whole table is its own
// (below), then the 2D set's, then the base set's. Its own actions, in
// registration order (descriptions exact):
//   "insert-class" c "Add a Class Element": a class box on the cursor cell
//     (ClsAddClassAction), actionable on an empty cell;
//   "insert-element" i: a class box on an empty cell; on an element, typing
//     into its text (ClsInsertModeDirect); when that is refused and a
//     connector is focused, its multiplicities (ClsEditConnectorMode);
//   "append-text" a (recorded): on an empty cell a free text and typing
//     into it, in one undo step with the typing; on an element typing at
//     the end of its line (nothing recorded);
//   "insert-text-to-start" I: typing at the start of the line;
//   "change-to-normalmode" <CR>: the normal text mode of a class;
//   "connect-association" R, "connect-dependency" D, "connect-aggregation"
//     A, "connect-composition" C, "connect-generalization" G: "CONNECT
//     MODE" drawing that kind, actionable on an element ("G" shadows the
//     2D set's scroll to the bottom);
//   "change-to-selectcellmode" v, "change-to-selectconnectormode" r;
//   "copy" y <C-c> "Yank elemenet": the cursor cell into the yank buffer;
//   "cut" x <C-x> <Del> "Remove elemenet": the focused connector when there
//     is one (ClsRemoveConnector), else the element at the cursor
//     (ClsRemovePosAction); both actionable with "check-copy";
//   "paste" p <C-v> "Paste elemenet" (recorded): the yank buffer at the
//     cursor, actionable while it holds something;
//   "show-all" <Tab> "Show all element": the move-view mode.
// A test decides only whether an action is offered in menus and tool bars;
// a key runs its action in any case, and the action does nothing when its
// condition fails. The actions that build an undo action run it through the
// processor, which keeps it as the step.
//
// Pointer: a left press moves the cursor, drops every connector's focus and
// focuses the first connector (in set order, its segments in route order)
// whose segment, grown by 5 on every side, holds the point. A double press
// edits the compartment under the pointer, or adds a class box where no
// text can be edited.

#include <memory>
#include <string>

#include "cls/context.h"
#include "ctrl/modes/acell_mode.h"

namespace velkaro {

class ClsWorkspace;
enum class ClsConnectModeKind;

class ClsACellMode : public CtrlACellMode {
public:
  explicit ClsACellMode(ClsContext& ctrl) : CtrlACellMode(ctrl) {}

  ClsContext& get_cls_ctrl() const { return get_ctrl().get_c<ClsContext>(); }
  const std::shared_ptr<ClsWorkspace>& get_cls_ws() const { return get_cls_ctrl().get_cls_ws(); }

  bool get_is_single_text() const;

  void on_enter() override;
  void on_exit() override;
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
};

class ClsCellMode : public ClsACellMode {
public:
  static constexpr const char* NAME = "CELL MODE";
  // How far beside a segment's line a press still picks its connector.
  static constexpr double CONNECTOR_HIT_MARGIN = 5.0;

  explicit ClsCellMode(ClsContext& ctrl);

  std::string get_name() const override { return NAME; }

  bool on_press_left_button(const Point& pt) override;
  bool on_double_press_left_button(const Point& pt) override;

  // --- The actions' work.

  // A ClsAddClassAction for the cursor cell through the processor.
  bool add_class();
  bool insert_element();
  // The work of "append-text" (see the header comment).
  bool add_text();
  bool insert_text_to_start();
  // "CONNECT MODE" drawing kind; refused (the mode stays) without an
  // element at the cursor. True.
  bool change_to_connect_mode(ClsConnectModeKind kind);
  // The cursor cell into the yank buffer; the menus refreshed. True.
  bool copy();
  // The cut's undo action through the processor.
  bool cut();
  bool paste();
  // The first connector, in set order, with a segment whose band holds pt
  // (canvas units); null when none.
  std::shared_ptr<ClsAbstractConnectorElement> connector_at(const Point& pt) const;
};

} // namespace velkaro
