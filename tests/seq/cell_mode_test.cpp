// The sequence cell mode through the keys on a real canvas: a table of
// (document, cursor, axis, keys) giving the cells that changed and the mode
// that is current, each case undone back to its document; its own actions
// with their names, keys, descriptions and trial tests; copy and change in
// detail.

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/action_wrapper.h"
#include "seq/cell_vh_mode.h"
#include "seq/range_mode.h"
#include "seq/select_mode.h"
#include "seq/seq_modes_for_test.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

using Lines = std::vector<std::string>;

const char* const CELL = "CELL MODE";
const char* const RANGE = "RANGE MODE";
const char* const SELECT = "SELECT MODE";
const char* const INSERT_CELL = "INSERT MODE (CELL)";
const char* const NORMAL_TEXT = "NORMAL MODE (TEXT)";

struct KeyCase {
  const char* name;
  std::function<void(SeqWorkspace&)> setup;
  CellPos at;
  bool vertical;
  const char* keys;
  // Dump lines the keys added, and those they took away.
  Lines added;
  Lines removed;
  const char* mode;
};

Lines minus(const Lines& a, const Lines& b)
{
  Lines out;
  for (const auto& line : a)
    if (std::find(b.begin(), b.end(), line) == b.end())
      out.push_back(line);
  std::sort(out.begin(), out.end());
  return out;
}

Lines sorted(Lines lines)
{
  std::sort(lines.begin(), lines.end());
  return lines;
}

void none(SeqWorkspace&) {}
void short_life_line(SeqWorkspace& ws) { life_line(ws, 1, 0, 3); }
void stopped_life_line(SeqWorkspace& ws) { life_line(ws, 1, 0, 3, true); }
void long_life_line(SeqWorkspace& ws) { life_line(ws, 1, 0, 4); }
void spec_on_life_line(SeqWorkspace& ws)
{
  life_line(ws, 1, 0, 4);
  add_exec_spec(ws, 1, 2, 1);
}
void life_line_at_2(SeqWorkspace& ws) { life_line(ws, 2, 0, 4); }
void life_line_at_0(SeqWorkspace& ws) { life_line(ws, 0, 0, 4); }
void one_message(SeqWorkspace& ws) { add_message(ws, 0, 1, range(0, 1, 3, 1)); }
void one_fragment(SeqWorkspace& ws) { add_fragment(ws, 0, 0, 3, 3); }
void fragment_with_separator(SeqWorkspace& ws)
{
  add_fragment(ws, 0, 0, 4, 4);
  ASSERT_TRUE(ws.insert_separator({0, 2}));
  ws.clear_in_process();
}
void free_text(SeqWorkspace& ws) { put(ws, SeqTextElement::create(), 1, 1); }

const std::vector<KeyCase>& key_cases()
{
  static const std::vector<KeyCase> cases = {
    {"i on an empty cell adds a life line", none, {1, 1}, false, "i",
     {"1,1: head text^", "1,2: ll", "1,3: ll", "1,4: ll", "1,5: ll", "1,6: ll"}, {}, CELL},
    {"a on an empty cell adds a text to type into", none, {1, 1}, false, "a", {"1,1: text"}, {}, INSERT_CELL},
    {"vertical: a on an empty cell starts a message", none, {1, 1}, true, "a", {"1,1: msg> sync"}, {}, RANGE},
    {"vertical: i on an empty cell adds a life line", none, {1, 1}, true, "i",
     {"1,1: head text^", "1,2: ll", "1,3: ll", "1,4: ll", "1,5: ll", "1,6: ll"}, {}, CELL},
    {"vertical: I starts a message reaching the next element on the left", life_line_at_0, {3, 2}, true, "I",
     {"0,2: ll ml<", "1,2: ml<", "2,2: ml<", "3,2: msg< sync"}, {"0,2: ll"}, RANGE},
    {"vertical: I with nothing to reach starts a bare message", none, {3, 2}, true, "I", {"3,2: msg< sync"}, {},
     RANGE},
    {"i on the last cell of a life line stops it", short_life_line, {1, 3}, false, "i", {"1,3: ll!"}, {"1,3: ll"},
     CELL},
    {"a on the stopped last cell takes the stop away", stopped_life_line, {1, 3}, false, "a", {"1,3: ll"},
     {"1,3: ll!"}, CELL},
    {"x on the stopped last cell takes the stop only", stopped_life_line, {1, 3}, false, "x", {"1,3: ll"},
     {"1,3: ll!"}, CELL},
    {"i on a middle cell inserts an execution specification", long_life_line, {1, 2}, false, "i",
     {"1,2: ll es0T"}, {"1,2: ll"}, RANGE},
    {"a beside one of level 0 nests one on its right", spec_on_life_line, {1, 2}, false, "a",
     {"1,2: ll es0T es1T"}, {"1,2: ll es0T"}, RANGE},
    {"i beside one of level 0 nests one on its left", spec_on_life_line, {1, 2}, false, "i",
     {"1,2: ll es0T es-1T"}, {"1,2: ll es0T"}, RANGE},
    {"vertical: i on a middle cell starts a message to the left", life_line_at_2, {2, 2}, true, "i",
     {"2,2: ll msg< sync"}, {"2,2: ll"}, RANGE},
    {"vertical: a on a middle cell starts a message to the right", life_line_at_2, {2, 2}, true, "a",
     {"2,2: ll msg> sync"}, {"2,2: ll"}, RANGE},
    {"i on a message line adds its text", one_message, {1, 1}, false, "i", {"1,1: ml> text^"}, {"1,1: ml>"},
     INSERT_CELL},
    {"i on the tip of a message does nothing", one_message, {3, 1}, false, "i", {}, {}, CELL},
    {"i on a separator adds its text", fragment_with_separator, {2, 2}, false, "i", {"2,2: spl text^"},
     {"2,2: spl"}, INSERT_CELL},
    {"i on the top edge of a fragment adds a text", one_fragment, {1, 0}, false, "i", {"1,0: fhts text^"},
     {"1,0: fhts"}, INSERT_CELL},
    {"i on the bottom edge does nothing", one_fragment, {1, 3}, false, "i", {}, {}, CELL},
    {"i on the left edge inserts a separator across", one_fragment, {0, 1}, false, "i",
     {"0,1: fvts sp", "1,1: spl", "2,1: spl", "3,1: fv spl"}, {"0,1: fvts", "3,1: fv"}, CELL},
    {"i on the right edge does nothing", one_fragment, {3, 1}, false, "i", {}, {}, CELL},
    {"M on an occupied cell does nothing", short_life_line, {1, 2}, false, "M", {}, {}, CELL},
    {"x on a cell without candidates cuts the life line", short_life_line, {1, 2}, false, "x", {},
     {"1,0: head text^", "1,1: ll", "1,2: ll", "1,3: ll"}, CELL},
    {"x with one candidate deletes it at once", spec_on_life_line, {1, 2}, false, "x", {"1,2: ll"},
     {"1,2: ll es0T"}, CELL},
    {"x on a message anchor cuts the message", one_message, {0, 1}, false, "x", {},
     {"0,1: msg> sync", "1,1: ml>", "2,1: ml>", "3,1: ml>"}, CELL},
    {"x on a message line cuts its message", one_message, {2, 1}, false, "x", {},
     {"0,1: msg> sync", "1,1: ml>", "2,1: ml>", "3,1: ml>"}, CELL},
    {"x on a frame line cuts its fragment", one_fragment, {3, 2}, false, "x", {},
     {"0,0: frag text^", "1,0: fhts", "2,0: fhte", "3,0: fvs", "0,1: fvts", "3,1: fv", "0,2: fvt", "3,2: fv",
      "0,3: fvte", "1,3: fhs", "2,3: fhe", "3,3: fve"},
     CELL},
    {"c on a text starts the normal text mode", free_text, {1, 1}, false, "c", {}, {}, NORMAL_TEXT},
    {"c on the last cell of a life line stretches it", short_life_line, {1, 3}, false, "cjj<Enter>",
     {"1,4: ll", "1,5: ll"}, {}, CELL},
    {"c on a message stretches it from its tip", one_message, {0, 1}, false, "cl<Enter>", {"4,1: ml>"}, {}, CELL},
    {"c on a message line stretches its message", one_message, {1, 1}, false, "cl<Enter>", {"4,1: ml>"}, {},
     CELL},
    {"c on nothing does nothing", none, {1, 1}, false, "c", {}, {}, CELL},
  };
  return cases;
}

TEST(SeqCellMode, KeysChangeTheDocumentByCellContentAndUndoBack)
{
  VELKARO_REQUIRE_GTK();
  for (const KeyCase& c : key_cases()) {
    SCOPED_TRACE(c.name);
    SeqKit kit;
    c.setup(*kit.ws);
    kit.ws->clear_in_process();
    if (c.vertical)
      kit.ctx->set_now_dir(CellDir::v);
    kit.go(c.at.x, c.at.y);
    const std::string before = kit.doc();
    const Lines before_cells = kit.cells();

    kit.keys(c.keys);
    const Lines after_cells = kit.cells();
    EXPECT_EQ(minus(after_cells, before_cells), sorted(c.added));
    EXPECT_EQ(minus(before_cells, after_cells), sorted(c.removed));
    EXPECT_EQ(kit.mode_name(), c.mode);

    kit.undo_all();
    EXPECT_EQ(kit.doc(), before);
  }
}

TEST(SeqCellMode, OwnActionsHaveTheirNamesKeysDescriptionsAndTrials)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  auto& mode = kit.mode<SeqCellVHMode>();
  const auto actions = mode.enum_actions();
  ASSERT_GE(actions.size(), 2u);
  struct Own {
    const char* name;
    CtrlActionWrapper::Keys keys;
    const char* description;
  };
  const Own own[] = {
    {"insert-life-line", {}, "Insert new Life Line"},
    {"insert-message", {"tm", "M"}, "Insert new Message"},
  };
  for (std::size_t i = 0; i < 2; ++i) {
    const auto& wrapper = actions[actions.size() - 2 + i];
    SCOPED_TRACE(own[i].name);
    EXPECT_EQ(wrapper->get_name(), own[i].name);
    EXPECT_EQ(wrapper->get_app_keys(), own[i].keys);
    EXPECT_EQ(wrapper->get_assigned(), own[i].keys);
    EXPECT_EQ(wrapper->get_description(), own[i].description);
    EXPECT_EQ(wrapper->get_record(), CtrlRecord::diff);
    EXPECT_TRUE(wrapper->has_is_actionable_func());
  }
  // The base's keys stay: "T" and "tt" still add a text, "tm" a message.
  EXPECT_EQ(mode.get_key_action_map().get("tt"), "append-text");
  EXPECT_EQ(mode.get_key_action_map().get("tm"), "insert-message");
}

TEST(SeqCellMode, InsertionsAreActionableWhereTheirTrialSucceeds)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 0, 3);
  const std::string before = kit.doc();
  auto names = [&kit] { return kit.ctx->enum_actionable_name(); };

  kit.go(4, 1);
  auto set = names();
  EXPECT_TRUE(set.count("insert-life-line"));
  EXPECT_TRUE(set.count("insert-message"));

  // On a life-line cell neither can be made; the trials changed nothing.
  kit.go(1, 2);
  set = names();
  EXPECT_FALSE(set.count("insert-life-line"));
  EXPECT_FALSE(set.count("insert-message"));
  EXPECT_EQ(kit.doc(), before);
  EXPECT_EQ(kit.undo_steps(), 0u);
  EXPECT_EQ(kit.mode_name(), CELL);
  EXPECT_EQ(kit.cursor(), (CellPos{1, 2}));
  EXPECT_FALSE(kit.ctx->edit_elm);

  // A head two rows above leaves no room for a new head below it.
  kit.go(1, 1);
  EXPECT_FALSE(names().count("insert-life-line"));

  // Run by name, the life line comes without keys.
  kit.go(5, 0);
  ASSERT_TRUE(kit.ctx->action("insert-life-line"));
  EXPECT_EQ(at<SeqLifeHead>(*kit.ws, 5, 0) != nullptr, true);
  EXPECT_EQ(kit.mode_name(), CELL);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

TEST(SeqCellMode, YankOnAStoppedLastCellLeavesTheDocumentAndCopiesTheLifeLine)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 0, 3, true);
  kit.ws->modified = false;
  const std::string before = kit.doc();
  kit.go(1, 3);
  kit.keys("y");
  EXPECT_EQ(kit.doc(), before);
  EXPECT_FALSE(kit.ws->modified);
  EXPECT_EQ(kit.undo_steps(), 0u);
  ASSERT_TRUE(kit.ctx->get_has_yanked());
  EXPECT_EQ(std::string(kit.ctx->get_yank_elms()->front()->get_type_name()), "SeqLifeHead");
  // The copy is the whole life line, stop included.
  kit.go(4, 0);
  kit.keys("p");
  const auto last = at<SeqLifeLine>(*kit.ws, 4, 3);
  ASSERT_TRUE(last);
  EXPECT_TRUE(last->has_stop);
}

TEST(SeqCellMode, YankTakesTheOwnerOfWhatTheCellHolds)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    const char* name;
    std::function<void(SeqWorkspace&)> setup;
    CellPos at;
    const char* copied;
  };
  const Case cases[] = {
    {"a fragment's top-left corner", one_fragment, {0, 0}, "SeqFragment"},
    {"a frame line", one_fragment, {2, 3}, "SeqFragment"},
    {"a message line", one_message, {2, 1}, "SeqMessage"},
    {"a life head", short_life_line, {1, 0}, "SeqLifeHead"},
    {"a separator line", fragment_with_separator, {3, 2}, "SeqSeparator"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeqKit kit;
    c.setup(*kit.ws);
    kit.ws->clear_in_process();
    const std::string before = kit.doc();
    kit.go(c.at.x, c.at.y);
    kit.keys("y");
    EXPECT_EQ(kit.doc(), before);
    ASSERT_TRUE(kit.ctx->get_has_yanked());
    EXPECT_EQ(std::string(kit.ctx->get_yank_elms()->front()->get_type_name()), c.copied);
  }
}

TEST(SeqCellMode, ChangeOfALifeLineCellWithTwoCandidatesAsksWhichToChange)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  life_line(*kit.ws, 1, 0, 4);
  add_exec_spec(*kit.ws, 1, 2, 1);
  add_message(*kit.ws, 1, 2, range(1, 2, 3, 2));
  kit.go(1, 2);
  kit.keys("c");
  EXPECT_EQ(kit.mode_name(), SELECT);
  EXPECT_EQ(kit.mode<SeqSelectMode>().mode, CtrlSelectModeModes::chg_msg);
  kit.keys("<Esc>");
  EXPECT_EQ(kit.mode_name(), CELL);

  // With the message alone, the message is changed at once, at its tip.
  SeqKit alone;
  life_line(*alone.ws, 1, 0, 4);
  const auto msg = add_message(*alone.ws, 1, 2, range(1, 2, 3, 2));
  alone.go(1, 2);
  alone.keys("c");
  EXPECT_EQ(alone.mode_name(), RANGE);
  EXPECT_EQ(alone.mode<SeqRangeMode>().mode, CtrlRangeModeModes::change);
  EXPECT_EQ(alone.ctx->edit_elm, msg->get_tip());
  EXPECT_EQ(alone.cursor(), (CellPos{3, 2}));
}

TEST(SeqCellMode, TypingAfterAppendIsUndoneWithTheNewText)
{
  VELKARO_REQUIRE_GTK();
  SeqKit kit;
  const std::string before = kit.doc();
  kit.go(2, 2);
  kit.keys("aab");
  EXPECT_EQ(kit.mode_name(), INSERT_CELL);
  kit.keys("<Esc>");
  const auto text = at<SeqTextElement>(*kit.ws, 2, 2);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->get_text(), "ab");
  EXPECT_EQ(kit.undo_steps(), 1u);
  kit.keys("u");
  EXPECT_EQ(kit.doc(), before);
}

} // namespace
} // namespace velkaro::test
