#pragma once
// The key bindings of one action handler: a sorted map from key patterns to
// action names, and the matcher that turns key presses into action names.
//
// Keys typed so far that begin a longer binding are kept as the pending
// leading keys until the next press decides; there is no time-out. Every
// change of the pending keys is announced through
// signal_update_leading_keys() with their printed form, or with "" when
// nothing is pending any more. Each map keeps its own pending keys.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <sigc++/sigc++.h>

#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_action_map_key_pattern.h"

namespace velkaro {

class CtrlKeyActionMap {
public:
  using SignalUpdateLeadingKeys = sigc::signal<void(const std::string&)>;

  CtrlKeyActionMap() = default;
  static std::shared_ptr<CtrlKeyActionMap> create() { return std::make_shared<CtrlKeyActionMap>(); }

  CtrlKeyActionMap(const CtrlKeyActionMap&) = delete;
  CtrlKeyActionMap& operator=(const CtrlKeyActionMap&) = delete;

  // Binds the pattern read from the text to the action, replacing the action
  // of an equal pattern ("<Enter>" and "<CR>" are one pattern); nullopt
  // removes the binding.
  void set(std::string_view pattern, const std::optional<std::string>& action);
  // The action bound to the pattern equal to the text's, if any.
  std::optional<std::string> get(std::string_view pattern) const;

  // One key press: the action name that is now complete, or nullopt.
  // A press of a modifier key alone changes nothing. A key that continues no
  // binding after pending keys clears them and is swallowed, not tried alone.
  // An exact binding waits while a longer binding continues it.
  std::optional<std::string> action(const KeyEvent& event);

  // The printed form of the event's key with its modifier state, as the
  // key-binding editor records it. Only one modifier can be printed: for a
  // key whose case carries Shift (a letter) with Control or Meta, that one is
  // printed, so the text reads back as the pressed key ("<C-Z>").
  static std::string e2str(const KeyEvent& event);

  const std::optional<CtrlKeyActionMapKeyPattern>& get_leading_keys() const { return m_leading_keys; }
  // Drops the pending keys; announces "" when some were pending.
  void clear_leading_keys();

  // Logs every binding at debug level after prefix.
  void debug_print(std::string_view prefix) const;

  SignalUpdateLeadingKeys& signal_update_leading_keys() { return m_signal_update_leading_keys; }

private:
  using Map = std::map<CtrlKeyActionMapKeyPattern, std::string>;

  void set_leading_keys(const CtrlKeyActionMapKeyPattern& pending);

  Map m_map;
  std::optional<CtrlKeyActionMapKeyPattern> m_leading_keys;
  SignalUpdateLeadingKeys m_signal_update_leading_keys;
};

} // namespace velkaro
