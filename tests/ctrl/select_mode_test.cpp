// The select mode: its key table, stepping through the candidates by keys
// and by the pointer gesture, the highlight, settling by key and by click
// with the undo steps they leave, cancelling, and the hand-over to the
// range mode for a change.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/modes/range_mode.h"
#include "ctrl/modes/select_mode.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

// The test kind's select mode: the candidates are the chain at the cursor
// cell, starting at start_index. Settling deletes the selected mark (del),
// copies it (yank, nothing to undo) or changes it in the range mode
// (chg-es, chg-msg), and logs the selected candidate.
class TestSelectMode : public CtrlSelectMode {
public:
  using CtrlSelectMode::CtrlSelectMode;

  void on_enter_switch() override
  {
    auto& ctx = get_ctrl();
    candidates.clear();
    if (const auto head = ctx.get_now_elm())
      head->foreach([this](const ElementPtr& e) { candidates.push_back(e); });
    sel_index = start_index;
  }

  bool settle() override
  {
    auto& ctx = get_ctrl();
    const auto selected = get_selected();
    note(*this, "settle " + (selected ? std::dynamic_pointer_cast<KindMark>(selected)->name : "(none)"));
    switch (mode) {
    case CtrlSelectModeModes::del:
      get_ws()->remove(selected);
      ctx.change_to_cell_mode();
      return true;
    case CtrlSelectModeModes::yank:
      ctx.copy(selected, false);
      ctx.change_to_cell_mode();
      return false;
    default:
      ctx.edit_elm = selected;
      change_to<CtrlRangeMode>([](CtrlRangeMode& range) { range.mode = CtrlRangeModeModes::change_selected; });
      return false;
    }
  }

  int start_index = 0;
};

KindKit select_kit()
{
  KindKit kit([](KindContext& ctx) {
    return std::vector<CtrlContext::ModePtr>{std::make_shared<TestCellMode>(ctx), std::make_shared<TestSelectMode>(ctx),
                                             std::make_shared<TestRangeMode>(ctx)};
  });
  kit.ctx->change_to_cell_mode();
  kit.take_log();
  return kit;
}

TestSelectMode& select_mode(KindKit& kit)
{
  return dynamic_cast<TestSelectMode&>(*kit.ctx->get_mode(typeid(TestSelectMode)));
}

// Three marks stacked at (1, 1) and one elsewhere; the cursor on the stack;
// the select mode entered for mode.
void enter_on_stack(KindKit& kit, CtrlSelectModeModes mode, int start_index = 0)
{
  put_marks(*kit.ws, {"a@1,1", "b@1,1", "c@1,1", "z@3,3"});
  kit.ctx->set_pos({1, 1});
  select_mode(kit).start_index = start_index;
  ASSERT_TRUE(kit.ctx->change_to<CtrlSelectMode>([mode](CtrlSelectMode& s) { s.mode = mode; }));
  kit.take_log();
}

// The select mode's own log lines.
Log select_log(KindKit& kit)
{
  Log lines;
  for (auto& line : kit.take_log())
    if (line.rfind("SELECT MODE:", 0) == 0)
      lines.push_back(std::move(line));
  return lines;
}

std::string selected_name(KindKit& kit)
{
  const auto selected = select_mode(kit).get_selected();
  return selected ? std::dynamic_pointer_cast<KindMark>(selected)->name : "(none)";
}

TEST(SelectMode, KeyTableAndReplacements)
{
  KindKit kit = select_kit();
  auto& select = select_mode(kit);
  EXPECT_EQ(select.get_name(), "SELECT MODE");
  expect_key_table(select, {{"settle-select", {"x", "<Enter>"}, "Settle", true, false}});
  std::vector<std::string> replaced, never;
  for (const auto& [name, wrapper] : select.get_replacement()) {
    replaced.push_back(name);
    EXPECT_TRUE(wrapper->get_app_keys().empty()) << name;
    if (wrapper->has_is_actionable_func())
      never.push_back(name);
  }
  EXPECT_EQ(replaced, (std::vector<std::string>{"cancel", "down", "left", "redo", "right", "undo", "up"}));
  EXPECT_EQ(never, (std::vector<std::string>{"redo", "undo"}));
  const auto& included = select.get_included_modes();
  ASSERT_EQ(included.size(), 1u) << "no 2D keys here";
  EXPECT_EQ(included[0]->get_name(), "BASE MODE");
}

TEST(SelectMode, EnteringHighlightsTheKindsStartingCandidate)
{
  KindKit kit = select_kit();
  enter_on_stack(kit, CtrlSelectModeModes::del, 1);
  auto& select = select_mode(kit);
  EXPECT_EQ(mode_name(kit), "SELECT MODE");
  EXPECT_EQ(select.candidates.size(), 3u);
  EXPECT_EQ(selected_name(kit), "b");
  EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{"b"}));
  EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1}));
}

TEST(SelectMode, KeysStepWithoutWrappingAround)
{
  struct Case {
    const char* keys;
    int start;
    const char* selected;
  };
  const Case cases[] = {
    {"h", 0, "a"},    {"k", 0, "a"},    {"l", 0, "b"},   {"j", 0, "b"},       {"lll", 0, "c"},
    {"jjjj", 0, "c"}, {"l", 2, "c"},    {"hh", 2, "a"},  {"lllhhhh", 0, "a"}, {"<Right><Left><Down>", 0, "b"},
    {"u<C-r>", 1, "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + " from " + std::to_string(c.start));
    KindKit kit = select_kit();
    enter_on_stack(kit, CtrlSelectModeModes::del, c.start);
    press_keys(*kit.ctx, c.keys);
    EXPECT_EQ(mode_name(kit), "SELECT MODE");
    EXPECT_EQ(selected_name(kit), c.selected);
    EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{c.selected})) << "only the selected one";
    EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1}));
    EXPECT_EQ(undo_steps(kit), 0u);
  }
}

TEST(SelectMode, ThePointerGestureStepsOnceEveryTwelveUnits)
{
  struct Move {
    double dx, dy;
    bool handled;
    const char* selected;
  };
  struct Case {
    const char* what;
    int start;
    std::vector<Move> moves;
  };
  const Case cases[] = {
    {"11 to the right: nothing", 0, {{11, 0, false, "a"}}},
    {"11 then 1 more: the next, once", 0, {{11, 0, false, "a"}, {1, 0, true, "b"}}},
    {"the origin is reset after a step", 0, {{12, 0, true, "b"}, {11, 0, false, "b"}, {1, 0, true, "c"}}},
    {"small moves add up", 0, {{4, 0, false, "a"}, {4, 0, false, "a"}, {0, 4, true, "b"}}},
    {"straight down: the next", 0, {{0, 12, true, "b"}}},
    {"straight up: the previous", 2, {{0, -12, true, "b"}}},
    {"to the left: the previous", 1, {{-12, 0, true, "a"}}},
    {"left wins over down", 1, {{-1, 30, true, "a"}}},
    {"back and forth cancel out", 1, {{8, 0, false, "b"}, {-8, 0, false, "b"}}},
    {"at the end it stays", 2, {{30, 0, true, "c"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit = select_kit();
    enter_on_stack(kit, CtrlSelectModeModes::del, c.start);
    auto& select = select_mode(kit);
    auto bef = Point(100, 100);
    for (const Move& m : c.moves) {
      const auto now = Point(bef.get_x() + m.dx, bef.get_y() + m.dy);
      EXPECT_EQ(select.on_pointer_move(bef, now), m.handled);
      EXPECT_EQ(selected_name(kit), m.selected);
      EXPECT_EQ(bef.get_x(), now.get_x() - m.dx) << "the binder's point is left as it was";
      bef = now;
    }
    EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{selected_name(kit)}));
  }
}

TEST(SelectMode, EscapeAndARightClickCancelAndClearEveryHighlight)
{
  for (const auto mode : {CtrlSelectModeModes::del, CtrlSelectModeModes::yank, CtrlSelectModeModes::chg_msg}) {
    for (const bool by_click : {false, true}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (by_click ? " click" : " Esc"));
      KindKit kit = select_kit();
      enter_on_stack(kit, mode);
      const std::string before = document_of(*kit.ws);
      press_keys(*kit.ctx, "l");
      if (by_click)
        EXPECT_TRUE(select_mode(kit).on_press_right_button(centre_of(*kit.ws, {4, 4})));
      else
        press_keys(*kit.ctx, "<Esc>");
      EXPECT_EQ(mode_name(kit), "CELL MODE");
      EXPECT_TRUE(marks_in_process(kit).empty());
      EXPECT_EQ(document_of(*kit.ws), before);
      EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1}));
      for (const auto& line : kit.take_log())
        EXPECT_NE(line.rfind("menu:", 0), 0u) << "no context menu: " << line;
    }
  }
}

TEST(SelectMode, SettlingByKeyOrClickRecordsWhatTheKindAsks)
{
  struct Case {
    const char* what;
    CtrlSelectModeModes mode;
    bool by_click;
    Layout expected;
    size_t steps;
  };
  const Layout all = {"a@1,1+0,0", "b@1,1+0,0", "c@1,1+0,0", "z@3,3+0,0"};
  const Layout without_b = {"a@1,1+0,0", "c@1,1+0,0", "z@3,3+0,0"};
  const Case cases[] = {
    {"x deletes with a step", CtrlSelectModeModes::del, false, without_b, 1},
    {"a click deletes with a step too", CtrlSelectModeModes::del, true, without_b, 1},
    {"x yanks without a step", CtrlSelectModeModes::yank, false, all, 0},
    {"a click yanks without a step", CtrlSelectModeModes::yank, true, all, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit = select_kit();
    enter_on_stack(kit, c.mode);
    const std::string before = document_of(*kit.ws);
    press_keys(*kit.ctx, "l");
    if (c.by_click)
      EXPECT_TRUE(select_mode(kit).on_press_left_button(centre_of(*kit.ws, {5, 2})));
    else
      press_keys(*kit.ctx, "x");
    EXPECT_EQ(select_log(kit), (Log{"SELECT MODE:settle b"}));
    EXPECT_EQ(mode_name(kit), "CELL MODE");
    EXPECT_EQ(marks_of(*kit.ws), c.expected);
    EXPECT_EQ(undo_steps(kit), c.steps);
    EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 1})) << "the click's point is not used";
    EXPECT_TRUE(marks_in_process(kit).empty());

    // The step is an ordinary one: undo gives the document back.
    press_keys(*kit.ctx, "u");
    EXPECT_EQ(document_of(*kit.ws), before);
  }
}

TEST(SelectMode, AChangeHandsTheSelectedCandidateToTheRangeMode)
{
  for (const bool by_click : {false, true}) {
    SCOPED_TRACE(by_click ? "click" : "x");
    KindKit kit = select_kit();
    enter_on_stack(kit, CtrlSelectModeModes::chg_msg);
    const std::string before = document_of(*kit.ws);
    press_keys(*kit.ctx, "ll");
    if (by_click)
      select_mode(kit).on_press_left_button(centre_of(*kit.ws, {1, 1}));
    else
      press_keys(*kit.ctx, "x");
    ASSERT_EQ(mode_name(kit), "RANGE MODE");
    EXPECT_EQ(kit.ctx->edit_elm, select_mode(kit).candidates.at(2));
    EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{"c"}));

    press_keys(*kit.ctx, "lj<Enter>");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"a@1,1+0,0", "b@1,1+0,0", "c@1,1+1,1", "z@3,3+0,0"}));
    EXPECT_EQ(undo_steps(kit), 1u) << "the change alone";
    press_keys(*kit.ctx, "u");
    EXPECT_EQ(document_of(*kit.ws), before);
  }
}

TEST(SelectMode, AnEmptyCandidateListSelectsNothing)
{
  KindKit kit = select_kit();
  auto& select = select_mode(kit);
  EXPECT_EQ(select.get_selected(), nullptr) << "before any candidates";

  // Entered on an empty cell, the kind finds no candidates.
  kit.ctx->set_pos({6, 6});
  ASSERT_TRUE(kit.ctx->change_to<CtrlSelectMode>());
  EXPECT_TRUE(select.candidates.empty());
  EXPECT_EQ(select.get_selected(), nullptr);
  press_keys(*kit.ctx, "hl");
  EXPECT_EQ(select.sel_index, 0);
  EXPECT_EQ(select.on_pointer_move(Point(0, 0), Point(20, 0)), true);
  EXPECT_EQ(select.get_selected(), nullptr);

  select.candidates = put_marks(*kit.ws, {"p@2,2"});
  select.sel_index = 1;
  EXPECT_EQ(select.get_selected(), nullptr) << "past the end";
  select.sel_index = -1;
  EXPECT_EQ(select.get_selected(), nullptr) << "before the start";
  select.sel_index = 0;
  EXPECT_EQ(select.get_selected(), select.candidates[0]);
}

} // namespace
} // namespace velkaro::test
