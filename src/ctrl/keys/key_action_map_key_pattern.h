#pragma once
// A key pattern: keys pressed one after another, read from and printed to
// the text form that users see and that the configuration file stores.
//
// Grammar, read byte by byte: outside a group every byte is one key named by
// that byte (">" included; a character of several UTF-8 bytes gives one key
// per byte); "<" opens a group that runs to the next ">" and names one key;
// inside a group every byte but ">" is plain. A group still open at the end
// of the text is dropped.
//
// Patterns compare key by key, the empty key standing for the positions past
// the shorter one's end, so a pattern sorts directly before its extensions.

#include <string>
#include <string_view>
#include <vector>

#include "ctrl/keys/key_action_map_key.h"

namespace velkaro {

class CtrlKeyActionMapKeyPattern {
public:
  CtrlKeyActionMapKeyPattern() = default;
  explicit CtrlKeyActionMapKeyPattern(std::string_view text);

  void add(const CtrlKeyActionMapKey& key) { m_keys.push_back(key); }
  // The key at index; the empty key for an index outside the pattern.
  const CtrlKeyActionMapKey& get(int index) const;
  int get_count() const { return static_cast<int>(m_keys.size()); }
  const std::vector<CtrlKeyActionMapKey>& get_keys() const { return m_keys; }

  // The keys' printed forms joined; "" for no key.
  std::string to_string() const;

  int compare_to(const CtrlKeyActionMapKeyPattern& other) const;
  // True when this pattern begins with other (other has no more keys and
  // each of its keys equals this pattern's key at the same position).
  bool may_match_to(const CtrlKeyActionMapKeyPattern& other) const;

  // Logs the printed form at debug level after prefix.
  void debug_print(std::string_view prefix) const;

  friend bool operator==(const CtrlKeyActionMapKeyPattern& a, const CtrlKeyActionMapKeyPattern& b)
  {
    return a.compare_to(b) == 0;
  }
  friend bool operator<(const CtrlKeyActionMapKeyPattern& a, const CtrlKeyActionMapKeyPattern& b)
  {
    return a.compare_to(b) < 0;
  }

private:
  std::vector<CtrlKeyActionMapKey> m_keys;
};

} // namespace velkaro
