// The range mode: its key table, key scripts through the test kind's cell
// and range modes (insertion, change, resize) with the undo stack after
// each, the keys that must not record on top of the preview, the pointer,
// the mouse sub-mode and the long-press timer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <glibmm/main.h>
#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/modes/range_mode.h"
#include "model/exp_stack.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

// The test kind's cell mode, where "i" inserts a resizable mark "n" at an
// empty cursor cell and stretches it in the range mode, and "c" on a
// resizable mark changes it in the range mode, as a diagram kind does.
class RangeCellMode : public TestCellMode {
public:
  using TestCellMode::TestCellMode;

  bool insert() override
  {
    auto& ctx = get_ctrl();
    if (ctx.get_now_elm())
      return false;
    const auto mark = put_marks(*get_ws(), {"n@" + std::to_string(ctx.get_now_cell().x) + "," +
                                            std::to_string(ctx.get_now_cell().y)})
                        .front();
    ctx.edit_elm = mark;
    change_to<CtrlRangeMode>([](CtrlRangeMode& range) { range.mode = CtrlRangeModeModes::insert; });
    return true;
  }

  bool change_() override
  {
    auto& ctx = get_ctrl();
    const auto exp = ctx.get_now_exp();
    if (!exp || exp->get_resizable_elms().empty())
      return TestCellMode::change_();
    ctx.edit_elm = exp->get_resizable_elms().front();
    change_to<CtrlRangeMode>([](CtrlRangeMode& range) { range.mode = CtrlRangeModeModes::change; });
    return true;
  }
};

KindKit range_kit()
{
  KindKit kit([](KindContext& ctx) {
    return std::vector<CtrlContext::ModePtr>{std::make_shared<RangeCellMode>(ctx),
                                             std::make_shared<TestRangeMode>(ctx)};
  });
  kit.ctx->change_to_cell_mode();
  kit.take_log();
  return kit;
}

TestRangeMode& range_mode(KindKit& kit)
{
  return dynamic_cast<TestRangeMode&>(*kit.ctx->get_mode(typeid(TestRangeMode)));
}

// The mode's own log lines without the canvas's.
Log range_mode_log(KindKit& kit)
{
  Log lines;
  for (auto& line : kit.take_log())
    if (line.rfind("canvas:", 0) != 0)
      lines.push_back(std::move(line));
  return lines;
}

// Runs the default main loop for ms milliseconds.
void spin_main_loop(unsigned ms)
{
  const auto loop = Glib::MainLoop::create();
  Glib::signal_timeout().connect_once([&] { loop->quit(); }, ms, Glib::PRIORITY_LOW + 100);
  loop->run();
}

TEST(RangeMode, KeyTableAndReplacements)
{
  KindKit kit = range_kit();
  auto& range = range_mode(kit);
  EXPECT_EQ(range.get_name(), "RANGE MODE");
  expect_key_table(range, {{"settle-move", {"<Enter>"}, "Settle", false, false}});

  // Keys stay with the included sets' names; the replacements that would
  // record on top of the preview do nothing and are never actionable.
  const std::vector<std::string> switched_off = {"append-line", "delete-col", "delete-line",
                                                 "delete-row",  "insert-col", "insert-line",
                                                 "insert-row",  "redo",       "undo"};
  std::vector<std::string> replaced, never;
  for (const auto& [name, wrapper] : range.get_replacement()) {
    replaced.push_back(name);
    EXPECT_TRUE(wrapper->get_app_keys().empty()) << name;
    if (wrapper->has_is_actionable_func())
      never.push_back(name);
  }
  EXPECT_EQ(never, switched_off);
  EXPECT_EQ(replaced.size(), switched_off.size() + 6) << "and the cursor moves of the select-cell base";
  const auto& included = range.get_included_modes();
  ASSERT_EQ(included.size(), 2u);
  EXPECT_EQ(included[0]->get_name(), "2D MODE");
  EXPECT_EQ(included[1]->get_name(), "BASE MODE");
}

TEST(RangeMode, NothingThatRecordsIsActionableWhileItIsCurrent)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  ctx.set_pos({1, 1});
  press_keys(ctx, "i");
  ASSERT_EQ(mode_name(kit), "RANGE MODE");
  ASSERT_TRUE(ctx.get_action_proc()->get_has_undo_stack()) << "the insertion could be undone elsewhere";
  const auto names = ctx.enum_actionable_name();
  for (const char* name : {"undo", "redo", "append-line", "insert-line", "delete-line", "insert-row", "delete-col"})
    EXPECT_EQ(names.count(name), 0u) << name;
  for (const char* name : {"settle-move", "cancel", "up", "toggle-hv", "scroll-down"})
    EXPECT_EQ(names.count(name), 1u) << name;
}

// --- Key scripts

TEST(RangeMode, KeyScripts)
{
  const Layout other = {"a@4,4+0,0"};
  const Layout one = {"r@1,1+0,0", "a@4,4+0,0"};
  const Layout wide = {"r@2,2+1,0"};
  const char* cell = "CELL MODE";
  const char* range = "RANGE MODE";
  const KeyScript scripts[] = {
    // Insertion: the inserting step is what each preview replaces.
    {"i: the new mark under edit", other, {1, 1}, "i", {"n@1,1+0,0", "a@4,4+0,0"}, {1, 1}, range, 1},
    {"i then Esc: as before", other, {1, 1}, "i<Esc>", other, {1, 1}, cell, 0},
    {"i, moves, Esc: as before", other, {1, 1}, "ijl<Esc>", other, {2, 2}, cell, 0},
    {"i then Enter: kept as one step", other, {1, 1}, "i<Enter>", {"n@1,1+0,0", "a@4,4+0,0"}, {1, 1}, cell, 1},
    {"i, l l: the preview follows", other, {1, 1}, "ill", {"n@1,1+2,0", "a@4,4+0,0"}, {3, 1}, range, 1},
    {"i, l l, Enter: one step", other, {1, 1}, "ill<Enter>", {"n@1,1+2,0", "a@4,4+0,0"}, {3, 1}, cell, 1},
    {"i, k h: the range from the cursor", other, {1, 1}, "ikh<Enter>", {"n@0,0+1,1", "a@4,4+0,0"}, {0, 0}, cell, 1},
    {"i, w: to the next element", other, {1, 4}, "iw<Enter>", {"n@1,4+3,0", "a@4,4+0,0"}, {4, 4}, cell, 1},
    // Change: the empty step of entering is what the first preview replaces.
    {"c then Enter: nothing recorded", one, {1, 1}, "c<Enter>", one, {1, 1}, cell, 0},
    {"c, l, Enter: one step", one, {1, 1}, "cl<Enter>", {"r@1,1+1,0", "a@4,4+0,0"}, {2, 1}, cell, 1},
    {"c, l j, Enter: one step", one, {1, 1}, "clj<Enter>", {"r@1,1+1,1", "a@4,4+0,0"}, {2, 2}, cell, 1},
    {"c, l and back, Enter: nothing recorded", one, {1, 1}, "clh<Enter>", one, {1, 1}, cell, 0},
    {"c, l, Esc: as before", one, {1, 1}, "cl<Esc>", one, {2, 1}, cell, 0},
    {"c from inside a wide mark starts at its anchor", wide, {3, 2}, "cj<Enter>", {"r@2,2+0,1"}, {2, 3}, cell, 1},
    // Resize: the far corner follows the cursor.
    {"R then Enter: nothing recorded", wide, {2, 2}, "R<Enter>", wide, {3, 2}, cell, 0},
    {"R, l, Enter: one step", wide, {2, 2}, "Rl<Enter>", {"r@2,2+2,0"}, {4, 2}, cell, 1},
    {"R, j, Enter: one step", wide, {2, 2}, "Rj<Enter>", {"r@2,2+1,1"}, {3, 3}, cell, 1},
    {"R, h: narrower", wide, {2, 2}, "Rh<Enter>", {"r@2,2+0,0"}, {2, 2}, cell, 1},
    {"R, h h: left of the anchor keeps the preview", wide, {2, 2}, "Rhh", {"r@2,2+0,0"}, {1, 2}, range, 1},
    {"R, h h, Enter: as previewed", wide, {2, 2}, "Rhh<Enter>", {"r@2,2+0,0"}, {1, 2}, cell, 1},
    {"R, k: above the anchor keeps it", wide, {2, 2}, "Rk<Enter>", wide, {3, 1}, cell, 0},
    {"R, h h l l: resumes, back at the corner", wide, {2, 2}, "Rhhll<Enter>", wide, {3, 2}, cell, 0},
    {"R, h h l l l: resumes and widens", wide, {2, 2}, "Rhhlll<Enter>", {"r@2,2+2,0"}, {4, 2}, cell, 1},
    {"R, l, Esc: as before", wide, {2, 2}, "Rl<Esc>", wide, {4, 2}, cell, 0},
  };
  for (const KeyScript& s : scripts) {
    run_key_script(range_kit(), s, ScriptDocument::marks, [&s, cell](KindKit& kit) {
      if (std::string(s.mode) == cell) {
        EXPECT_EQ(kit.ctx->edit_elm, nullptr);
        EXPECT_EQ(kit.ctx->selected_range, nullptr);
        EXPECT_TRUE(marks_in_process(kit).empty());
      }
    });
  }
}

TEST(RangeMode, TheUsersEarlierStepOutlivesEveryEditOfTheMode)
{
  // What the first preview, a settle or a cancel undoes is the mode's own
  // step (the empty one of entering, the insertion, a preview), never the
  // step the user made before.
  struct Case {
    const char* keys;
    CellPos cursor;
    Layout expected;
    size_t mode_steps;
  };
  const Layout start = {"r@1,1+0,0", "e@6,6+0,0"};
  const Case cases[] = {
    {"c<Enter>", {1, 1}, start, 0},
    {"cl<Esc>", {1, 1}, start, 0},
    {"clh<Enter>", {1, 1}, start, 0},
    {"cl<Enter>", {1, 1}, {"r@1,1+1,0", "e@6,6+0,0"}, 1},
    {"R<Enter>", {1, 1}, start, 0},
    {"Rl<Esc>", {1, 1}, start, 0},
    {"Rj<Enter>", {1, 1}, {"r@1,1+0,1", "e@6,6+0,0"}, 1},
    {"i<Esc>", {3, 3}, start, 0},
    {"il<Esc>", {3, 3}, start, 0},
    {"il<Enter>", {3, 3}, {"r@1,1+0,0", "n@3,3+1,0", "e@6,6+0,0"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    KindKit kit = range_kit();
    auto& ctx = *kit.ctx;
    put_marks(*kit.ws, {"r@1,1"});
    const std::string untouched = document_of(*kit.ws);
    ctx.with_diff([&] { put_marks(*kit.ws, {"e@6,6"}); });
    ASSERT_EQ(undo_steps(kit), 1u);
    ctx.set_pos(c.cursor);

    press_keys(ctx, c.keys);
    ASSERT_EQ(mode_name(kit), "CELL MODE");
    EXPECT_EQ(marks_of(*kit.ws), c.expected);
    ASSERT_EQ(undo_steps(kit), 1 + c.mode_steps);
    for (size_t i = 0; i < c.mode_steps; ++i)
      press_keys(ctx, "u");
    EXPECT_EQ(marks_of(*kit.ws), start);
    press_keys(ctx, "u");
    EXPECT_EQ(document_of(*kit.ws), untouched) << "the earlier step was still the one below";
  }
}

TEST(RangeMode, WhatTheModeTakesBackLeavesTheRedoHistoryAsItWas)
{
  // An edit cancelled or left unchanged is no step of the history: the
  // user's undone step is still the one to redo, and nothing the mode took
  // back comes again with a redo. A settled edit is a new step, after which
  // there is nothing to redo.
  struct Case {
    const char* keys;
    CellPos cursor;
    bool kept;
  };
  const Case cases[] = {
    {"i<Esc>", {3, 3}, false},    {"il<Esc>", {3, 3}, false},  {"ijl<Esc>", {3, 3}, false},
    {"c<Enter>", {1, 1}, false},  {"cl<Esc>", {1, 1}, false},  {"clh<Enter>", {1, 1}, false},
    {"R<Enter>", {1, 1}, false},  {"Rl<Esc>", {1, 1}, false},  {"il<Enter>", {3, 3}, true},
    {"cl<Enter>", {1, 1}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    KindKit kit = range_kit();
    auto& ctx = *kit.ctx;
    const auto& proc = *ctx.get_action_proc();
    put_marks(*kit.ws, {"r@1,1"});
    ctx.with_diff([&] { put_marks(*kit.ws, {"e@6,6"}); });
    press_keys(ctx, "u");
    ASSERT_TRUE(proc.get_redo_stack() && proc.get_redo_stack()->size() == 1u);
    const auto undone = proc.get_redo_stack()->back();
    const std::string before = document_of(*kit.ws);
    ctx.set_pos(c.cursor);

    press_keys(ctx, c.keys);
    ASSERT_EQ(mode_name(kit), "CELL MODE");
    if (c.kept) {
      EXPECT_EQ(undo_steps(kit), 1u);
      EXPECT_FALSE(proc.get_has_redo_stack());
      continue;
    }
    EXPECT_EQ(document_of(*kit.ws), before);
    EXPECT_EQ(undo_steps(kit), 0u);
    ASSERT_TRUE(proc.get_redo_stack());
    EXPECT_EQ(*proc.get_redo_stack(), (CtrlActionProcessor::Stack{undone}));
    press_keys(ctx, "<C-r>");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"r@1,1+0,0", "e@6,6+0,0"})) << "the user's step, and only that, comes back";
  }
}

TEST(RangeMode, LineKeysUndoAndRedoDoNothingWhileThePreviewIsShown)
{
  // "o", "O" and "dd" would otherwise record a line change on top of the
  // preview, and the next preview would undo that instead of itself.
  for (const char* key : {"o", "O", "dd", "u", "<C-r>", "<space>o", "<space>dd"}) {
    SCOPED_TRACE(key);
    KindKit kit = range_kit();
    auto& ctx = *kit.ctx;
    put_marks(*kit.ws, {"a@1,3+0,0"});
    const std::string before = document_of(*kit.ws);
    ctx.set_pos({1, 1});

    press_keys(ctx, "il");
    press_keys(ctx, key);
    EXPECT_EQ(mode_name(kit), "RANGE MODE");
    press_keys(ctx, "l<Enter>");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"n@1,1+2,0", "a@1,3+0,0"}));
    EXPECT_EQ(undo_steps(kit), 1u);
    press_keys(ctx, "u");
    EXPECT_EQ(document_of(*kit.ws), before);
    // In the cell mode the keys work again.
    ctx.set_now_dir(CellDir::h);
    press_keys(ctx, "o");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"a@1,4+0,0"}));
  }
}

TEST(RangeMode, EachPreviewUndoesTheLastAndRecordsTheKindsUpdate)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  ctx.set_pos({1, 1});
  press_keys(ctx, "i");
  EXPECT_EQ(range_mode_log(kit), (Log{"CELL MODE:on_exit", "RANGE MODE:enter_for ResizableMark",
                                 "RANGE MODE:on_enter mode=0 edit=ResizableMark"}));
  EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{"n"}));
  const auto inserted = ctx.get_action_proc()->get_undo_stack().back();

  press_keys(ctx, "l");
  // epos: where the element was before the previous step was undone.
  EXPECT_EQ(range_mode_log(kit), (Log{"RANGE MODE:update_range", "RANGE MODE:update_element (1, 1)"}));
  ASSERT_EQ(undo_steps(kit), 1u);
  EXPECT_NE(ctx.get_action_proc()->get_undo_stack().back(), inserted) << "the insertion was replaced";
  EXPECT_EQ(ctx.selected_range->to_string(), "(1, 1)-(2, 1)");
  EXPECT_EQ(marks_in_process(kit), (std::vector<std::string>{"n"}));

  press_keys(ctx, "<Enter>");
  EXPECT_EQ(range_mode_log(kit), (Log{"RANGE MODE:update_element (1, 1)", "RANGE MODE:on_exit", "CELL MODE:on_enter"}));
  EXPECT_TRUE(marks_in_process(kit).empty());
}

TEST(RangeMode, AMinorChangeKeepsItsSingleCellStep)
{
  for (const bool minor : {false, true}) {
    SCOPED_TRACE(minor ? "minor" : "not minor");
    KindKit kit = range_kit();
    auto& ctx = *kit.ctx;
    put_marks(*kit.ws, {"r@1,1+0,0"});
    range_mode(kit).minor_change = minor;
    ctx.set_pos({1, 1});
    press_keys(ctx, "clh<Enter>");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"r@1,1+0,0"}));
    EXPECT_EQ(undo_steps(kit), minor ? 1u : 0u);
  }
}

TEST(RangeMode, AnElementTheKindDropsTakesItsPreviewAlong)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  put_marks(*kit.ws, {"r@1,1+0,0"});
  const std::string before = document_of(*kit.ws);
  range_mode(kit).drop_at = CellPos{3, 1};
  ctx.set_pos({1, 1});
  press_keys(ctx, "cl");
  ASSERT_EQ(undo_steps(kit), 1u);
  press_keys(ctx, "l");
  EXPECT_EQ(mode_name(kit), "CELL MODE");
  EXPECT_EQ(document_of(*kit.ws), before);
  EXPECT_EQ(undo_steps(kit), 0u);
  EXPECT_EQ(ctx.edit_elm, nullptr);
}

// --- Pointer

TEST(RangeMode, ClicksStretchDoubleClickSettlesRightClickCancels)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  ctx.set_pos({1, 1});
  press_keys(ctx, "i");
  auto& range = range_mode(kit);

  EXPECT_TRUE(range.on_press_left_button(centre_of(*kit.ws, {3, 2})));
  EXPECT_TRUE(range.on_release_left_button(centre_of(*kit.ws, {3, 2})));
  EXPECT_EQ(mode_name(kit), "RANGE MODE") << "a release after a press does not settle";
  EXPECT_TRUE(range.on_press_left_button(centre_of(*kit.ws, {2, 3})));
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"n@1,1+1,2"})) << "the button was released, yet clicks still stretch";
  EXPECT_EQ(undo_steps(kit), 1u);

  EXPECT_TRUE(range.on_double_press_left_button(centre_of(*kit.ws, {2, 3})));
  EXPECT_EQ(mode_name(kit), "CELL MODE");
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"n@1,1+1,2"}));
  EXPECT_EQ(undo_steps(kit), 1u);

  ctx.set_pos({5, 5});
  press_keys(ctx, "il");
  kit.take_log();
  EXPECT_TRUE(range_mode(kit).on_press_right_button(centre_of(*kit.ws, {5, 5})));
  EXPECT_EQ(mode_name(kit), "CELL MODE");
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"n@1,1+1,2"}));
  EXPECT_EQ(undo_steps(kit), 1u);
  for (const auto& line : kit.take_log())
    EXPECT_NE(line.rfind("menu:", 0), 0u) << "no context menu: " << line;
}

// What a kind does when a press in its cell mode inserts: the mark is
// stored as a step of its own and stretched from the pressed cell.
void insert_by_mouse(KindKit& kit, const CellPos& at, const CellPos& back)
{
  auto& ctx = *kit.ctx;
  std::shared_ptr<ModelElement> mark;
  ctx.with_diff([&] { mark = put_marks(*kit.ws, {"m@" + std::to_string(at.x) + "," + std::to_string(at.y)}).front(); });
  ctx.set_pos(at);
  ctx.edit_elm = mark;
  ctx.change_to<CtrlRangeMode>([&](CtrlRangeMode& range) {
    range.mode = CtrlRangeModeModes::mouse;
    range.return_pos = back;
  });
}

TEST(RangeMode, TheMouseSubModeSettlesOnReleaseAndReturnsTheCursor)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  kit.main_view->long_press_time = 60000;
  insert_by_mouse(kit, {2, 2}, {7, 1});
  ASSERT_EQ(mode_name(kit), "RANGE MODE");
  EXPECT_EQ(undo_steps(kit), 1u);

  EXPECT_TRUE(range_mode(kit).on_release_left_button(centre_of(*kit.ws, {2, 2})));
  EXPECT_EQ(mode_name(kit), "CELL MODE");
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{7, 1}));
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"m@2,2+0,0"})) << "the insertion is kept";
  EXPECT_EQ(undo_steps(kit), 1u);
  EXPECT_TRUE(marks_in_process(kit).empty());
}

TEST(RangeMode, TheFirstMouseDrivenPreviewUndoesNothing)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  kit.main_view->long_press_time = 60000;
  put_marks(*kit.ws, {"a@0,0"});
  insert_by_mouse(kit, {2, 2}, {7, 1});
  auto& range = range_mode(kit);

  EXPECT_TRUE(range.on_drag_with_left_button(centre_of(*kit.ws, {2, 2}), centre_of(*kit.ws, {4, 3})));
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"a@0,0+0,0", "m@2,2+2,1"}));
  EXPECT_EQ(undo_steps(kit), 2u) << "the insertion stays below the preview";
  EXPECT_EQ(range.mode, CtrlRangeModeModes::insert);
  EXPECT_TRUE(range.on_drag_with_left_button(centre_of(*kit.ws, {2, 2}), centre_of(*kit.ws, {3, 3})));
  EXPECT_EQ(undo_steps(kit), 2u) << "later previews replace the previous one";

  press_keys(ctx, "<Enter>");
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"a@0,0+0,0", "m@2,2+1,1"}));
  press_keys(ctx, "uu");
  EXPECT_EQ(marks_of(*kit.ws), (Layout{"a@0,0+0,0"}));
}

// --- Long press

TEST(RangeMode, AReleaseSettlesOnlyAfterALongPressWithNoClickInBetween)
{
  struct Case {
    const char* what;
    bool wait;
    bool press_first;
    bool settles;
  };
  const Case cases[] = {
    {"held past the long-press time", true, false, true},
    {"released at once", false, false, false},
    {"a press in the mode came first", true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit = range_kit();
    auto& ctx = *kit.ctx;
    kit.main_view->long_press_time = c.wait ? 5 : 60000;
    ctx.set_pos({1, 1});
    press_keys(ctx, "il");
    auto& range = range_mode(kit);
    if (c.press_first)
      range.on_press_left_button(centre_of(*kit.ws, {2, 1}));
    spin_main_loop(40);
    EXPECT_TRUE(range.on_release_left_button(centre_of(*kit.ws, {2, 1})));
    EXPECT_EQ(mode_name(kit), c.settles ? "CELL MODE" : "RANGE MODE");
    EXPECT_EQ(marks_of(*kit.ws), (Layout{"n@1,1+1,0"}));
    EXPECT_EQ(undo_steps(kit), 1u);
  }
}

TEST(RangeMode, ALongPressTimerOfAnEarlierVisitNeverFiresInALaterOne)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  kit.main_view->long_press_time = 20;
  ctx.set_pos({1, 1});
  press_keys(ctx, "i<Esc>");
  ASSERT_EQ(mode_name(kit), "CELL MODE");

  kit.main_view->long_press_time = 60000;
  press_keys(ctx, "il");
  spin_main_loop(80);
  range_mode(kit).on_release_left_button(centre_of(*kit.ws, {2, 1}));
  EXPECT_EQ(mode_name(kit), "RANGE MODE") << "no long press in this visit";
}

TEST(RangeMode, APendingLongPressTimerDiesWithTheMode)
{
  std::weak_ptr<CtrlMode> gone;
  {
    KindKit kit = range_kit();
    kit.main_view->long_press_time = 10;
    kit.ctx->set_pos({1, 1});
    press_keys(*kit.ctx, "i");
    gone = kit.ctx->get_now_mode();
  }
  ASSERT_TRUE(gone.expired()) << "the timer holds no reference to the mode";
  spin_main_loop(40);
}

TEST(RangeMode, WithoutAMainViewGtksDefaultLongPressTimeIsUsed)
{
  KindKit kit = range_kit();
  auto& ctx = *kit.ctx;
  ctx.set_main_view(nullptr);
  ctx.set_pos({1, 1});
  press_keys(ctx, "i");
  spin_main_loop(40);
  range_mode(kit).on_release_left_button(centre_of(*kit.ws, {1, 1}));
  EXPECT_EQ(mode_name(kit), "RANGE MODE") << "not after " << CtrlRangeMode::DEFAULT_LONG_PRESS_MS << " ms";
}

} // namespace
} // namespace velkaro::test
