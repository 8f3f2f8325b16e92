#include "ctrl/keys/iaction_handler.h"

#include <algorithm>
#include <utility>

#include "common/check.h"

namespace velkaro {

namespace {

// Adds the name when the test passes, removes it when it fails.
void add_or_remove(CtrlIActionHandler::NameSet& names, const std::string& name, bool actionable)
{
  if (actionable)
    names.insert(name);
  else
    names.erase(name);
}

} // namespace

CtrlIActionHandler::NameSet CtrlIActionHandler::enum_actionable_name()
{
  NameSet names;
  if (!get_is_actionable())
    return names;
  // Copies: a test may register or include something.
  const auto included = get_included_modes();
  for (const auto& handler : included) {
    if (handler->get_is_actionable())
      names.merge(handler->enum_actionable_name());
  }
  const auto own = get_ah_map();
  for (const auto& [name, wrapper] : own)
    add_or_remove(names, name, wrapper->get_is_actionable());
  const auto replacements = get_replacement();
  for (const auto& [name, wrapper] : replacements) {
    if (wrapper->has_is_actionable_func())
      add_or_remove(names, name, wrapper->get_is_actionable());
  }
  return names;
}

bool CtrlIActionHandler::action(const std::optional<std::string>& name)
{
  if (!name)
    return false;
  if (get_is_actionable() && action_own(name))
    return true;
  const auto included = get_included_modes();
  for (const auto& handler : included) {
    if (handler->action(name))
      return true;
  }
  return false;
}

bool CtrlIActionHandler::get_is_actionable() { return get_data_ah().is_actionable; }

void CtrlIActionHandler::set_is_actionable(bool actionable) { get_data_ah().is_actionable = actionable; }

bool CtrlIActionHandler::get_is_undoable()
{
  const auto& data = get_data_ah();
  return data.ws && data.action_proc;
}

void CtrlIActionHandler::add_action(const std::string& name, const WrapperPtr& wrapper)
{
  VK_CHECK(wrapper);
  auto& data = get_data_ah();
  data.ordered_actions.push_back(wrapper);
  data.ah_map[name] = wrapper;
  wrapper->set_registered(name, *this);
  wrapper->assign(data.key_action_map);
}

void CtrlIActionHandler::add_action(const std::string& name, const Keys& keys, Run run,
                                    std::optional<std::string> description, CtrlRecord record,
                                    IsActionableFunc is_actionable)
{
  add_action(name, CtrlActionWrapper::create(std::move(run), keys, std::move(description), record,
                                             std::move(is_actionable)));
}

void CtrlIActionHandler::void_action(const std::string& name, const Keys& keys, Func func,
                                     std::optional<std::string> description, IsActionableFunc is_actionable)
{
  add_action(
    name, keys,
    [func = std::move(func)] {
      func();
      return true;
    },
    std::move(description), CtrlRecord::none, std::move(is_actionable));
}

void CtrlIActionHandler::replace_void(const std::string& name, Func func, IsActionableFunc is_actionable)
{
  auto wrapper = CtrlActionWrapper::create_replacement(
    [func = std::move(func)] {
      func();
      return true;
    },
    CtrlRecord::none, std::move(is_actionable));
  get_data_ah().replacement[name] = std::move(wrapper);
}

void CtrlIActionHandler::remap(const std::string& name, const Keys& keys)
{
  auto& data = get_data_ah();
  const auto it = data.ah_map.find(name);
  VK_CHECK(it != data.ah_map.end());
  it->second->remap(data.key_action_map, keys);
}

void CtrlIActionHandler::include(const HandlerPtr& handler)
{
  VK_CHECK(handler);
  auto& included = get_data_ah().included_modes;
  included.insert(included.begin(), handler);
}

void CtrlIActionHandler::add_dup(const HandlerPtr& handler)
{
  VK_CHECK(handler);
  get_data_ah().dups.push_back(handler);
}

std::optional<std::string> CtrlIActionHandler::get_action_name(const KeyEvent& event)
{
  auto name = get_key_action_map().action(event);
  if (!name) {
    const auto included = get_included_modes();
    for (const auto& handler : included) {
      name = handler->get_action_name(event);
      if (name)
        break;
    }
  }
  if (name)
    clear_leading_keys();
  return name;
}

bool CtrlIActionHandler::action_by_eventkey(const KeyEvent& event) { return action(get_action_name(event)); }

bool CtrlIActionHandler::action_own(const std::optional<std::string>& name)
{
  if (!get_is_actionable() || !name)
    return false;
  auto& data = get_data_ah();
  WrapperPtr wrapper;
  if (const auto it = data.replacement.find(*name); it != data.replacement.end())
    wrapper = it->second;
  else if (const auto own = data.ah_map.find(*name); own != data.ah_map.end())
    wrapper = own->second;
  // wrapper is held: the action may register another under its name.
  return wrapper && wrapper->action();
}

void CtrlIActionHandler::clear_leading_keys()
{
  get_key_action_map().clear_leading_keys();
  for (const auto& handler : get_included_modes())
    handler->clear_leading_keys();
}

std::optional<CtrlKeyActionMapKeyPattern> CtrlIActionHandler::get_pending_keys()
{
  std::optional<CtrlKeyActionMapKeyPattern> longest;
  each_key_action_map([&longest](CtrlKeyActionMap& map) {
    const auto& keys = map.get_leading_keys();
    if (keys && (!longest || keys->get_count() > longest->get_count()))
      longest = keys;
  });
  return longest;
}

void CtrlIActionHandler::each_key_action_map(const std::function<void(CtrlKeyActionMap&)>& fn)
{
  std::vector<CtrlIActionHandler*> seen;
  const std::function<void(CtrlIActionHandler&)> visit = [&](CtrlIActionHandler& handler) {
    if (std::find(seen.begin(), seen.end(), &handler) != seen.end())
      return;
    seen.push_back(&handler);
    fn(handler.get_key_action_map());
    // A copy: fn may run code that changes the list.
    const auto included = handler.get_included_modes();
    for (const auto& h : included)
      visit(*h);
  };
  visit(*this);
}

} // namespace velkaro
