#include "ctrl/keys/key_action_map.h"

#include <algorithm>

namespace velkaro {

void CtrlKeyActionMap::set(std::string_view pattern, const std::optional<std::string>& action)
{
  CtrlKeyActionMapKeyPattern key_pattern(pattern);
  if (!action) {
    m_map.erase(key_pattern);
    return;
  }
  m_map.insert_or_assign(std::move(key_pattern), *action);
}

std::optional<std::string> CtrlKeyActionMap::get(std::string_view pattern) const
{
  const auto it = m_map.find(CtrlKeyActionMapKeyPattern(pattern));
  if (it == m_map.end())
    return std::nullopt;
  return it->second;
}

std::optional<std::string> CtrlKeyActionMap::action(const KeyEvent& event)
{
  if (event.is_modifier)
    return std::nullopt;
  CtrlKeyActionMapKeyPattern typed = m_leading_keys.value_or(CtrlKeyActionMapKeyPattern());
  typed.add(CtrlKeyActionMapKey(event.keyval, event.state));
  if (m_map.empty())
    return std::nullopt;

  const auto begins_with_typed = [&typed](const Map::value_type& entry) { return entry.first.may_match_to(typed); };
  const auto hit = std::find_if(m_map.begin(), m_map.end(), begins_with_typed);
  if (hit == m_map.end()) {
    // The key is swallowed: it is not tried again on its own.
    clear_leading_keys();
    return std::nullopt;
  }
  if (hit->first.get_count() > typed.get_count()) {
    set_leading_keys(typed);
    return std::nullopt;
  }
  const auto next = std::next(hit);
  if (next == m_map.end()) {
    clear_leading_keys();
    return hit->second;
  }
  if (begins_with_typed(*next)) {
    // A longer binding continues this one, so the exact one waits.
    set_leading_keys(typed);
    return std::nullopt;
  }
  m_leading_keys.reset();
  m_signal_update_leading_keys.emit("");
  return hit->second;
}

std::string CtrlKeyActionMap::e2str(const KeyEvent& event)
{
  guint state = event.state;
  // At most one modifier is printed, Shift first. A letter's case already
  // carries its Shift, so printing Shift would drop Control or Meta and name
  // another key: print the modifier that counts instead.
  const bool shift_in_keyval = !CtrlKeyActionMapKey(event.keyval, 0).is_shiftable();
  if (shift_in_keyval && (state & (CtrlKeyActionMapKey::CONTROL_MASK | CtrlKeyActionMapKey::META_MASK)))
    state &= ~CtrlKeyActionMapKey::SHIFT_MASK;
  return CtrlKeyActionMapKey(event.keyval, state).to_string();
}

void CtrlKeyActionMap::clear_leading_keys()
{
  if (!m_leading_keys)
    return;
  m_leading_keys.reset();
  m_signal_update_leading_keys.emit("");
}

void CtrlKeyActionMap::debug_print(std::string_view prefix) const
{
  for (const auto& [pattern, action] : m_map)
    g_debug("%.*s%s: %s", static_cast<int>(prefix.size()), prefix.data(), pattern.to_string().c_str(),
            action.c_str());
}

void CtrlKeyActionMap::set_leading_keys(const CtrlKeyActionMapKeyPattern& pending)
{
  m_leading_keys = pending;
  m_signal_update_leading_keys.emit(pending.to_string());
}

} // namespace velkaro
