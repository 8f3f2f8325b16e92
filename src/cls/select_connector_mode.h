#pragma once
// ClsSelectConnectorMode ("SELECT CONNECTOR MODE"): picks one of the
// connectors attached to the element at the cursor, to remove it or to edit
// its multiplicities. Entered from the cell mode with "r", and only while an
// element is anchored at the cursor cell and some connector of the set
// starts or ends there.
//
// Entering focuses the first such connector (its focus flag, drawn wider,
// and the context's focused connector). Leaving clears the flag and keeps
// the context's focused connector for the edit-connector mode.
//
// Keys: the base set's, with "undo", "redo", "next-element" and
// "prev-element" doing nothing and "cancel" returning to the cell mode; the
// cursor keys move the focus (change_focused_connector()). Own actions:
//   "remove-connector" x d: the focused connector goes (ClsRemoveConnector
//     through the processor);
//   "edit" i: ClsEditConnectorMode on the focused connector.
// A left press outside the cursor cell returns to the cell mode there.

#include <memory>
#include <string>
#include <vector>

#include "cls/mode.h"
#include "common/directions.h"

namespace velkaro {

class ClsAbstractConnectorElement;

class ClsSelectConnectorMode : public ClsMode {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;
  static constexpr const char* NAME = "SELECT CONNECTOR MODE";

  explicit ClsSelectConnectorMode(ClsContext& ctrl);

  std::string get_name() const override { return NAME; }
  bool get_is_enterable() const override;
  void on_enter() override;
  void on_exit() override;
  bool on_press_left_button(const Point& pt) override;

  // Moves the focus one step in dir; true.
  bool change_focused_connector(MovingDir dir);
  // Removes the focused connector through the processor; true when it was
  // removed.
  bool remove_connector();
  // The connector holding the focus, or null.
  ConnectorPtr get_focused_connector() const;

private:
  // Gives the focus (flag and context) to the connector at index, or to
  // none for an index out of range.
  void focus(int index);

  // The connectors attached to the cursor cell.
  std::vector<ConnectorPtr> m_connectors;
  int m_focus_index = -1;
};

} // namespace velkaro
