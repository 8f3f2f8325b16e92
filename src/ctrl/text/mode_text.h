#pragma once
// The text modes: the modes in which the text of a text element is edited in
// place.
//
// CtrlATextModeRoot is the base of every text mode. It owns one text editor
// (a CtrlTextEditorWithAction) that does the editing, turns the editor's
// signals into relayouts, redraws and mode switches, and decides what
// happens to an empty text when text editing ends.
//
// Every text mode plays one of three roles: normal (motions, no typing),
// insert (typing) and visual (character selection). A family of text modes
// names the mode class of each role (get_normal_mode(), get_insert_mode(),
// get_visual_mode()); a mode knows its role by comparing the exact class of
// the context's current mode with them (never by derivation: a mode derived
// from the normal one does not play the normal role).
//
// CtrlATextMode adds the keys of the normal and visual roles, the cut of a
// selection and the release of a visual selection; CtrlAGTextMode fixes the
// in-cell family. The four in-cell modes edit the text element of the cursor
// cell:
//   CtrlNormalModeInCell  "NORMAL MODE (TEXT)"    normal  <Esc>: cell mode
//   CtrlInsertModeNormal  "INSERT MODE (NORMAL)"  insert  <Esc>: normal mode
//   CtrlInsertModeDirect  "INSERT MODE (CELL)"    insert  <Esc>: cell mode
//   CtrlVisualModeInCell  "VISUAL MODE (TEXT)"    visual  <Esc>: normal mode
// The insert role of the family is CtrlInsertModeNormal; the cell modes
// enter CtrlInsertModeDirect to type into a cell.
//
// Registration: a diagram kind's context registers one instance of each of
// the four among its modes (set_modes()), each made by its create(). A mode
// is made in two steps (construction, then the editor), which create() does;
// there is no other way to make one.
//
// Keys are looked up in the mode's own key map, then in its editor's key
// table, then in its own CtrlBaseMode's. Of the base mode's actions, the
// cursor moves do nothing while text is edited, undo and redo work only in
// the normal role (where the editor leaves "u" free), and "cancel" leads
// where each mode says.
//
// Entering: the mode can be entered only while the context has a text
// element under the cursor (get_is_enterable()). A cursor request put on
// the mode before the switch (req_cursor(), in the preparation of
// CtrlContext::change_to) is applied on entry and then dropped.
//
// Leaving text editing (for a mode that is not a text mode) with the text
// under the cursor empty and alone in its cell removes that text: the undo
// step that created it is undone when it is the newest one and did nothing
// else (so nothing of the text stays in the history), otherwise the text goes
// in an undo step of its own. A family may keep such a text instead
// (keeps_empty_text()). Every leaving makes the newest undo step not
// mergeable, so the next edit starts a step of its own.
//
// Crossing: a cursor motion past the first or last line of the edited text
// moves into the neighbouring text element of the same chain by role (one
// role lower going back or up, one higher going on or down). The text
// crossed into stays the edited one while the user moves between text
// modes; leaving text editing drops it.
//
// Idle exit: an edit made in the visual role asks the mode to leave it; the
// mode returns to the normal role once the main loop is idle (priority 200),
// at most one such return being pending. A return still pending when the
// mode is left, or the mode destroyed, is dropped.
//
// Ownership: the context owns its modes, each mode its editor and its base
// mode. The editor's signals reach the mode through connections that end
// with the mode; the idle exit links to the mode weakly.

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>

#include <sigc++/trackable.h>

#include "common/cell_pos.h"
#include "common/scoped_connection.h"
#include "ctrl/context.h"
#include "ctrl/text/icell_text_mode.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

class CtrlITextEditable;
class CtrlTextEditorWithAction;
struct CtrlTextEditorContextParts;
class ModelTextElement;

class CtrlATextModeRoot : public CtrlMode, public sigc::trackable {
protected:
  // The constructors' pass: only create_mode() makes a text mode.
  class Key {
    friend class CtrlATextModeRoot;
    Key() = default;
  };

public:
  // Priority of the idle return from the visual role (GLib's default idle).
  static constexpr int EXIT_IDLE_PRIORITY = 200;

  // Makes a T (constructed from a Key, ctrl and args), then gives it its
  // editor (new_text_editor()) and connects the editor's signals.
  template <class T, class... Args>
  static std::shared_ptr<T> create_mode(CtrlContext& ctrl, Args&&... args)
  {
    auto mode = std::make_shared<T>(Key{}, ctrl, std::forward<Args>(args)...);
    mode->construct();
    return mode;
  }


  // --- Cursor request

  // Applied at the next entry, then dropped: (1, false) steps after the
  // character under the cursor unless it is a line feed or the end of the
  // text, (1, true) goes to the end of the line, (-1, true) to its start;
  // anything else leaves the cursor.
  CtrlATextModeRoot& req_cursor(int32_t dir, bool to_end);
  int32_t get_req_dir() const { return m_req_dir; }
  bool get_req_to_end() const { return m_req_to_end; }

  // --- What is edited

  // The context's text element under the cursor, or null.
  std::shared_ptr<ModelTextElement> get_text_elm() const;
  // Its text; "" without one.
  std::string get_text() const;
  // The text element the editor edits: the one crossed into, else the one
  // under the cursor; or null.
  std::shared_ptr<ModelTextElement> get_edited_text() const;
  // The newest included CtrlTextEditorWithAction: the mode's editor.
  std::shared_ptr<CtrlTextEditorWithAction> get_text_editor();
  // Whether the text under the cursor was empty when the mode was last
  // entered with one.
  bool get_was_empty() const { return m_was_empty; }
  // An idle return from the visual role is pending.
  bool get_is_exit_pending() const { return m_exit_idle.connected(); }

  // --- Mode operations

  // Sets up editing: see the header comment and on_enter() in the source.
  void on_enter() override;
  // Ends editing: deactivates the editor, hands a crossed-into text to a
  // next text mode, removes an empty lone text (header comment), ends the
  // undo step, redraws.
  void on_exit() override;
  // Outside the cursor cell: the cell mode on the pressed cell, true.
  // Inside: the visual role returns to the normal one; false, so that the
  // editor places its cursor.
  bool on_press_left_button(const Point& pt) override;
  // Out of the normal or insert role into the visual one; the drag goes on
  // in the visual mode's editor from where it started. False.
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override;
  // A text element is under the cursor.
  bool get_is_enterable() const override;

  // --- Text mode operations

  // The mode's editor, made once by create_mode(). Base: a typing editor
  // (CtrlTextEditorInsert) for the mode's context.
  virtual std::shared_ptr<CtrlTextEditorWithAction> new_text_editor();
  // elm's anchor cell in the workspace's current cells; (-1, -1) when it is
  // not stored there or elm is null.
  virtual CellPos get_text_pos(const std::shared_ptr<ModelTextElement>& elm);
  // The editor's update: after a text change, the cell of the changed text
  // is laid out again; then the canvas is redrawn.
  virtual void on_update_cb(const std::shared_ptr<CtrlITextEditable>& ite, bool text_changed);
  // The editor's overstep_cursor_limit: crossing into a neighbouring text
  // (header comment), with the steps not done and the remembered x. The
  // mode stays.
  virtual void on_overstep_cursor_limit_cb(int dx, int dy, int x);
  // The editor's exit_request: in the visual role, schedules the idle
  // return (cancel()) unless one is pending or requests are ignored.
  virtual void on_exit_req();
  // The editor's enter_request: from the normal role into the insert one.
  virtual void on_enter_req();
  // Base: into the normal role.
  virtual void cancel();
  // After an undo or redo: without a text under the cursor, the cell mode.
  virtual void survive();
  // The mode classes of the three roles.
  virtual std::type_index get_visual_mode() const = 0;
  virtual std::type_index get_normal_mode() const = 0;
  virtual std::type_index get_insert_mode() const = 0;

  // Whether an empty text left behind stays as it is rather than being
  // removed (see the header comment). Base: false; a family whose texts
  // belong to a larger element (a compartment of a box) keeps them.
  virtual bool keeps_empty_text(const ModelTextElement& text) const;

  // What an editor made for ctrl takes from it, for any mode of ctrl that
  // keeps a text editor of its own.
  static CtrlTextEditorContextParts editor_parts_for(CtrlContext& ctrl);

  // Whether the context's current mode is exactly of class type.
  bool now_mode_is(std::type_index type) const;
  // Switches to the registered mode of exactly class type, prepare running
  // on it first; true when it is current then.
  bool change_to_mode(std::type_index type, const CtrlContext::Prepare& prepare = {});
  // A preparation that puts the cursor request on a CtrlATextMode target
  // (any other target gets none).
  static CtrlContext::Prepare cursor_request(int32_t dir, bool to_end);

protected:
  // Includes the mode's own CtrlBaseMode and switches off its cursor moves
  // and, outside the normal role, its undo and redo.
  explicit CtrlATextModeRoot(CtrlContext& ctrl);

  // What an editor made for this mode's context takes from it.
  CtrlTextEditorContextParts editor_parts() const;
  // While set, exit requests schedule nothing.
  void set_exit_requests_ignored(bool ignored) { m_exit_requests_ignored = ignored; }

private:
  // The second step of making: the editor, included and connected.
  void construct();
  CtrlTextEditorWithAction& editor();
  // Applies and drops the cursor request.
  void apply_cursor_request(CtrlITextEditable& ite);
  // Gives the edited text an input-method location until the drawer
  // reports the real one.
  void ensure_cursor_location(CtrlITextEditable& ite);
  // The text crossed into becomes the next mode's edited text.
  void hand_over_text(CtrlATextModeRoot* next);
  void adopt_text(const std::shared_ptr<ModelTextElement>& text);
  void remove_empty_text();
  // The newest undo step stored text and did nothing else.
  bool head_action_created(const ModelTextElement& text) const;
  void run_exit_idle();

  int32_t m_req_dir = 0;
  bool m_req_to_end = false;
  bool m_was_empty = false;
  bool m_exit_requests_ignored = false;
  ScopedConnection m_exit_idle;
  // The neighbouring text crossed into while text is edited, or null.
  std::shared_ptr<ModelTextElement> m_crossed_text;
};

// The base of the text modes that have the normal and visual keys.
class CtrlATextMode : public CtrlATextModeRoot {
public:
  // Where a visual selection that runs across several text elements of one
  // box started: the cursor index in the start element, the element (null
  // when none; the in-cell modes never set it) and its index among the text
  // elements of its box.
  int32_t start_cursor_index = 0;
  std::shared_ptr<ModelTextElement> start_text_elm;
  int32_t start_elm_index = 0;

  // In the visual role: a release that leaves an empty selection in the
  // edited text returns to the normal role. False.
  bool on_release_left_button(const Point& pt) override;
  // Base: the editor cuts its selection to the clipboard.
  virtual void cut();

protected:
  explicit CtrlATextMode(CtrlContext& ctrl) : CtrlATextModeRoot(ctrl) {}

  // "insert-text" (i), "append-text" (a), "insert-text-to-first" (I),
  // "append-text-to-last" (A) into the insert role with their cursor
  // requests, "change-to-visualmode" (v) into the visual role; "cancel"
  // leads to the cell mode.
  void register_normal_keys();
  // "change-text" (c): cuts the selection and continues in the insert role.
  void register_visual_keys();
};

// The in-cell family: the roles are CtrlNormalModeInCell,
// CtrlInsertModeNormal and CtrlVisualModeInCell.
class CtrlAGTextMode : public CtrlATextMode {
public:
  std::type_index get_visual_mode() const override;
  std::type_index get_normal_mode() const override;
  std::type_index get_insert_mode() const override;

protected:
  explicit CtrlAGTextMode(CtrlContext& ctrl) : CtrlATextMode(ctrl) {}
};

// "NORMAL MODE (TEXT)": vi-like motions and edits on the text of the cursor
// cell; i, a, I, A and a double click start typing, v selecting.
class CtrlNormalModeInCell : public CtrlAGTextMode {
public:
  static std::shared_ptr<CtrlNormalModeInCell> create(CtrlContext& ctrl)
  {
    return create_mode<CtrlNormalModeInCell>(ctrl);
  }
  CtrlNormalModeInCell(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "NORMAL MODE (TEXT)"; }
  // A CtrlTextEditorNormal.
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  // Into CtrlInsertModeNormal. False.
  bool on_double_press_left_button(const Point& pt) override;
};

// "INSERT MODE (NORMAL)": typing, entered from the normal text mode, to
// which "cancel" returns.
class CtrlInsertModeNormal : public CtrlAGTextMode {
public:
  static std::shared_ptr<CtrlInsertModeNormal> create(CtrlContext& ctrl)
  {
    return create_mode<CtrlInsertModeNormal>(ctrl);
  }
  CtrlInsertModeNormal(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (NORMAL)"; }
};

// "INSERT MODE (CELL)": typing, entered straight from a cell mode, to which
// "cancel" returns.
// It is the text mode the cell modes enter (CtrlICellTextMode): only this
// one of the family takes that role.
class CtrlInsertModeDirect : public CtrlAGTextMode, public CtrlICellTextMode {
public:
  static std::shared_ptr<CtrlInsertModeDirect> create(CtrlContext& ctrl)
  {
    return create_mode<CtrlInsertModeDirect>(ctrl);
  }
  CtrlInsertModeDirect(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "INSERT MODE (CELL)"; }
  void request_cursor(int kind, bool to_end) override { req_cursor(kind, to_end); }
};

// "VISUAL MODE (TEXT)": selecting from where the cursor stood on entry; "c"
// changes the selection, "cancel" returns to the normal text mode.
class CtrlVisualModeInCell : public CtrlAGTextMode {
public:
  static std::shared_ptr<CtrlVisualModeInCell> create(CtrlContext& ctrl)
  {
    return create_mode<CtrlVisualModeInCell>(ctrl);
  }
  CtrlVisualModeInCell(Key key, CtrlContext& ctrl);

  std::string get_name() const override { return "VISUAL MODE (TEXT)"; }
  // A CtrlTextEditorNormal.
  std::shared_ptr<CtrlTextEditorWithAction> new_text_editor() override;
  // The base entry, then the editor selects from its cursor.
  void on_enter() override;
  // The base exit, then no text of the chain under the cursor keeps a
  // selected range.
  void on_exit() override;
};

} // namespace velkaro
