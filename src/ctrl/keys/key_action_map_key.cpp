#include "ctrl/keys/key_action_map_key.h"

#include <array>
#include <optional>

#include <gdk/gdk.h>

namespace velkaro {
namespace {

struct SpecialKey {
  std::string_view name;
  guint keyval;
};

// Names that GDK does not give, or gives differently. Printing takes the first
// row of a key value, so Return prints as "CR", never "Enter".
constexpr std::array<SpecialKey, 16> SPECIAL_KEYS{{
  {"BS", GDK_KEY_BackSpace},
  {"CR", GDK_KEY_Return},
  {"Enter", GDK_KEY_Return},
  {"Esc", GDK_KEY_Escape},
  {"lt", '<'},
  {"Bslash", '\\'},
  {"Bar", '|'},
  {"Del", GDK_KEY_Delete},
  {"PageDown", GDK_KEY_Page_Down},
  {"[", '['},
  {"]", ']'},
  {":", ':'},
  {";", ';'},
  {"Space", ' '},
  {"$", '$'},
  {"PageUp", GDK_KEY_Page_Up},
}};

std::optional<guint> special_keyval(std::string_view name)
{
  for (const SpecialKey& row : SPECIAL_KEYS)
    if (row.name == name)
      return row.keyval;
  return std::nullopt;
}

std::optional<std::string_view> special_name(guint keyval)
{
  for (const SpecialKey& row : SPECIAL_KEYS)
    if (row.keyval == keyval)
      return row.name;
  return std::nullopt;
}

bool keyval_is_shiftable(guint keyval) { return keyval == ' ' || (keyval >= 0xFF00 && keyval <= 0xFFFF); }

struct Modifier {
  std::string_view prefix;
  guint mask;
};

// Both the prefixes read from text and the order in which one is printed.
constexpr std::array<Modifier, 3> MODIFIERS{{
  {"<S-", CtrlKeyActionMapKey::SHIFT_MASK},
  {"<C-", CtrlKeyActionMapKey::CONTROL_MASK},
  {"<M-", CtrlKeyActionMapKey::META_MASK},
}};

} // namespace

KeyEvent to_key_event(const GdkEventKey& event)
{
  return KeyEvent{event.keyval, event.state, event.is_modifier != 0};
}

CtrlKeyActionMapKey::CtrlKeyActionMapKey(guint keyval, guint state)
  : m_keyval(keyval), m_state(state),
    m_id(calc_id(keyval, keyval_is_shiftable(keyval) ? state : state & ~SHIFT_MASK))
{
}

CtrlKeyActionMapKey CtrlKeyActionMapKey::from_name(std::string_view name)
{
  std::string_view body = name;
  guint state = 0;
  if (name.size() >= 2 && name.front() == '<' && name.back() == '>') {
    body = name.substr(1, name.size() - 2);
    // One prefix only: whatever follows it is the name.
    for (const Modifier& modifier : MODIFIERS) {
      if (name.starts_with(modifier.prefix)) {
        state = modifier.mask;
        body = name.substr(modifier.prefix.size(), name.size() - modifier.prefix.size() - 1);
        break;
      }
    }
  }
  const std::optional<guint> special = special_keyval(body);
  const guint keyval = special ? *special : gdk_keyval_from_name(std::string(body).c_str());
  if (!keyval_is_shiftable(keyval))
    state &= ~SHIFT_MASK;
  return CtrlKeyActionMapKey(keyval, state);
}

guint CtrlKeyActionMapKey::calc_id(guint keyval, guint state)
{
  guint id = keyval & 0x0FFFFFFF;
  if (state & CONTROL_MASK)
    id |= 0x40000000;
  if (state & META_MASK)
    id |= 0x20000000;
  if (state & SHIFT_MASK)
    id |= 0x10000000;
  return id;
}

bool CtrlKeyActionMapKey::is_shiftable() const { return keyval_is_shiftable(m_keyval); }

bool CtrlKeyActionMapKey::is_alnum() const
{
  return (m_keyval >= 'a' && m_keyval <= 'z') || (m_keyval >= 'A' && m_keyval <= 'Z') ||
         (m_keyval >= '0' && m_keyval <= '9');
}

std::string CtrlKeyActionMapKey::to_string() const
{
  std::string prefix = "<";
  std::string suffix = ">";
  const Modifier* modifier = nullptr;
  for (const Modifier& m : MODIFIERS) {
    if (m_state & m.mask) {
      modifier = &m;
      break;
    }
  }
  if (modifier)
    prefix = modifier->prefix;
  else if (is_alnum())
    prefix = suffix = "";

  std::string name;
  if (const auto special = special_name(m_keyval))
    name = *special;
  else if (const char* gdk_name = gdk_keyval_name(m_keyval))
    name = gdk_name;
  return prefix + name + suffix;
}

int CtrlKeyActionMapKey::compare_to(const CtrlKeyActionMapKey& other) const
{
  // Identities stay below 0x80000000, so the difference cannot overflow.
  return static_cast<int>(static_cast<gint32>(m_id - other.m_id));
}

} // namespace velkaro
