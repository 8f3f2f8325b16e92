#pragma once
// ClsSelectConnectorMode ("SELECT CONNECTOR MODE"): picks one of the
// connectors attached to the element at the cursor, to remove it or to edit
// its multiplicities. Entered from the cell mode with "r" (and back from
// the edit-connector mode), and only while an element is anchored at the
// cursor cell and some connector of the set starts or ends there.
//
// Sides. Every entry sorts the connectors at the cursor cell into four side
// lists by the side of the box they leave (a connector from a box to itself
// counts with its start; one without segments goes to the top), each in
// order along its side: left to right on the top and bottom, top to bottom
// on the left and right (the laid-out position of the end segment,
// truncated: closer than one unit counts as equal, and equal ones keep the
// order they were found in). The first connector of the first non-empty
// side, in the order top, bottom, left, right, gets the focus.
//
// Moving the focus (the cursor keys). Each side walks forward and backward
// along itself and past its ends into a neighbour, and straight across into
// the opposite side:
//   side    forward        backward      across      enters the neighbour at
//   top     right: right   left: left    down: bottom  its first connector
//   bottom  right: right   left: left    up: top       its last
//   left    down: bottom   up: top       right: right  its first
//   right   down: bottom   up: top       left: left    its last
// so the focus turns the corners of the box. It never wraps: an empty
// neighbour keeps the focus where it is, and the outward key of a side
// does nothing.
//
// Removal ("remove-connector" x d): the focused connector goes through a
// ClsRemoveConnector step; the focus stays on its side at the same index
// (the last one when it was the last), or, when the side is empty, goes to
// its forward, else backward, else opposite neighbour, entered as in the
// table above. Without any connector left, the mode returns to the cell
// mode.
//
// The focused connector carries its focus flag (drawn wider) and is the
// context's focused connector. Leaving clears the flag and keeps the
// context's focused connector for the edit-connector mode ("edit" i).
//
// A connector that leaves the connector set by other means while the mode
// is current (a file read from the command line, say) is dropped from the
// sides, the focus passing on as after a removal, the next time the
// workspace reports an update or a key reaches the mode: a side lists only
// members of the set. A key that finds no connector left returns to the
// cell mode.
//
// Keys: the base set's, with "undo", "redo", "next-element" and
// "prev-element" doing nothing and "cancel" returning to the cell mode. A
// left press outside the cursor cell returns to the cell mode there.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "cls/mode.h"
#include "common/directions.h"
#include "common/scoped_connection.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ClsConnectors;

// One side of the box: its connectors in order along the side, the focus
// among them and the neighbour sides. The mode owns the four lists; the
// neighbour links between them are plain pointers.
class ClsSelectConnectorModeSideConnectorList {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;

  void init(MovingDir next_dir, ClsSelectConnectorModeSideConnectorList* next_scl, MovingDir prev_dir,
            ClsSelectConnectorModeSideConnectorList* prev_scl, MovingDir opposite_dir,
            ClsSelectConnectorModeSideConnectorList* opposite_scl, bool focus_at_end);

  std::vector<ConnectorPtr>& get_connectors() { return m_connectors; }
  const std::vector<ConnectorPtr>& get_connectors() const { return m_connectors; }
  bool empty() const { return m_connectors.empty(); }
  int get_focus_index() const { return m_focus_index; }
  bool get_focus_at_end() const { return m_focus_at_end; }

  // The connector at the focus, or null.
  ConnectorPtr get_focused_connector() const;
  // Drops the focus, then focuses index when it lies in the list.
  void focus(int index);
  // The last (at_end) or first connector; false for an empty list.
  bool focus_at_start_or_end(bool at_end);
  // The focused connector's flag goes; no focus.
  void defocus();
  // Every flag of the list cleared, then the focused one's set again (no
  // focus when the index no longer lies in the list).
  void update_focus();
  // One step forward (backward) within the list; false at its end.
  bool next();
  bool prev();
  // The list that holds the focus after a move in dir (see the mode's
  // header comment).
  ClsSelectConnectorModeSideConnectorList* move(MovingDir dir);
  // Takes the focused connector out; the list that holds the focus
  // afterwards, or null (see the mode's header comment).
  ClsSelectConnectorModeSideConnectorList* remove_focused_connector();
  // Takes out the connectors set does not hold, keeping the focus on the
  // focused one when it stays (else no focus); whether any went.
  bool drop_not_in(const ClsConnectors& set);

private:
  bool in_range(int index) const { return index >= 0 && index < static_cast<int>(m_connectors.size()); }
  // The first non-empty of next, prev, opposite takes the focus at the
  // end this list's flag names; null when all are empty.
  ClsSelectConnectorModeSideConnectorList* pass_focus_on();

  std::vector<ConnectorPtr> m_connectors;
  MovingDir m_next_dir = MovingDir::right;
  MovingDir m_prev_dir = MovingDir::left;
  MovingDir m_opposite_dir = MovingDir::down;
  ClsSelectConnectorModeSideConnectorList* m_next_scl = nullptr;
  ClsSelectConnectorModeSideConnectorList* m_prev_scl = nullptr;
  ClsSelectConnectorModeSideConnectorList* m_opposite_scl = nullptr;
  bool m_focus_at_end = false;
  int m_focus_index = -1;
};

class ClsSelectConnectorMode : public ClsMode {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;
  using SideList = ClsSelectConnectorModeSideConnectorList;
  static constexpr const char* NAME = "SELECT CONNECTOR MODE";

  explicit ClsSelectConnectorMode(ClsContext& ctrl);

  std::string get_name() const override { return NAME; }
  bool get_is_enterable() const override;
  void on_enter() override;
  void on_exit() override;
  bool on_press_left_button(const Point& pt) override;
  // Drops connectors gone from the set before the key acts.
  bool key_press(GdkEventKey& event) override;

  // Moves the focus one step in dir; true.
  bool change_focused_connector(MovingDir dir);
  // Removes the focused connector through the processor; true when it was
  // removed.
  bool remove_connector();
  // The connector holding the focus, or null.
  ConnectorPtr get_focused_connector() const;
  // The side list of dir (up: the top side), for inspection.
  const SideList& get_side_list(MovingDir dir) const { return m_side_lists[static_cast<size_t>(dir)]; }
  // The list holding the focus, or null.
  const SideList* get_current_list() const { return m_current_list; }

  // Links four lists, indexed by MovingDir (up: the top side), as the
  // sides of one box (the table in the header comment).
  static void wire(std::array<SideList, 4>& lists);

  // The order of two connectors of one side at the cursor cell: the
  // difference of their positions, truncated toward zero.
  int cmp_connector_pos(const ClsAbstractConnectorElement& a, const ClsAbstractConnectorElement& b) const;

private:
  SideList& side(MovingDir dir) { return m_side_lists[static_cast<size_t>(dir)]; }
  void sort(SideList& list) const;
  // The context follows the current list's focus.
  void mirror_focus();
  // Takes connectors no longer in the set out of the sides.
  void drop_gone_connectors();

  std::array<SideList, 4> m_side_lists;
  SideList* m_current_list = nullptr;
  // While the mode's own removal runs: the workspace's update then names
  // the connector the removal takes out of its side itself.
  bool m_removing = false;
  ScopedConnection m_ws_updated;
};

} // namespace velkaro
