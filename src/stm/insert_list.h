#pragma once
// StmInsertList: the insert popup of the state-machine editor, which the
// cell mode pops up when the user inserts on an empty cell or where a
// transition ends. A VKMenu of nine items, top to bottom: one line item,
// "_Transaction" (where a transition ends) or "_Concurrent" (elsewhere),
// without an image, then one item per point kind with a drawn icon, in the
// order of StmElms::point_kinds(): "_Begin State", "_Sink State",
// "_Entry State", "E_xit State", "Te_rminate Node", "H_istory",
// "C_onditional Pseudo State", "J_unction". No separators.
//
// The menu's top-left corner is put at the bottom-right corner of the
// cursor cell on the screen. It pops up whether or not GTK is handling an
// event (keys sent by a script come without one): the current event's
// button and time when there is one. While it is shown it has the keyboard
// and pointer grab, so the diagram's cursor does not move.
//
// Choosing an item is one step of the history, taken at the cursor cell of
// that moment:
//   the line item starts the line element there (StmContext::insert_elm),
//   which the range mode then stretches; recorded when it was started;
//   a point item places the point state there (StmWorkspace::insert_elm);
//   recorded only when it was placed, so a cell already anchoring a chain
//   gets neither a state nor an empty step.
// Dismissing the menu (Escape, a click outside) records nothing.
//
// Ownership: nothing keeps the menu once it is up; it destroys itself from
// an idle callback after it was dismissed or an item was chosen. Its items
// link to the context weakly: a context gone meanwhile makes them do
// nothing.

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace Gtk {
class MenuItem;
}

namespace velkaro {

class StmContext;
class VKMenu;

class StmInsertList {
public:
  StmInsertList() = delete;

  // Builds the menu (with the transition item when with_transition, else
  // the concurrency-line item) and pops it up at the cursor cell. The menu;
  // it lives until it is dismissed (see the header comment). Null, with
  // nothing shown, when the context has no canvas widget on a realised
  // window to put it on, or when GTK could not take the grab (another
  // popup holds it).
  static VKMenu* show_menu(StmContext& ctrl, bool with_transition);
  // An item without an image that starts the line element of name.
  static Gtk::MenuItem* make_line_item(StmContext& ctrl, const std::string& name, const std::string& label);
  // An item with the drawn icon of the point kind name that places it.
  static Gtk::MenuItem* make_point_item(StmContext& ctrl, const std::string& name, const std::string& label);
  // Where the menu's top-left corner goes, in screen pixels: the
  // bottom-right corner of the cursor cell at the canvas's zoom and scroll
  // position. Nothing without a canvas widget on a realised window.
  static std::optional<std::pair<int, int>> screen_position(const StmContext& ctrl);
};

} // namespace velkaro
