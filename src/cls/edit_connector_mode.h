#pragma once
// ClsEditConnectorMode ("EDIT CONNECTOR MODE"): edits the two multiplicity
// labels of the context's focused connector. Entered from the
// select-connector mode with "i", and from the cell mode's "i" when no text
// can be edited there and a connector is focused.
//
// Keys: the base set's, with "undo", "redo" and the four cursor moves doing
// nothing and "cancel" going back (back_to_the_mode()); own action
// "change-text-editor" <Tab> switches between the start and the end label.
//
// Ownership: as every mode.

#include <memory>
#include <string>

#include "cls/mode.h"

namespace velkaro {

class ClsEditConnectorMode : public ClsMode {
public:
  static constexpr const char* NAME = "EDIT CONNECTOR MODE";

  static std::shared_ptr<ClsEditConnectorMode> create(ClsContext& ctrl)
  {
    return std::make_shared<ClsEditConnectorMode>(ctrl);
  }
  explicit ClsEditConnectorMode(ClsContext& ctrl);

  std::string get_name() const override { return NAME; }
  void on_enter() override;
  // Not handled: the label editor places its own cursor.
  bool on_press_left_button(const Point&) override { return false; }

  // The start label (true) or the end label (false) is the edited one.
  void set_focus_ite(bool start);
  // The other label.
  void change_text_editor();
  // The select-connector mode when it can be entered, else the cell mode.
  void back_to_the_mode();
  bool get_start_edited() const { return m_start_edited; }

private:
  bool m_start_edited = true;
};

} // namespace velkaro
