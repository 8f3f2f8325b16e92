#pragma once
// CtrlDActionHandler: the state behind an action handler (CtrlIActionHandler),
// one per handler: its key map, its included handlers and dups, its actions
// by name and in registration order, its replacements, and the undo
// processor, workspace and configuration store its actions work with.
//
// A handler made for a controller context takes the context's processor,
// workspace and store, so its actions that record (CtrlRecord) become steps
// of the history and its key changes are stored; one made without a context
// (the command line's text editor) has none of them: such actions run
// unrecorded and its keys stay as registered.
//
// Ownership: the handler owns its data (a member, or a unique_ptr), and the
// data owns its wrappers, included handlers and dups. When it goes, it
// detaches its wrappers (see CtrlActionWrapper), since their functions may
// refer to the handler.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include "ctrl/keys/key_action_map.h"

namespace velkaro {

class CtrlActionProcessor;
class CtrlActionWrapper;
class CtrlIActionHandler;
class ModelStore;
class ModelWorkspace;

class CtrlDActionHandler {
public:
  using NameSet = std::set<std::string>;
  using HandlerPtr = std::shared_ptr<CtrlIActionHandler>;
  using WrapperPtr = std::shared_ptr<CtrlActionWrapper>;
  using WrapperMap = std::map<std::string, WrapperPtr>;

  explicit CtrlDActionHandler(std::shared_ptr<CtrlActionProcessor> action_proc = nullptr,
                              std::shared_ptr<ModelWorkspace> ws = nullptr, std::shared_ptr<ModelStore> store = nullptr);
  ~CtrlDActionHandler();
  CtrlDActionHandler(const CtrlDActionHandler&) = delete;
  CtrlDActionHandler& operator=(const CtrlDActionHandler&) = delete;

  // The handler's own bindings: key pattern text to action name.
  CtrlKeyActionMap key_action_map;
  // Included handlers, the most recently included first.
  std::vector<HandlerPtr> included_modes;
  // Handlers of the same class whose same-named actions follow this
  // handler's key changes.
  std::vector<HandlerPtr> dups;
  // The handler's own actions by name.
  WrapperMap ah_map;
  // Every wrapper registered, in registration order (also one whose name was
  // registered again later).
  std::vector<WrapperPtr> ordered_actions;
  // Own work that replaces an included handler's action of the same name.
  WrapperMap replacement;
  // Whether the own actions run and count as actionable.
  bool is_actionable = true;
  std::shared_ptr<CtrlActionProcessor> action_proc;
  std::shared_ptr<ModelWorkspace> ws;
  std::shared_ptr<ModelStore> store;

  // Never emitted by the controller itself; the main window listens.
  sigc::signal<void()> state_changed;
  // The set of action names that can run now; the context emits it, menus
  // and tool bars listen.
  sigc::signal<void(const NameSet&)> update_actionable_name_sig;
};

} // namespace velkaro
