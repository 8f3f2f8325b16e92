#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "ctrl/keys/key_action_map.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_action_map_key_pattern.h"

namespace velkaro {
namespace {

constexpr guint SHIFT_BIT = CtrlKeyActionMapKey::SHIFT_MASK;
constexpr guint CONTROL = CtrlKeyActionMapKey::CONTROL_MASK;
constexpr guint META = CtrlKeyActionMapKey::META_MASK;

struct KeyValue {
  guint keyval;
  guint state;
  bool operator==(const KeyValue&) const = default;
};

void PrintTo(const KeyValue& k, std::ostream* os) { *os << "{0x" << std::hex << k.keyval << ", 0x" << k.state << "}"; }

std::vector<KeyValue> keys_of(const CtrlKeyActionMapKeyPattern& pattern)
{
  std::vector<KeyValue> keys;
  for (const CtrlKeyActionMapKey& key : pattern.get_keys())
    keys.push_back({key.get_keyval(), key.get_state()});
  return keys;
}

struct TextCase {
  const char* text;
  std::vector<KeyValue> keys;
  const char* printed;
};

// Pattern text -> keys -> printed text; the printed text reads back as the same keys.
const std::vector<TextCase> TEXT_CASES = {
  {"gg", {{'g', 0}, {'g', 0}}, "gg"},
  {"<C-c>", {{'c', CONTROL}}, "<C-c>"},
  {"<M-x>", {{'x', META}}, "<M-x>"},
  {"<CR>", {{GDK_KEY_Return, 0}}, "<CR>"},
  {"<Enter>", {{GDK_KEY_Return, 0}}, "<CR>"},
  {"a<CR>", {{'a', 0}, {GDK_KEY_Return, 0}}, "a<CR>"},
  {"<Esc>", {{GDK_KEY_Escape, 0}}, "<Esc>"},
  {"<Esc", {}, ""},
  {"g<Esc", {{'g', 0}}, "g"},
  {"", {}, ""},
  {"<S-Space>", {{' ', SHIFT_BIT}}, "<S-Space>"},
  {"<S-space>", {{' ', SHIFT_BIT}}, "<S-Space>"},
  {"<space>", {{' ', 0}}, "<Space>"},
  {"<C-space>", {{' ', CONTROL}}, "<C-Space>"},
  {"<S-a>", {{'a', 0}}, "a"},
  {"A", {{'A', 0}}, "A"},
  {"<S-Up>", {{GDK_KEY_Up, SHIFT_BIT}}, "<S-Up>"},
  {"<Up>", {{GDK_KEY_Up, 0}}, "<Up>"},
  {"<KP_Up>", {{GDK_KEY_KP_Up, 0}}, "<KP_Up>"},
  {"<lt>", {{'<', 0}}, "<lt>"},
  {"<Bslash><Bar>", {{'\\', 0}, {'|', 0}}, "<Bslash><Bar>"},
  {"<BS><Del>", {{GDK_KEY_BackSpace, 0}, {GDK_KEY_Delete, 0}}, "<BS><Del>"},
  {"<PageUp><PageDown>", {{GDK_KEY_Page_Up, 0}, {GDK_KEY_Page_Down, 0}}, "<PageUp><PageDown>"},
  {":", {{':', 0}}, "<:>"},
  {"<:>;", {{':', 0}, {';', 0}}, "<:><;>"},
  {"[]$", {{'[', 0}, {']', 0}, {'$', 0}}, "<[><]><$>"},
  {"<plus><minus><equal>", {{'+', 0}, {'-', 0}, {'=', 0}}, "<plus><minus><equal>"},
  {"<Tab><F1><KP_Enter>", {{GDK_KEY_Tab, 0}, {GDK_KEY_F1, 0}, {GDK_KEY_KP_Enter, 0}}, "<Tab><F1><KP_Enter>"},
  {"1<C-0>", {{'1', 0}, {'0', CONTROL}}, "1<C-0>"},
};

TEST(KeyPattern, TextKeysAndPrintedTextRoundTrip)
{
  for (const TextCase& c : TEXT_CASES) {
    SCOPED_TRACE(c.text);
    const CtrlKeyActionMapKeyPattern pattern(c.text);
    EXPECT_EQ(keys_of(pattern), c.keys);
    EXPECT_EQ(pattern.get_count(), static_cast<int>(c.keys.size()));
    EXPECT_EQ(pattern.to_string(), c.printed);

    const CtrlKeyActionMapKeyPattern reread(c.printed);
    EXPECT_EQ(keys_of(reread), c.keys);
    EXPECT_EQ(reread.to_string(), c.printed);
  }
}

TEST(KeyPattern, NamesNobodyKnowsGiveKeysThatNeverMatch)
{
  struct Case {
    const char* text;
    std::vector<KeyValue> keys;
  };
  const std::vector<Case> cases = {
    {"+", {{GDK_KEY_VoidSymbol, 0}}},
    {">", {{GDK_KEY_VoidSymbol, 0}}},
    {"<>", {{GDK_KEY_VoidSymbol, 0}}},
    {"<<>", {{GDK_KEY_VoidSymbol, 0}}},          // "<" inside a group is plain
    {"<C-S-x>", {{GDK_KEY_VoidSymbol, CONTROL}}}, // one prefix only
    {"\xc3\xa9", {{GDK_KEY_VoidSymbol, 0}, {GDK_KEY_VoidSymbol, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const CtrlKeyActionMapKeyPattern pattern(c.text);
    EXPECT_EQ(keys_of(pattern), c.keys);
    EXPECT_EQ(CtrlKeyActionMapKeyPattern(pattern.to_string()), pattern);
  }
}

TEST(KeyPattern, PressedKeysPrintWithTheirStateAndReadBack)
{
  struct Case {
    KeyEvent press;
    const char* printed;
    bool reads_back_as_same_key;
  };
  const std::vector<Case> cases = {
    {{'c', CONTROL}, "<C-c>", true},
    {{'G', SHIFT_BIT}, "<S-G>", true},
    {{GDK_KEY_Up, SHIFT_BIT}, "<S-Up>", true},
    {{' ', SHIFT_BIT}, "<S-Space>", true},
    {{GDK_KEY_Return, 0}, "<CR>", true},
    {{GDK_KEY_Escape, GDK_LOCK_MASK | GDK_MOD2_MASK}, "<Esc>", true},
    {{'x', GDK_MOD1_MASK}, "x", true},
    {{'a', META | CONTROL}, "<C-a>", false},
    // The case of a letter carries Shift, so Control is what is printed.
    {{'Z', SHIFT_BIT | CONTROL}, "<C-Z>", true},
    {{'Z', SHIFT_BIT | META}, "<M-Z>", true},
    // One modifier only: Control is lost behind the Shift of a shiftable key.
    {{GDK_KEY_Up, SHIFT_BIT | CONTROL}, "<S-Up>", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    EXPECT_EQ(CtrlKeyActionMap::e2str(c.press), c.printed);
    const CtrlKeyActionMapKey pressed(c.press.keyval, c.press.state);
    const CtrlKeyActionMapKeyPattern reread(c.printed);
    ASSERT_EQ(reread.get_count(), 1);
    EXPECT_EQ(reread.get(0) == pressed, c.reads_back_as_same_key);
  }
}

TEST(KeyPattern, IdentityIgnoresShiftOfNonShiftableKeysAndOtherModifiers)
{
  EXPECT_EQ(CtrlKeyActionMapKey('A', SHIFT_BIT).get_id(), guint('A'));
  EXPECT_EQ(CtrlKeyActionMapKey('A', SHIFT_BIT).get_state(), SHIFT_BIT) << "a pressed key keeps its state";
  EXPECT_EQ(CtrlKeyActionMapKey::from_name("<S-a>").get_state(), 0u);
  EXPECT_EQ(CtrlKeyActionMapKey(GDK_KEY_Up, SHIFT_BIT).get_id(), 0x1000FF52u);
  EXPECT_EQ(CtrlKeyActionMapKey(' ', SHIFT_BIT | CONTROL | META).get_id(), 0x70000020u);
  EXPECT_EQ(CtrlKeyActionMapKey('x', GDK_MOD1_MASK | GDK_LOCK_MASK | GDK_MOD2_MASK | GDK_SUPER_MASK).get_id(), guint('x'));
  EXPECT_EQ(CtrlKeyActionMapKeyPattern("<Enter>"), CtrlKeyActionMapKeyPattern("<CR>"));
  EXPECT_EQ(CtrlKeyActionMapKeyPattern("<space>"), CtrlKeyActionMapKeyPattern("<Space>"));
  EXPECT_FALSE(CtrlKeyActionMapKeyPattern("<S-space>") == CtrlKeyActionMapKeyPattern("<space>"));
  EXPECT_FALSE(CtrlKeyActionMapKeyPattern("<C-space>") == CtrlKeyActionMapKeyPattern("<space>"));
  EXPECT_EQ(CtrlKeyActionMapKey::from_name("<lt>").get_keyval(), 60u);
}

TEST(KeyPattern, PatternsSortDirectlyBeforeTheirExtensions)
{
  const std::vector<const char*> sorted = {"", "a", "ab", "abc", "ac", "b", "<Esc>", "<S-Up>", "<C-a>"};
  for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
    SCOPED_TRACE(sorted[i]);
    const CtrlKeyActionMapKeyPattern lower(sorted[i]);
    const CtrlKeyActionMapKeyPattern upper(sorted[i + 1]);
    EXPECT_LT(lower.compare_to(upper), 0);
    EXPECT_GT(upper.compare_to(lower), 0);
    EXPECT_EQ(lower.compare_to(lower), 0);
  }
  const CtrlKeyActionMapKeyPattern abc("abc");
  EXPECT_TRUE(abc.may_match_to(CtrlKeyActionMapKeyPattern("ab")));
  EXPECT_TRUE(abc.may_match_to(abc));
  EXPECT_TRUE(abc.may_match_to(CtrlKeyActionMapKeyPattern("")));
  EXPECT_FALSE(abc.may_match_to(CtrlKeyActionMapKeyPattern("ac")));
  EXPECT_FALSE(CtrlKeyActionMapKeyPattern("ab").may_match_to(abc));
  EXPECT_EQ(abc.get(3).get_id(), 0u);
  EXPECT_EQ(abc.get(-1).get_id(), 0u);
}

TEST(KeyPattern, GdkEventBecomesAKeyPress)
{
  GdkEventKey event{};
  event.type = GDK_KEY_PRESS;
  event.keyval = GDK_KEY_Shift_L;
  event.state = CONTROL;
  event.is_modifier = 1;
  const KeyEvent press = to_key_event(event);
  EXPECT_EQ(press.keyval, guint(GDK_KEY_Shift_L));
  EXPECT_EQ(press.state, CONTROL);
  EXPECT_TRUE(press.is_modifier);

  event.keyval = 'g';
  event.is_modifier = 0;
  EXPECT_FALSE(to_key_event(event).is_modifier);
}

} // namespace
} // namespace velkaro
