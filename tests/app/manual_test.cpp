// The manual pages shipped with the program show the editor's own default
// keys: a page whose key tables differ from a fresh fill fails here.
// VELKARO_UPDATE_MANUAL=1 writes the fresh tables into docs/manual instead.

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/manual_keys.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

std::string read_file(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string join(const std::vector<std::string>& names)
{
  std::string text;
  for (const auto& name : names)
    text += "\"" + name + "\" ";
  return text;
}

TEST(ManualPages, KeyTablesAreTheEditorsDefaultKeys)
{
  VELKARO_REQUIRE_GTK();
  const auto ctx = SeqContext::create(ModelWorkspace::create<SeqWorkspace>());
  const auto groups = manual_key_groups(*ctx);
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.front().name, "CELL MODE");
  const bool update = std::getenv("VELKARO_UPDATE_MANUAL") != nullptr;
  for (const std::string language : {"en", "ja"}) {
    SCOPED_TRACE(language);
    const std::string path = std::string(VELKARO_SOURCE_DIR) + "/docs/manual/" + language + ".html";
    const std::string page = read_file(path);
    ASSERT_FALSE(page.empty()) << path;
    std::vector<std::string> missing, unknown;
    const std::string filled = manual_fill_keys(page, groups, language, missing, unknown);
    EXPECT_TRUE(missing.empty()) << "groups the page does not describe: " << join(missing);
    EXPECT_TRUE(unknown.empty()) << "groups the editor does not have: " << join(unknown);
    if (update && filled != page) {
      std::ofstream(path) << filled;
      continue;
    }
    EXPECT_TRUE(filled == page) << path << " shows other keys than the editor; run the test_app executable "
                                << "with VELKARO_UPDATE_MANUAL=1 --gtest_filter='ManualPages.*' to refresh it";
  }
}

// A reader finds every action explained and no table without rows; the
// manual's own notes speak only of actions the editor has.
TEST(ManualPages, EveryActionIsDescribedAndNoTableIsEmpty)
{
  VELKARO_REQUIRE_GTK();
  const auto ctx = SeqContext::create(ModelWorkspace::create<SeqWorkspace>());
  const auto groups = manual_key_groups(*ctx);
  for (const std::string language : {"en", "ja"}) {
    for (const auto& group : groups) {
      SCOPED_TRACE(language + ": " + group.name);
      const std::string html = manual_key_table(group, language);
      EXPECT_EQ(html.find("<td></td>"), std::string::npos) << html;
      if (group.rows.empty()) {
        EXPECT_EQ(html.find("<table"), std::string::npos) << html;
        EXPECT_FALSE(group.includes.empty());
        for (const auto& name : group.includes)
          EXPECT_NE(html.find(name), std::string::npos) << html;
      }
    }
  }
  // The Japanese page explains every action in Japanese.
  for (const auto& group : groups)
    for (const auto& row : group.rows)
      EXPECT_TRUE(std::any_of(manual_notes().begin(), manual_notes().end(),
                              [&](const ManualNote& n) { return group.name == n.group && row.action == n.action; }))
          << "no note on " << group.name << " " << row.action;
  for (const auto& note : manual_notes()) {
    SCOPED_TRACE(std::string(note.group) + " " + note.action);
    const auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.name == note.group; });
    ASSERT_NE(group, groups.end());
    const auto row = std::find_if(group->rows.begin(), group->rows.end(),
                                  [&](const auto& r) { return r.action == note.action; });
    ASSERT_NE(row, group->rows.end());
    // English words stand in only where the editor says nothing.
    EXPECT_EQ(note.en == nullptr, !row->description.empty());
  }
}

TEST(ManualPages, TablesEscapeMarkupAndShowKeylessActions)
{
  const ManualKeyGroup group{"G", {{"a", {"<C-c>", "y"}, "Copy & keep"}, {"b", {}, ""}}};
  const std::string html = manual_key_table(group, "en");
  EXPECT_NE(html.find("<kbd>&lt;C-c&gt;</kbd> <kbd>y</kbd>"), std::string::npos) << html;
  EXPECT_NE(html.find("Copy &amp; keep"), std::string::npos);
  EXPECT_NE(html.find("(none)"), std::string::npos);
  std::vector<std::string> missing, unknown;
  const std::string page = "x<!-- keys: G -->old<!-- /keys -->y<!-- keys: H --><!-- /keys -->z";
  const std::string filled = manual_fill_keys(page, {group}, "en", missing, unknown);
  EXPECT_EQ(filled, "x<!-- keys: G -->\n" + html + "<!-- /keys -->y<!-- keys: H -->\n<!-- /keys -->z");
  EXPECT_TRUE(missing.empty());
  EXPECT_EQ(unknown, std::vector<std::string>{"H"});
}

} // namespace
} // namespace velkaro::test
