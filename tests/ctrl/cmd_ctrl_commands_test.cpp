// Splitting a command text into words and dispatching the first word to a
// command; no display needed.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/cmd/cmd_ctrl.h"

namespace velkaro {
namespace {

using Words = std::vector<std::string>;

TEST(CtrlCommandActionMap, SplitsAtUnicodeWhiteSpaceOnly)
{
  struct Case {
    const char* name;
    std::string text;
    Words words;
  };
  const Case cases[] = {
    {"empty", "", {}},
    {"only white space", " \t\n ", {}},
    {"one word", "w", {"w"}},
    {"leading, doubled and trailing spaces", "  w   a.xml  ", {"w", "a.xml"}},
    {"tab, line feed, carriage return, form feed", "w\ta\nb\rc\fd", {"w", "a", "b", "c", "d"}},
    {"no-break space", "w\xC2\xA0x", {"w", "x"}},
    {"ideographic space", "\xE3\x80\x80w\xE3\x80\x80\xE3\x80\x80x\xE3\x80\x80", {"w", "x"}},
    {"line and paragraph separators", "a\xE2\x80\xA8" "b\xE2\x80\xA9" "c", {"a", "b", "c"}},
    {"a zero-width space is no white space", "a\xE2\x80\x8B" "b c", {"a\xE2\x80\x8B" "b", "c"}},
    {"a vertical tab is no white space", "a\vb", {"a\vb"}},
    {"words keep their multi-byte characters", "r d\xC3\xA9j\xC3\xA0.xml", {"r", "d\xC3\xA9j\xC3\xA0.xml"}},
    {"a stray byte stays in its word", "w a\xFF" "b \xC3", {"w", "a\xFF" "b", "\xC3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CtrlCommandActionMap::split(c.text), c.words);
  }
}

TEST(CtrlCommandActionMap, RunsTheFirstWordsCommandWithTheOtherWords)
{
  std::vector<Words> calls;
  const auto map = CtrlCommandActionMap::create();
  map->set("w", CtrlCmdActionWrapper::create([&calls](const Words& args) {
             calls.push_back(args);
             return true;
           }));
  map->set("q", CtrlCmdActionWrapper::create([&calls](const Words& args) {
             calls.push_back(args);
             return false;
           }));

  struct Case {
    const char* text;
    bool result;
    std::vector<Words> calls;
  };
  const Case cases[] = {
    {"", false, {}},
    {"   ", false, {}},
    {"nope a", false, {}},
    // Exact and case-sensitive.
    {"W a", false, {}},
    {"ww", false, {}},
    {" w  a  b ", true, {{"a", "b"}}},
    {"w", true, {{}}},
    // The command's own result.
    {"q now", false, {{"now"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    calls.clear();
    EXPECT_EQ(map->action(c.text), c.result);
    EXPECT_EQ(calls, c.calls);
  }

  // A later command of a word replaces the earlier one.
  map->set("w", CtrlCmdActionWrapper::create([](const Words&) { return false; }));
  EXPECT_FALSE(map->action("w"));
  EXPECT_TRUE(map->has("q"));
  EXPECT_EQ(map->get("x"), nullptr);
}

} // namespace
} // namespace velkaro
