#include "ctrl/keys/action_wrapper.h"

#include <algorithm>
#include <utility>

#include "common/check.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/keys/key_action_map.h"
#include "model/store.h"

namespace velkaro {

CtrlActionWrapper::CtrlActionWrapper(Keys keys, std::optional<std::string> description)
  : m_description(std::move(description)), m_app_keys(std::move(keys))
{
}

std::shared_ptr<CtrlActionWrapper> CtrlActionWrapper::create(Run run, Keys keys, std::optional<std::string> description,
                                                             CtrlRecord record, IsActionableFunc is_actionable)
{
  auto wrapper = std::make_shared<CtrlActionWrapper>(std::move(keys), std::move(description));
  wrapper->m_run = std::move(run);
  wrapper->m_record = record;
  wrapper->m_is_actionable_func = std::move(is_actionable);
  return wrapper;
}

std::shared_ptr<CtrlActionWrapper> CtrlActionWrapper::create_replacement(Run run, CtrlRecord record,
                                                                         IsActionableFunc is_actionable)
{
  return create(std::move(run), {}, std::nullopt, record, std::move(is_actionable));
}

bool CtrlActionWrapper::action()
{
  if (!m_run)
    return false;
  // Copies: the work may register another wrapper under this name, or drop
  // the handler with this wrapper.
  const Run run = m_run;
  if (m_record != CtrlRecord::none && m_handler) {
    const CtrlDActionHandler& data = m_handler->get_data_ah();
    if (const auto proc = data.action_proc; proc && data.ws) {
      const auto ws = data.ws;
      return proc->record(ws, m_record, run);
    }
  }
  (void)run();
  return true;
}

bool CtrlActionWrapper::get_is_actionable() const { return !m_is_actionable_func || m_is_actionable_func(); }

void CtrlActionWrapper::set_registered(const std::string& name, CtrlIActionHandler& handler)
{
  m_name = name;
  m_handler = &handler;
}

void CtrlActionWrapper::detach()
{
  m_handler = nullptr;
  m_run = nullptr;
  m_is_actionable_func = nullptr;
}

// --- Binding

void CtrlActionWrapper::assign(CtrlKeyActionMap& km)
{
  const auto stored = get_setting_keys();
  assign_keys(km, stored ? *stored : get_app_keys());
}

void CtrlActionWrapper::assign_keys(CtrlKeyActionMap& km, const Keys& keys)
{
  Keys bound;
  for (const auto& key : keys) {
    // A text that names no key (an unterminated group) would bind the empty
    // pattern, which no press reaches.
    if (CtrlKeyActionMapKeyPattern(key).get_count() == 0 || km.get(key))
      continue;
    km.set(key, m_name);
    bound.push_back(key);
  }
  m_assigned[&km] = std::move(bound);
}

void CtrlActionWrapper::user_remap(CtrlKeyActionMap& km, const Keys& keys)
{
  if (const auto it = m_assigned.find(&km); it != m_assigned.end()) {
    for (const auto& key : it->second) {
      if (is_bound_here(km, key))
        km.set(key, std::nullopt);
    }
  }
  assign_keys(km, keys);
  m_signal_remapped.emit();
}

void CtrlActionWrapper::remap(CtrlKeyActionMap& km, const Keys& keys)
{
  m_remap_keys = keys;
  user_remap(km, keys);
}

// --- User changes

bool CtrlActionWrapper::add_key(const std::string& key)
{
  CtrlKeyActionMap* km = get_key_action_map();
  VK_CHECK_VAL(km, false);
  const auto holder = km->get(key);
  if (CtrlKeyActionMapKeyPattern(key).get_count() == 0 || (holder && *holder != m_name))
    return false;
  on_each_dups([&key](const std::shared_ptr<CtrlActionWrapper>& dup) {
    VK_CHECK(dup);
    dup->add_key(key);
  });
  Keys keys = get_assigned();
  keys.push_back(key);
  user_remap(*km, keys);
  set_setting_keys(keys);
  return is_bound_here(*km, key);
}

void CtrlActionWrapper::rm_key(const std::string& key)
{
  CtrlKeyActionMap* km = get_key_action_map();
  VK_CHECK(km);
  on_each_dups([&key](const std::shared_ptr<CtrlActionWrapper>& dup) {
    VK_CHECK(dup);
    dup->rm_key(key);
  });
  Keys keys = get_assigned();
  std::erase(keys, key);
  user_remap(*km, keys);
  set_setting_keys(keys);
}

void CtrlActionWrapper::restore()
{
  CtrlKeyActionMap* km = get_key_action_map();
  VK_CHECK(km);
  on_each_dups([](const std::shared_ptr<CtrlActionWrapper>& dup) {
    VK_CHECK(dup);
    dup->restore();
  });
  user_remap(*km, get_app_keys());
  set_setting_keys(std::nullopt);
}

void CtrlActionWrapper::on_each_dups(const DupFunc& fn) const
{
  if (!m_handler)
    return;
  // A copy: the function may change the list.
  const auto dups = m_handler->get_data_ah().dups;
  for (const auto& dup : dups) {
    const auto& map = dup->get_ah_map();
    const auto it = map.find(m_name);
    fn(it != map.end() ? it->second : nullptr);
  }
}

// --- Keys as lists

const CtrlActionWrapper::Keys& CtrlActionWrapper::get_app_keys() const
{
  return m_remap_keys ? *m_remap_keys : m_app_keys;
}

CtrlActionWrapper::Keys CtrlActionWrapper::get_assigned() const
{
  const auto it = m_assigned.find(get_key_action_map());
  return it != m_assigned.end() ? it->second : Keys{};
}

bool CtrlActionWrapper::get_user_remapped() const { return !compare(get_assigned(), get_app_keys()); }

std::shared_ptr<ModelStore> CtrlActionWrapper::get_store() const
{
  return m_handler ? m_handler->get_data_ah().store : nullptr;
}

std::optional<CtrlActionWrapper::Keys> CtrlActionWrapper::get_setting_keys() const
{
  const auto store = get_store();
  if (!store)
    return std::nullopt;
  return store->get_values(m_name, m_handler->get_name());
}

void CtrlActionWrapper::set_setting_keys(const std::optional<Keys>& keys) const
{
  const auto store = get_store();
  if (!store)
    return;
  if (keys)
    store->save_values(m_name, *keys, m_handler->get_name());
  else
    store->remove_key(m_name, m_handler->get_name());
}

bool CtrlActionWrapper::contains(const Keys& keys, const std::string& key)
{
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool CtrlActionWrapper::compare(const Keys& a, const Keys& b)
{
  const auto all_in = [](const Keys& from, const Keys& in) {
    return std::all_of(from.begin(), from.end(), [&in](const std::string& s) { return contains(in, s); });
  };
  return all_in(a, b) && all_in(b, a);
}

CtrlKeyActionMap* CtrlActionWrapper::get_key_action_map() const
{
  return m_handler ? &m_handler->get_key_action_map() : nullptr;
}

bool CtrlActionWrapper::is_bound_here(const CtrlKeyActionMap& km, const std::string& key) const
{
  const auto bound = km.get(key);
  return bound && *bound == m_name;
}

} // namespace velkaro
