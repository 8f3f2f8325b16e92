#pragma once
// One key of a key pattern: a GDK key value with its modifier state and a
// packed identity that decides equality and order.
//
// Identity: the key value's low 28 bits, plus 0x40000000 for Control,
// 0x20000000 for Meta and 0x10000000 for Shift. Every other modifier (Alt,
// Caps Lock, Num Lock, Super, pointer buttons) is ignored. Shift counts only
// for shiftable keys (space and GDK's 0xFF00..0xFFFF range): for a letter the
// case is already in the key value ("G" against "g").
//
// Text form: "x" for a letter or digit, "<Name>" otherwise, "<S-Name>",
// "<C-Name>" or "<M-Name>" with at most one modifier, printed in the order
// Shift, Control, Meta. Names come from a short table of special names
// ("CR", "Esc", "Space", "lt", ...) and otherwise from GDK.

#include <string>
#include <string_view>

#include <glib.h>

typedef struct _GdkEventKey GdkEventKey;

namespace velkaro {

// A key press as the key maps see it: GDK's key value and modifier state, and
// whether the pressed key is itself a modifier (Shift, Control, Alt alone).
struct KeyEvent {
  guint keyval = 0;
  guint state = 0;
  bool is_modifier = false;
};

// The one place where a GDK key event becomes a key press value.
KeyEvent to_key_event(const GdkEventKey& event);

class CtrlKeyActionMapKey {
public:
  // GDK's modifier bits.
  static constexpr guint SHIFT_MASK = 0x1;
  static constexpr guint CONTROL_MASK = 0x4;
  static constexpr guint META_MASK = 0x10000000;

  // The empty key: key value 0, state 0, identity 0. It stands for the
  // positions past the end of a pattern.
  CtrlKeyActionMapKey() = default;
  // A pressed key: the state is kept whole, Shift included; the identity
  // leaves Shift out when the key is not shiftable.
  CtrlKeyActionMapKey(guint keyval, guint state);
  // A key named by one byte ("g") or by a whole group ("<C-c>", "<CR>"). A
  // name that is neither a special name nor known to GDK gives GDK's void key
  // value, which no key press produces. The stored state loses Shift when the
  // key is not shiftable.
  static CtrlKeyActionMapKey from_name(std::string_view name);

  static guint calc_id(guint keyval, guint state);

  guint get_keyval() const { return m_keyval; }
  guint get_state() const { return m_state; }
  guint get_id() const { return m_id; }
  bool is_shiftable() const;
  bool is_alnum() const;

  std::string to_string() const;

  // Negative, zero or positive as this key's identity is below, equal to or
  // above the other's.
  int compare_to(const CtrlKeyActionMapKey& other) const;
  friend bool operator==(const CtrlKeyActionMapKey& a, const CtrlKeyActionMapKey& b) { return a.m_id == b.m_id; }

private:
  guint m_keyval = 0;
  guint m_state = 0;
  guint m_id = 0;
};

} // namespace velkaro
