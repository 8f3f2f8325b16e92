#pragma once
// ClsContext ("ClsContext"): the controller of one class diagram. It fixes
// the editor's modes, in this order (the first is the default mode and the
// current mode of a new context):
//   ClsCellMode ("CELL MODE"), ClsSelectCellMode ("SELECT CELL MODE"),
//   ClsSelectConnectorMode ("SELECT CONNECTOR MODE"), ClsConnectMode
//   ("CONNECT MODE"), the four text modes of a class
//   (ClsNormalModeInClass, ClsVisualModeInClass, ClsInsertModeNormal,
//   ClsInsertModeDirect), ClsEditConnectorMode ("EDIT CONNECTOR MODE") and
//   CtrlMoveViewMode ("MOVE VIEW MODE").
// Modes are found by their exact class: ClsInsertModeNormal is not its
// subclass ClsInsertModeDirect. It keeps the framework's theme colour.
//
// What it adds to every context:
// - the workspace as the ClsWorkspace it is;
// - the focused connector: the connector the user picked (a left press in
//   the cell mode, the select-connector mode), which the cell mode's cut,
//   its insert-element, "check-copy" and the edit-connector mode act on.
//   It may outlive the connector's own focus flag (the drawn one): after a
//   press on a connector the cursor may move away and a cut still removes
//   that connector. Once the connector has left the connector set (a cut,
//   an undo of its drawing, a line removal), the context no longer refers
//   to it, so a second cut records nothing;
// - next and previous element ("w", "b") visiting class boxes only;
// - "now-text-elm": the active compartment text of the class at the cursor,
//   or the free text there;
// - "check-copy": true while a connector is focused, else whether an
//   element is at the cursor.
//
// Made by ClsContext::create(ws); whoever shows it gives it the canvas, the
// main view, the command bar, the context menu and the main window (see
// CtrlContext).
//
// Ownership: as every context; it also keeps the workspace as a
// ClsWorkspace and the focused connector.

#include <memory>
#include <string>

#include "common/app_id.h"
#include "common/scoped_connection.h"
#include "ctrl/context.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ClsWorkspace;

class ClsContext : public CtrlContext {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;

  // A new context for ws with its modes registered; null (with a critical
  // message) for a null ws.
  static std::shared_ptr<ClsContext> create(const std::shared_ptr<ClsWorkspace>& ws,
                                            const std::string& exename = app_id_exename());

  // Use create().
  ClsContext(Key key, const std::shared_ptr<ClsWorkspace>& ws, const std::string& exename);

  std::string get_name() const override { return "ClsContext"; }

  // The cursor goes to the nearest cell after (before) it whose chain holds
  // a class box; it stays without one.
  void next_elm() override;
  void prev_elm() override;
  // The active text of the class at the cursor, else a text element there;
  // null otherwise.
  std::shared_ptr<ModelTextElement> get_now_text_elm() override;
  // A connector is focused, or an element is at the cursor.
  bool get_check_copy() override;

  const std::shared_ptr<ClsWorkspace>& get_cls_ws() const { return m_cls_ws; }

  // The focused connector while the connector set holds it, else null (and
  // the reference is dropped).
  ConnectorPtr get_focused_connector();
  void set_focused_connector(const ConnectorPtr& con) { m_focused_connector = con; }

private:
  // Drops the focused connector once the connector set no longer holds it.
  void forget_gone_connector();

  std::shared_ptr<ClsWorkspace> m_cls_ws;
  ConnectorPtr m_focused_connector;
  ScopedConnection m_ws_updated;
};

} // namespace velkaro
