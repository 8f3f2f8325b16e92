#pragma once
// CtrlIActionHandler: everything that owns named actions and the key map
// that starts them: the controller context, every mode, the command line and
// the text editors. The state lives in the handler's data block
// (CtrlDActionHandler, get_data_ah()); this interface supplies registration,
// inclusion and dispatch once, over that block.
//
// Registration: add_action() and the helpers built on it register a wrapper
// under a name and bind its keys in the own key map; the first action that
// claims a key pattern keeps it, so registration order decides. Registering a
// name again puts the new wrapper in its place; the earlier one keeps its
// keys (bound to the name) and stays in the ordered list. Register actions in
// the constructor of the class that gives the display name (get_name()
// names the configuration group the keys are read from), or later.
//
// Inclusion: an included handler's keys and actions serve this handler too.
// The handler included last is asked first. A key event is resolved by the
// own key map first, then by each included handler in turn; the name found
// runs on this handler (action()), which looks at its own replacements and
// actions first, so a replacement keeps the keys of the action it replaces.
// When any map yields a name, every map of this handler and of the handlers
// it includes drops its pending keys: a pending key left in a map that did
// not decide would otherwise complete a different binding at a later press.
// Whoever switches between handlers (the context, on a mode switch) calls
// clear_leading_keys() for the same reason.
//
// The actionable set (enum_actionable_name()) is what menus and tool buttons
// enable. The is-actionable test of a wrapper decides only its membership in
// the set: an action whose test fails still runs when its key is pressed or
// its name is run.
//
// Ownership: included handlers and dups are counted references. A delegate
// registered by a handler must not hold a counted reference to that handler
// (a cycle): capture this or a weak_ptr.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ctrl/keys/action_wrapper.h"
#include "ctrl/keys/daction_handler.h"

namespace velkaro {

struct KeyEvent;

class CtrlIActionHandler {
public:
  using NameSet = CtrlDActionHandler::NameSet;
  using HandlerPtr = CtrlDActionHandler::HandlerPtr;
  using WrapperPtr = CtrlDActionHandler::WrapperPtr;
  using WrapperMap = CtrlDActionHandler::WrapperMap;
  using Keys = CtrlActionWrapper::Keys;
  using Func = std::function<void()>;
  using Run = CtrlActionWrapper::Run;
  using IsActionableFunc = std::function<bool()>;

  virtual ~CtrlIActionHandler() = default;

  // --- Virtual operations

  // The action names that can run now. Default: nothing when the handler is
  // not actionable; else the sets of the actionable included handlers, then
  // each own action added when its test passes and removed when it fails
  // (so an own action that cannot run hides an included one of its name),
  // then each replacement that has a test added or removed the same way.
  virtual NameSet enum_actionable_name();
  // Runs the named action; true when one ran. Default: the own action
  // (action_own()) while the handler is actionable; when there is none or
  // it returned false, each included handler in turn until one returns true.
  // nullopt runs nothing.
  virtual bool action(const std::optional<std::string>& name);
  // The handler's data block.
  virtual CtrlDActionHandler& get_data_ah() = 0;
  // The display name, which also names the configuration group of the
  // handler's key bindings: a mode's name ("CELL MODE"), a text editor's,
  // otherwise the handler's class name ("CtrlCmdCtrl"). Exact text.
  virtual std::string get_name() const = 0;
  // Default: the data block's flag.
  virtual bool get_is_actionable();
  virtual void set_is_actionable(bool actionable);

  // --- The data block's parts

  CtrlKeyActionMap& get_key_action_map() { return get_data_ah().key_action_map; }
  const std::vector<HandlerPtr>& get_included_modes() { return get_data_ah().included_modes; }
  const WrapperMap& get_ah_map() { return get_data_ah().ah_map; }
  const std::vector<WrapperPtr>& get_ordered_actions() { return get_data_ah().ordered_actions; }
  const WrapperMap& get_replacement() { return get_data_ah().replacement; }
  // A copy of the ordered actions, for the key-binding editor.
  std::vector<WrapperPtr> enum_actions() { return get_data_ah().ordered_actions; }
  // The data block has both a workspace and a processor.
  bool get_is_undoable();

  // --- Registration

  // Registers wrapper under name (see the header comment) and binds its
  // keys: the stored user keys when the configuration has an entry, else its
  // default keys.
  void add_action(const std::string& name, const WrapperPtr& wrapper);
  // An action running run, recorded as record says (see CtrlActionWrapper);
  // the one registration a key table's rows go through (ctrl_register_rows,
  // action_row.h).
  void add_action(const std::string& name, const Keys& keys, Run run, std::optional<std::string> description,
                  CtrlRecord record, IsActionableFunc is_actionable = {});
  // An unrecorded action running func.
  void void_action(const std::string& name, const Keys& keys, Func func, std::optional<std::string> description,
                   IsActionableFunc is_actionable = {});
  // Own work under the name of an included handler's action (replacing an
  // earlier replacement); binds no key. A replacement without a test leaves
  // the name's membership in the actionable set as the included handlers
  // decide.
  void replace_void(const std::string& name, Func func, IsActionableFunc is_actionable = {});
  // Makes keys the default keys of the own action name and binds them.
  void remap(const std::string& name, const Keys& keys);
  // handler's keys and actions serve this handler too; it is asked before
  // those included earlier.
  void include(const HandlerPtr& handler);
  // handler's same-named actions follow this handler's key changes.
  void add_dup(const HandlerPtr& handler);

  // --- Dispatch

  // The name the key event resolves to, or nullopt (see the header comment).
  std::optional<std::string> get_action_name(const KeyEvent& event);
  // Resolves the event and runs the name on this handler; true when an
  // action ran.
  bool action_by_eventkey(const KeyEvent& event);
  // Runs the own replacement of the name, else the own action; false when the
  // handler is not actionable or has neither. The wrapper's test is not asked.
  bool action_own(const std::optional<std::string>& name);
  // Drops the pending keys of the own key map and of every included
  // handler's maps.
  void clear_leading_keys();
  // What the user has typed so far towards a binding of this handler: the
  // longest pending keys among the own key map and the maps of the
  // included handlers (the own map's on a tie); nullopt when no map holds
  // any. Every map sees every key until one yields a name, so the longest
  // is the whole pending run, whichever map holds the matching prefix.
  std::optional<CtrlKeyActionMapKeyPattern> get_pending_keys();
  // Calls fn with the own key map, then with those of the included handlers
  // in the order they are asked (each of their own included ones after it);
  // a handler included along two ways is visited once.
  void each_key_action_map(const std::function<void(CtrlKeyActionMap&)>& fn);

  // An action that does nothing and a test that always fails: replacing an
  // included action with both switches it off.
  static void do_nothing() {}
  static bool never_actionable() { return false; }

  // --- Signals (held by the data block)

  sigc::signal<void()>& signal_state_changed() { return get_data_ah().state_changed; }
  sigc::signal<void(const NameSet&)>& signal_update_actionable_name_sig()
  {
    return get_data_ah().update_actionable_name_sig;
  }
};

} // namespace velkaro
