#include "ctrl/keys/key_action_map_key_pattern.h"

#include <algorithm>

namespace velkaro {
namespace {

const CtrlKeyActionMapKey EMPTY_KEY;

} // namespace

CtrlKeyActionMapKeyPattern::CtrlKeyActionMapKeyPattern(std::string_view text)
{
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] != '<') {
      m_keys.push_back(CtrlKeyActionMapKey::from_name(text.substr(pos, 1)));
      ++pos;
      continue;
    }
    const std::size_t close = text.find('>', pos + 1);
    if (close == std::string_view::npos)
      break;
    m_keys.push_back(CtrlKeyActionMapKey::from_name(text.substr(pos, close - pos + 1)));
    pos = close + 1;
  }
}

const CtrlKeyActionMapKey& CtrlKeyActionMapKeyPattern::get(int index) const
{
  if (index < 0 || index >= get_count())
    return EMPTY_KEY;
  return m_keys[static_cast<std::size_t>(index)];
}

std::string CtrlKeyActionMapKeyPattern::to_string() const
{
  std::string text;
  for (const CtrlKeyActionMapKey& key : m_keys)
    text += key.to_string();
  return text;
}

int CtrlKeyActionMapKeyPattern::compare_to(const CtrlKeyActionMapKeyPattern& other) const
{
  const int count = std::max(get_count(), other.get_count());
  for (int i = 0; i < count; ++i) {
    const int cmp = get(i).compare_to(other.get(i));
    if (cmp != 0)
      return cmp;
  }
  return 0;
}

bool CtrlKeyActionMapKeyPattern::may_match_to(const CtrlKeyActionMapKeyPattern& other) const
{
  if (get_count() < other.get_count())
    return false;
  return std::equal(other.m_keys.begin(), other.m_keys.end(), m_keys.begin());
}

void CtrlKeyActionMapKeyPattern::debug_print(std::string_view prefix) const
{
  g_debug("%.*s%s", static_cast<int>(prefix.size()), prefix.data(), to_string().c_str());
}

} // namespace velkaro
