#pragma once
// CtrlMode: the base of every editing mode (the shared key sets, the cell,
// range, select, select-cell and move-view modes, the text modes and each
// diagram kind's own modes). A mode is at once a key handler, a pointer
// handler and an action handler: the binders on the canvas deliver every key
// press and pointer event to the context's current mode, the mode turns a
// key press into a named action through its key maps (its own, then those
// of the modes it includes, newest first) and runs it, and its pointer
// callbacks do nothing unless a subclass overrides them. The base also gives
// every mode short paths to its context: switching modes, undo and redo,
// and recording a step of the history.
//
// The context's actions. A mode the context registers (set_modes) takes the
// context's own actions, which hold the window's commands and the View
// menu's switches, as a set it includes and asks first: a name run on it
// (by a key, or by a menu through CtrlContext::action) runs the context's
// action of that name when there is one and the context is actionable, and
// otherwise the mode's own and those of its sets. They bind no key, so key
// presses still resolve in the mode's own maps. The key sets a mode includes
// are not registered and never ask the context, so no name goes round
// between a mode and its context.
//
// A mode is current between its on_enter() and its on_exit(); the first
// mode registered in a context becomes current without on_enter(). A mode
// whose get_is_enterable() is false is never entered.
//
// Ownership: the context owns its modes (and each mode the modes it
// includes); a mode reaches its context through the context's link, which
// does not own it. get_ctrl() may be used while the context lives, which is
// as long as the mode is used by the context and its binders. Modes are
// always owned by std::shared_ptr (the binders link to them weakly).
// Delegates a mode registers capture this, never a counted reference to the
// mode.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ctrl/context.h"
#include "ctrl/keys/daction_handler.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/keys/imouse_handler.h"

namespace velkaro {

class ModelWorkspace;
class Point;

class CtrlMode : public CtrlIKeyHandler,
                 public CtrlIMouseHandler,
                 public CtrlIActionHandler,
                 public std::enable_shared_from_this<CtrlMode> {
public:
  // A mode of ctrl: its action handler data takes the context's processor,
  // workspace and configuration store.
  explicit CtrlMode(CtrlContext& ctrl);
  ~CtrlMode() override;
  CtrlMode(const CtrlMode&) = delete;
  CtrlMode& operator=(const CtrlMode&) = delete;

  // --- Virtual operations. Points are in canvas units; a true result means
  // the event was handled.

  virtual void on_enter() {}
  virtual void on_exit() {}
  // The other pointer operations keep the interface's defaults (false).
  // Base: pops up the context's context menu (when it has one) and reports
  // the press handled.
  bool on_press_right_button(const Point& pt) override;
  // Base: the canvas's zoom; 1.0 without a canvas or a context.
  double get_zoom() const override;
  // The display name, upper case ("CELL MODE"); also the group of the
  // mode's key bindings in the configuration file.
  std::string get_name() const override = 0;
  // Base: true.
  virtual bool get_is_enterable() const { return true; }

  // --- Key handler: the key maps yield an action name and it runs.

  bool key_press(GdkEventKey& event) override;

  // --- Action handler.

  CtrlDActionHandler& get_data_ah() override { return m_data; }
  // A registered mode: the context's own action of the name first (see the
  // header comment); then the handler's default.
  bool action(const std::optional<std::string>& name) override;
  // Set by CtrlContext::set_modes for the modes it registers.
  bool get_is_registered() const { return m_registered; }
  void set_registered(bool registered) { m_registered = registered; }

  // --- Paths to the context.

  // The context; only while it lives (has_ctrl()).
  CtrlContext& get_ctrl() const;
  bool has_ctrl() const { return m_link->ctx != nullptr; }
  // The context's workspace.
  const std::shared_ptr<ModelWorkspace>& get_ws() const;

  // The context's change_to().
  template <class T>
  bool change_to(const std::function<void(T&)>& prepare = {})
  {
    return get_ctrl().change_to<T>(prepare);
  }
  // When the cell under pt is the cursor cell, false and nothing changes;
  // otherwise the context switches to its default mode, the cursor goes to
  // that cell, and true. A click outside the cell under edit thus falls
  // back to the cell mode at the clicked cell.
  bool change_to_cell_mode_if_need(const Point& pt);
  // The context's with_diff() and with_diff_if(): fn as a step of the
  // history.
  bool with_diff(const std::function<void()>& fn);
  bool with_diff_if(const std::function<bool()>& fn);
  // Undoes the newest action and puts the cursor back on its cell.
  void undo();
  void redo();

private:
  std::shared_ptr<const CtrlContextLink> m_link;
  CtrlDActionHandler m_data;
  bool m_registered = false;
};

} // namespace velkaro
