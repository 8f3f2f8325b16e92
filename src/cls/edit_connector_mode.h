#pragma once
// ClsEditConnectorMode ("EDIT CONNECTOR MODE"): edits the two multiplicity
// labels of the context's focused connector in place, with an insert text
// editor of its own. Entered from the select-connector mode with "i", and
// from the cell mode's "i" when no text can be edited there and a connector
// is focused.
//
// Entering edits the start label (laid out from the start cell of the
// connector's first segment); "change-text-editor" <Tab> switches between
// the start and the end label (the end cell of its last segment) and ends
// the undo step, so the other label's edits are a step of their own. Every
// change of a label's text, undone and redone ones too, lays the
// connector's labels out again by their new sizes. The edits are recorded
// by the editor as text steps and are undone after the mode is left (undo
// and redo do nothing here); leaving ends the undo step.
//
// A label is laid out from a cell of the connector's route, so only a
// connector of the set with at least one segment can be edited: the mode
// cannot be entered without one (the calling mode stays). Should the
// connector leave the set or lose its route while the mode is current, the
// editor stops at once and the next key leaves the mode.
//
// Keys: the editor's ("TEXT EDITOR INSERT") first, then the base set's, with
// "undo", "redo" and the four cursor moves doing nothing and "cancel" going
// back (back_to_the_mode()). A left press is the editor's.
//
// Ownership: as every mode; the mode owns its editor, which follows the
// context's canvas.

#include <memory>
#include <string>

#include "cls/mode.h"
#include "common/scoped_connection.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class CtrlITextEditable;
class CtrlTextEditorInsert;

class ClsEditConnectorMode : public ClsMode {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;
  static constexpr const char* NAME = "EDIT CONNECTOR MODE";

  static std::shared_ptr<ClsEditConnectorMode> create(ClsContext& ctrl)
  {
    return std::make_shared<ClsEditConnectorMode>(ctrl);
  }
  explicit ClsEditConnectorMode(ClsContext& ctrl);

  std::string get_name() const override { return NAME; }
  // A focused connector of the set with at least one segment.
  bool get_is_enterable() const override;
  void on_enter() override;
  void on_exit() override;
  // Not handled: the label editor places its own cursor.
  bool on_press_left_button(const Point&) override { return false; }
  // Once editing has stopped (see the header comment), a key leaves.
  bool key_press(GdkEventKey& event) override;

  // The start label (true) or the end label (false) becomes the edited one;
  // false, editing nothing, without a connector that can be edited.
  bool set_focus_ite(bool start);
  // The other label; the undo step ends.
  void change_text_editor();
  // The select-connector mode when it can be entered, else the cell mode.
  void back_to_the_mode();
  // The editor's update: a changed label lays its connector out again.
  void on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool changed);

  bool get_start_edited() const { return m_start_edited; }
  // Whether a label is being edited.
  bool get_is_editing() const { return m_connector != nullptr; }
  const std::shared_ptr<CtrlTextEditorInsert>& get_editor() const { return m_editor; }

private:
  // con is in the set and has a route to lay labels out from.
  bool can_edit(const ConnectorPtr& con) const;
  // The connector went or lost its route: the editor lets go of its label.
  void stop_if_gone();
  void stop_editing();

  std::shared_ptr<CtrlTextEditorInsert> m_editor;
  // The connector whose label the editor edits; null when none.
  ConnectorPtr m_connector;
  bool m_start_edited = true;
  ScopedConnection m_editor_update;
  ScopedConnection m_ws_updated;
};

} // namespace velkaro
