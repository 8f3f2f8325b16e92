#pragma once
// Small action handlers for the tests of actions, wrappers and handlers: a
// handler with a display name and its own data block whose logged actions
// write "<handler>:<action>" into a log shared by the handlers of a test,
// and a cursor holder that records where the processor puts the cursor.

#include <memory>
#include <string>
#include <vector>

#include "common/cell_pos.h"
#include "ctrl/keys/daction_handler.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/undo/icursor_holder.h"
#include "ctrl/keys/key_action_map_key.h"

namespace velkaro::test {

using Log = std::vector<std::string>;

class TestHandler : public CtrlIActionHandler {
public:
  static std::shared_ptr<TestHandler> create(std::string name, std::shared_ptr<Log> log = std::make_shared<Log>(),
                                             std::shared_ptr<CtrlActionProcessor> action_proc = nullptr,
                                             std::shared_ptr<ModelWorkspace> ws = nullptr,
                                             std::shared_ptr<ModelStore> store = nullptr)
  {
    return std::make_shared<TestHandler>(std::move(name), std::move(log), std::move(action_proc), std::move(ws),
                                         std::move(store));
  }

  TestHandler(std::string name, std::shared_ptr<Log> log, std::shared_ptr<CtrlActionProcessor> action_proc,
              std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<ModelStore> store)
    : log(std::move(log)), m_name(std::move(name)), m_data(std::move(action_proc), std::move(ws), std::move(store))
  {
  }

  CtrlDActionHandler& get_data_ah() override { return m_data; }
  std::string get_name() const override { return m_name; }

  // Registers action with keys; running it logs "<name>:<action>".
  void add_logged(const std::string& action, const Keys& keys, IsActionableFunc is_actionable = {})
  {
    void_action(action, keys, logger(action), std::nullopt, std::move(is_actionable));
  }
  // Replaces action with work that logs "<name>:<action>".
  void replace_logged(const std::string& action, IsActionableFunc is_actionable = {})
  {
    replace_void(action, logger(action), std::move(is_actionable));
  }

  std::shared_ptr<CtrlActionWrapper> wrapper(const std::string& action) { return get_ah_map().at(action); }
  std::optional<std::string> bound(const std::string& key) { return get_key_action_map().get(key); }
  // The printed pending keys of the own map, "" for none.
  std::string pending()
  {
    const auto& keys = get_key_action_map().get_leading_keys();
    return keys ? keys->to_string() : "";
  }

  std::shared_ptr<Log> log;

private:
  Func logger(const std::string& action)
  {
    return [this, action] { log->push_back(m_name + ":" + action); };
  }

  std::string m_name;
  CtrlDActionHandler m_data;
};

// Where the processor reads and puts the cursor.
class FakeCursor : public CtrlICursorHolder {
public:
  CellPos get_now_cell() const override { return now; }
  CellPos set_pos(const CellPos& pos) override
  {
    now = pos;
    moves.push_back(pos);
    return now;
  }

  CellPos now{0, 0};
  std::vector<CellPos> moves;
};

inline KeyEvent press(guint keyval, guint state = 0) { return KeyEvent{keyval, state, false}; }

// Presses each byte of keys as a key without modifiers; true when the last
// press ran an action.
inline bool type(CtrlIActionHandler& handler, const std::string& keys)
{
  bool ran = false;
  for (const char c : keys)
    ran = handler.action_by_eventkey(press(static_cast<guint>(c)));
  return ran;
}

} // namespace velkaro::test
