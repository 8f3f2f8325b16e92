#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "ctrl/action_handler_for_test.h"
#include "ctrl/keys/key_action_map.h"

namespace velkaro {
namespace {

constexpr guint SHIFT = CtrlKeyActionMapKey::SHIFT_MASK;

using test::press;
KeyEvent modifier_press(guint keyval, guint state = 0) { return KeyEvent{keyval, state, true}; }

using Bindings = std::vector<std::pair<const char*, const char*>>;

// A key map with its announcements of pending keys recorded.
struct RecordingMap {
  explicit RecordingMap(const Bindings& bindings)
  {
    for (const auto& [pattern, action] : bindings)
      map.set(pattern, action);
    map.signal_update_leading_keys().connect([this](const std::string& keys) { announced.push_back(keys); });
  }

  std::string pending() const { return map.get_leading_keys() ? map.get_leading_keys()->to_string() : ""; }

  CtrlKeyActionMap map;
  std::vector<std::string> announced;
};

struct MapStep {
  KeyEvent key;
  std::optional<std::string> result;
  std::vector<std::string> announced;
  std::string pending; // printed pending keys, "" for none
};

struct MapScript {
  const char* name;
  Bindings bindings;
  std::vector<MapStep> steps;
};

const std::vector<MapScript> MAP_SCRIPTS = {
  {"g pending, then gg complete",
   {{"gg", "scroll-to-top"}},
   {{press('g'), std::nullopt, {"g"}, "g"}, {press('g'), "scroll-to-top", {""}, ""}}},
  {"d waits for dd",
   {{"d", "delete"}, {"dd", "delete-line"}},
   {{press('d'), std::nullopt, {"d"}, "d"},
    {press('d'), "delete-line", {""}, ""},
    {press('d'), std::nullopt, {"d"}, "d"},
    {press('x'), std::nullopt, {""}, ""}}},
  {"a bare Shift press changes nothing",
   {{"gg", "scroll-to-top"}},
   {{modifier_press(GDK_KEY_Shift_L), std::nullopt, {}, ""},
    {press('g'), std::nullopt, {"g"}, "g"},
    {modifier_press(GDK_KEY_Shift_L, SHIFT), std::nullopt, {}, "g"},
    {press('g'), "scroll-to-top", {""}, ""}}},
  {"an unmatched key after a pending prefix is swallowed",
   {{"gg", "scroll-to-top"}, {"x", "cut"}},
   {{press('g'), std::nullopt, {"g"}, "g"},
    {press('x'), std::nullopt, {""}, ""},
    {press('x'), "cut", {}, ""},
    {press('q'), std::nullopt, {}, ""}}},
  {"a single key followed by other entries announces every time",
   {{"a", "act-a"}, {"b", "act-b"}},
   {{press('a'), "act-a", {""}, ""}, {press('a'), "act-a", {""}, ""}, {press('b'), "act-b", {}, ""}}},
  {"Shift with Z stays in the pending keys",
   {{"ZZ", "force-quit"}},
   {{press('Z', SHIFT), std::nullopt, {"<S-Z>"}, "<S-Z>"}, {press('Z', SHIFT), "force-quit", {""}, ""}}},
  {"three keys",
   {{"gqq", "format"}, {"gg", "scroll-to-top"}},
   {{press('g'), std::nullopt, {"g"}, "g"},
    {press('q'), std::nullopt, {"gq"}, "gq"},
    {press('q'), "format", {""}, ""}}},
  {"modifiers that count and those that do not",
   {{"A", "big-a"}, {"x", "cut"}, {"<Up>", "up"}, {"<S-Up>", "select-up"}},
   {{press('A', SHIFT), "big-a", {""}, ""},
    {press(GDK_KEY_Up, SHIFT), "select-up", {}, ""},
    {press(GDK_KEY_Up), "up", {""}, ""},
    {press('x', GDK_MOD1_MASK), "cut", {""}, ""},
    {press(GDK_KEY_Up, GDK_LOCK_MASK | GDK_MOD2_MASK), "up", {""}, ""}}},
  {"nothing bound", {}, {{press('g'), std::nullopt, {}, ""}}},
};

TEST(KeyActionMap, Scripts)
{
  for (const MapScript& script : MAP_SCRIPTS) {
    RecordingMap m(script.bindings);
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
      SCOPED_TRACE(std::string(script.name) + ", key " + std::to_string(i + 1));
      const MapStep& step = script.steps[i];
      m.announced.clear();
      EXPECT_EQ(m.map.action(step.key), step.result);
      EXPECT_EQ(m.announced, step.announced);
      EXPECT_EQ(m.pending(), step.pending);
    }
  }
}

TEST(KeyActionMap, EqualPatternsShareOneBinding)
{
  CtrlKeyActionMap map;
  map.set("<Enter>", std::string("first"));
  map.set("<CR>", std::string("second"));
  EXPECT_EQ(map.get("<Enter>"), "second");
  EXPECT_EQ(map.action(press(GDK_KEY_Return)), "second");

  map.set("<Enter>", std::nullopt);
  EXPECT_EQ(map.get("<CR>"), std::nullopt);
  EXPECT_EQ(map.action(press(GDK_KEY_Return)), std::nullopt);
  EXPECT_EQ(map.get("gg"), std::nullopt);
}

TEST(KeyActionMap, PendingKeysCanBeCleared)
{
  RecordingMap m(Bindings{{"gg", "scroll-to-top"}});
  m.map.clear_leading_keys();
  EXPECT_TRUE(m.announced.empty()) << "nothing pending, nothing announced";

  m.map.action(press('g'));
  m.map.clear_leading_keys();
  EXPECT_EQ(m.announced, (std::vector<std::string>{"g", ""}));
  EXPECT_EQ(m.pending(), "");
  EXPECT_EQ(m.map.action(press('g')), std::nullopt) << "a single g after clearing starts over";
}

TEST(KeyActionMap, EmptiedMapLeavesPendingKeysAlone)
{
  RecordingMap m(Bindings{{"gg", "scroll-to-top"}});
  m.map.action(press('g'));
  m.map.set("gg", std::nullopt);
  m.announced.clear();
  EXPECT_EQ(m.map.action(press('g')), std::nullopt);
  EXPECT_TRUE(m.announced.empty());
  EXPECT_EQ(m.pending(), "g");
}

} // namespace
} // namespace velkaro
