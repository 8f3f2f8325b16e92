#pragma once
// CtrlActionWrapper: one named action of an action handler: what it does,
// how that is recorded for undo (CtrlRecord), whether it can be done now, its
// description for the key-binding editor, and the key patterns that start it.
//
// Running (action()): the work is a function reporting whether it did
// anything. Unrecorded, it just runs and the action counts as done. Recorded,
// it runs as one step of the handler's undo processor
// (CtrlActionProcessor::record), over the handler's workspace, and the action
// counts as done when the step did something; a handler without a processor
// or a workspace runs it unrecorded. Every run is a new step of its own: the
// wrapper keeps no action between runs.
//
// Keys. The application gives every action default keys (get_app_keys());
// the user may add and remove keys and restore the defaults, and those
// changes are stored in the configuration file: group = the handler's display
// name, key = the action name, value = the list of key pattern texts. An
// absent entry means the default keys; an entry with an empty list means no
// key at all. Registration only reads the entry; add_key(), rm_key() and
// restore() write it. A handler without a configuration store reads and
// writes nothing: its actions keep their default keys, and user changes last
// as long as the handler.
//
// First claimer: a wrapper never takes a key pattern that its key map
// already binds, so when two actions of a map claim one key the one
// registered first keeps it. add_key() of a key that another action holds
// changes nothing, neither in memory nor in the file, and returns false.
//
// Dups: other handlers of the same class (included by other modes), which
// share the configuration group; a key change made on a wrapper is made on
// each dup's wrapper of the same name too, one level deep.
//
// Lifecycle: constructed with the name "NONAME" and no handler; registering
// it in a handler (CtrlIActionHandler::add_action) gives it its name and
// handler and binds its keys. The handler link does not own the handler;
// when the handler's data goes, the wrapper is detached: it loses the link
// and its functions (they may refer to the handler), and no longer runs.
//
// Signal remapped(): emitted after every rebinding by user_remap() (and so
// by add_key, rm_key, restore and remap).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include "ctrl/undo/record.h"

namespace velkaro {

class CtrlIActionHandler;
class CtrlKeyActionMap;
class ModelStore;

class CtrlActionWrapper {
public:
  using Keys = std::vector<std::string>;
  // The work; true when it did something.
  using Run = std::function<bool()>;
  using IsActionableFunc = std::function<bool()>;
  // The function run for each dup's wrapper of the same name (null when the
  // dup has none).
  using DupFunc = std::function<void(const std::shared_ptr<CtrlActionWrapper>&)>;

  // A wrapper running run, recorded as record says, with default keys and a
  // description (nullopt: none, and the editor shows the name);
  // is_actionable may be empty (always actionable).
  static std::shared_ptr<CtrlActionWrapper> create(Run run, Keys keys, std::optional<std::string> description,
                                                   CtrlRecord record = CtrlRecord::none,
                                                   IsActionableFunc is_actionable = {});
  // The keyless wrapper of a replacement: no default key, no description,
  // no name and no handler (so a recorded one runs unrecorded).
  static std::shared_ptr<CtrlActionWrapper> create_replacement(Run run, CtrlRecord record = CtrlRecord::none,
                                                               IsActionableFunc is_actionable = {});

  // A wrapper that does nothing until a subclass says what (action()).
  CtrlActionWrapper(Keys keys, std::optional<std::string> description);
  virtual ~CtrlActionWrapper() = default;
  CtrlActionWrapper(const CtrlActionWrapper&) = delete;
  CtrlActionWrapper& operator=(const CtrlActionWrapper&) = delete;

  // --- Running

  // Does the action; true when it was handled. Base: runs the work as the
  // header comment says; false without one (also once detached).
  virtual bool action();
  CtrlRecord get_record() const { return m_record; }
  // The is-actionable test; true without one.
  bool get_is_actionable() const;
  bool has_is_actionable_func() const { return static_cast<bool>(m_is_actionable_func); }

  // --- Identity

  const std::string& get_name() const { return m_name; }
  // The owning handler, or null.
  CtrlIActionHandler* get_handler() const { return m_handler; }
  const std::optional<std::string>& get_description() const { return m_description; }

  // Called by CtrlIActionHandler::add_action when it registers the wrapper.
  void set_registered(const std::string& name, CtrlIActionHandler& handler);
  // Called when the handler's data goes (see the header comment).
  virtual void detach();

  // --- Keys

  // Binds the keys at registration: the stored list when the configuration
  // has an entry, else the default keys. Writes nothing, emits nothing.
  void assign(CtrlKeyActionMap& km);
  // Binds each key that km does not bind yet (and that names at least one
  // key), in order, and records the bound ones as this wrapper's keys in km.
  void assign_keys(CtrlKeyActionMap& km, const Keys& keys);
  // Unbinds this wrapper's recorded keys of km that are still bound to its
  // name, binds keys as assign_keys() does, emits remapped().
  void user_remap(CtrlKeyActionMap& km, const Keys& keys);
  // The keys become the default keys, then user_remap().
  void remap(CtrlKeyActionMap& km, const Keys& keys);

  // Gives the action one more key: propagated to the dups, bound in the
  // handler's key map and the whole list stored. True when the key now
  // starts this action (also when it did already; the stored list then holds
  // it twice). False, with nothing changed, when the key names no key or
  // another action holds it, or without a handler.
  bool add_key(const std::string& key);
  // Removes every occurrence of key from the action's keys and stores the
  // rest (an empty list when none is left).
  void rm_key(const std::string& key);
  // Binds the default keys again and deletes the stored entry.
  void restore();
  // Calls fn for each dup of the handler with its wrapper of this name.
  void on_each_dups(const DupFunc& fn) const;

  // remap keys when set, else the keys given at construction.
  const Keys& get_app_keys() const;
  // The keys this wrapper bound in its handler's key map.
  Keys get_assigned() const;
  // The bound keys and the default keys differ as sets.
  bool get_user_remapped() const;

  // The handler's configuration store, or null.
  std::shared_ptr<ModelStore> get_store() const;
  // The stored list; nullopt without a store or an entry.
  std::optional<Keys> get_setting_keys() const;
  // Stores the list, or deletes the entry for nullopt; nothing without a store.
  void set_setting_keys(const std::optional<Keys>& keys) const;

  static bool contains(const Keys& keys, const std::string& key);
  // Every string of a occurs in b and every string of b in a.
  static bool compare(const Keys& a, const Keys& b);

  sigc::signal<void()>& signal_remapped() { return m_signal_remapped; }

private:
  // The handler's key map, or null without a handler.
  CtrlKeyActionMap* get_key_action_map() const;
  // Whether km binds the text's pattern to this action.
  bool is_bound_here(const CtrlKeyActionMap& km, const std::string& key) const;

  Run m_run;
  CtrlRecord m_record = CtrlRecord::none;
  IsActionableFunc m_is_actionable_func;
  std::string m_name = "NONAME";
  CtrlIActionHandler* m_handler = nullptr;
  std::optional<std::string> m_description;
  Keys m_app_keys;
  std::optional<Keys> m_remap_keys;
  // Per key map (by identity), the keys this wrapper bound in it.
  std::map<const CtrlKeyActionMap*, Keys> m_assigned;
  sigc::signal<void()> m_signal_remapped;
};

} // namespace velkaro
