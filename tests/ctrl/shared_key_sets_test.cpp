// The shared key sets ("BASE MODE" and "2D MODE"): their tables, and key
// scripts through a mode that includes both.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_pos.h"
#include "common/point.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode_2d.h"
#include "ctrl/mode_scripts_for_test.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

// The canvas lines of the log, in order.
Log canvas_calls(KindKit& kit, const std::string& prefix)
{
  Log calls;
  for (const auto& line : kit.take_log())
    if (line.rfind(prefix, 0) == 0)
      calls.push_back(line);
  return calls;
}

TEST(SharedKeySets, EveryActionHasItsNameKeysAndDescription)
{
  KindKit kit = host_kit();
  const auto base = CtrlBaseMode::create(*kit.ctx);
  EXPECT_EQ(base->get_name(), "BASE MODE");
  expect_key_table(*base, {
                            {"manual", {"<F1>"}, "Show Help", false, false},
                            {"activat-cmd-ctrl", {"<:>"}, "Activate Command Controll", false, false},
                            {"undo", {"u", "<C-z>"}, "Undo", false, true},
                            {"redo", {"<C-r>", "<C-Z>"}, "Redo", false, true},
                            {"force-quit", {"ZX", "ZQ", "ZZ"}, "Quit without checking for changes", false, false},
                            {"cancel", {"<Esc>", "<C-[>"}, "Cancel", false, false},
                            {"up", {"k", "<Up>", "<KP_Up>"}, "Move up active cell", false, false},
                            {"down", {"j", "<Down>", "<KP_Down>"}, "Move down active cell", false, false},
                            {"left", {"h", "<Left>", "<KP_Left>"}, "Move left active cell", false, false},
                            {"right", {"l", "<Right>", "<KP_Right>"}, "Move right active cell", false, false},
                            {"next-element", {"w"}, "Go to Next Element", false, false},
                            {"prev-element", {"b"}, "Go to Prev Element", false, false},
                            {"zoom-in", {"<plus>", "<KP_Add>"}, std::nullopt, false, false},
                            {"zoom-out", {"<minus>", "<KP_Subtract>"}, std::nullopt, false, false},
                            {"zoom-reset", {"<equal>", "<KP_Enter>"}, std::nullopt, false, false},
                          });

  const auto two_d = Ctrl2DMode::create(*kit.ctx);
  EXPECT_EQ(two_d->get_name(), "2D MODE");
  expect_key_table(*two_d, {
                             {"scroll-up", {"<C-y>"}, "Scroll up canvas", false, false},
                             {"scroll-down", {"<C-e>"}, "Scroll down canvas", false, false},
                             {"scroll-page-par-up", {"<C-u>"}, "Scroll up canvas", false, false},
                             {"scroll-page-par-down", {"<C-d>"}, "Scroll down canvas", false, false},
                             {"scroll-page-up", {"<C-b>"}, "Scroll up canvas", false, false},
                             {"scroll-page-down", {"<C-f>"}, "Scroll down canvas", false, false},
                             {"scroll-to-top", {"gg"}, "Scroll to Top of canvas", false, false},
                             {"scroll-to_bottom", {"G"}, "Scroll to Bottom of canvas", false, false},
                             {"append-line", {"o"}, "Append Line below the current cell", true, false},
                             {"insert-line", {"O"}, "Insert line above the current cell", true, false},
                             {"delete-line", {"dd"}, "Delete current line", true, false},
                             {"insert-col", {}, "Insert col above the current cell", true, false},
                             {"insert-row", {}, "Insert row left the current cell", true, false},
                             {"delete-col", {}, "Delete current col", true, false},
                             {"delete-row", {}, "Delete current row", true, false},
                             {"toggle-hv", {"<space>"}, "Toggle Axis", false, false},
                             {"to-virtical", {"<C-space>"}, "Change to Virtical Mode", false, false},
                             {"to-horizontal", {"<S-space>"}, "Change to Horizontal Mode", false, false},
                           });
}

TEST(SharedKeySets, UserBindingsAreReadFromTheGroupOfTheSetsName)
{
  KindKit kit = host_kit();
  auto& store = *kit.ctx->get_store();
  store.save_values("up", {"K"}, "BASE MODE");
  store.save_values("scroll-to_bottom", {}, "2D MODE");
  store.save_values("to-virtical", {"V"}, "2D MODE");

  const auto base = CtrlBaseMode::create(*kit.ctx);
  EXPECT_EQ(base->get_key_action_map().get("K"), "up");
  EXPECT_EQ(base->get_key_action_map().get("k"), std::nullopt);
  const auto two_d = Ctrl2DMode::create(*kit.ctx);
  EXPECT_EQ(two_d->get_key_action_map().get("G"), std::nullopt) << "an empty list binds no key";
  EXPECT_EQ(two_d->get_key_action_map().get("V"), "to-virtical");
}

// --- Lines

struct LineCase {
  const char* what;
  Layout start;
  CellPos cursor;
  CellDir dir;
  const char* keys;
  Layout expected;
};

TEST(SharedKeySets, LineKeysFollowTheAxisOfInsertionAndUndoInOneStep)
{
  const Layout abc = {"a@0,0", "b@1,1", "c@2,2"};
  const LineCase cases[] = {
    {"o, axis h: a row below the cursor", abc, {1, 1}, CellDir::h, "o", {"a@0,0", "b@1,1", "c@2,3"}},
    {"O, axis h: a row at the cursor", abc, {1, 1}, CellDir::h, "O", {"a@0,0", "b@1,2", "c@2,3"}},
    {"dd, axis h: the cursor's row", abc, {1, 1}, CellDir::h, "dd", {"a@0,0", "c@2,1"}},
    {"o, axis v: a column right of the cursor", abc, {1, 1}, CellDir::v, "o", {"a@0,0", "b@1,1", "c@3,2"}},
    {"O, axis v: a column at the cursor", abc, {1, 1}, CellDir::v, "O", {"a@0,0", "b@2,1", "c@3,2"}},
    {"dd, axis v: the cursor's column", abc, {1, 1}, CellDir::v, "dd", {"a@0,0", "c@1,2"}},
    {"o, axis hv counts as not vertical", abc, {1, 1}, CellDir::hv, "o", {"a@0,0", "b@1,1", "c@2,3"}},
    {"dd, axis v, the cursor's row empty", abc, {2, 0}, CellDir::v, "dd", {"a@0,0", "b@1,1"}},
    {"<space> turns hv into h", abc, {1, 1}, CellDir::hv, "<space>o", {"a@0,0", "b@1,1", "c@2,3"}},
    {"<space> turns h into v", abc, {1, 1}, CellDir::h, "<space>o", {"a@0,0", "b@1,1", "c@3,2"}},
    {"<C-space> makes v", abc, {1, 1}, CellDir::h, "<C-space>O", {"a@0,0", "b@2,1", "c@3,2"}},
    {"<S-space> makes h", abc, {1, 1}, CellDir::v, "<S-space>O", {"a@0,0", "b@1,2", "c@2,3"}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit = host_kit();
    auto& ctx = *kit.ctx;
    auto& ws = *kit.ws;
    put_layout(ws, c.start);
    const std::string before = document_of(ws);
    ctx.set_pos(c.cursor);
    ctx.set_now_dir(c.dir);

    EXPECT_TRUE(press_keys(ctx, c.keys));
    EXPECT_EQ(layout_of(ws), c.expected);
    EXPECT_EQ(ctx.get_now_cell(), c.cursor) << "the cursor stays";
    EXPECT_EQ(ctx.get_action_proc()->get_undo_stack().size(), 1u);

    EXPECT_TRUE(press_keys(ctx, "u"));
    EXPECT_EQ(document_of(ws), before);
    EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
  }
}

TEST(SharedKeySets, RowAndColumnActionsIgnoreTheAxis)
{
  struct Case {
    const char* name;
    CellDir dir;
    Layout expected;
  };
  const Case cases[] = {
    {"insert-col", CellDir::h, {"a@0,0", "b@2,1", "c@3,2"}},
    {"insert-row", CellDir::v, {"a@0,0", "b@1,2", "c@2,3"}},
    {"delete-col", CellDir::h, {"a@0,0", "c@1,2"}},
    {"delete-row", CellDir::v, {"a@0,0", "c@2,1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KindKit kit = host_kit();
    auto& ctx = *kit.ctx;
    put_layout(*kit.ws, {"a@0,0", "b@1,1", "c@2,2"});
    ctx.set_pos({1, 1});
    ctx.set_now_dir(c.dir);
    EXPECT_TRUE(ctx.action(c.name));
    EXPECT_EQ(layout_of(*kit.ws), c.expected);
    EXPECT_EQ(ctx.get_action_proc()->get_undo_stack().size(), 1u);
  }
}

TEST(SharedKeySets, LineKeysThatChangeNothingRecordNoUndoStep)
{
  struct Case {
    const char* what;
    Layout start;
    CellPos cursor;
    CellDir dir;
    const char* keys;
  };
  const int32_t max = CellPos::MAX;
  const Case cases[] = {
    {"o below the last row", {}, {0, max}, CellDir::h, "o"},
    {"o right of the last column", {}, {max, 0}, CellDir::v, "o"},
    {"O under a text on the last row", {"z@0," + std::to_string(max)}, {0, max}, CellDir::h, "O"},
    {"insert-row under a text on the last row", {"z@3," + std::to_string(max)}, {0, 2}, CellDir::h, "insert-row"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit = host_kit();
    auto& ctx = *kit.ctx;
    put_layout(*kit.ws, c.start);
    const std::string before = document_of(*kit.ws);
    ctx.set_pos(c.cursor);
    ctx.set_now_dir(c.dir);
    if (std::string(c.keys) == "insert-row")
      ctx.action(c.keys);
    else
      press_keys(ctx, c.keys);
    EXPECT_EQ(document_of(*kit.ws), before);
    EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
  }

  // "dd" whose removal would pull a text reaching left off the grid.
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(place(*kit.ws, make_text("wide", -1), 1, 0));
  const std::string before = document_of(*kit.ws);
  ctx.set_now_dir(CellDir::v);
  ctx.set_pos({0, 3});
  press_keys(ctx, "dd");
  EXPECT_EQ(document_of(*kit.ws), before);
  EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
}

// --- The base keys

TEST(SharedKeySets, ForceQuitDestroysTheWindowWithoutTheSaveQuestion)
{
  for (const char* keys : {"ZZ", "ZQ", "ZX"}) {
    SCOPED_TRACE(keys);
    KindKit kit = host_kit();
    put_layout(*kit.ws, {"a@0,0"});
    kit.ws->modified = true;
    kit.take_log();
    EXPECT_TRUE(press_keys(*kit.ctx, keys));
    EXPECT_EQ(kit.take_log(), (Log{"window:destroy"}));
  }
}

TEST(SharedKeySets, ManualRunsTheContextsManualAndEndsWithoutOne)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  // Nothing holds "manual" above the base set: the lookup must end.
  EXPECT_TRUE(press_keys(ctx, "<F1>"));
  ctx.action("manual");
  EXPECT_TRUE(kit.take_log().empty());

  ctx.void_action("manual", {}, [&] { kit.log->push_back("context:manual"); }, std::nullopt);
  EXPECT_TRUE(press_keys(ctx, "<F1>"));
  EXPECT_EQ(kit.take_log(), (Log{"context:manual"}));
}

TEST(SharedKeySets, ColonHandsTheKeyboardToTheCommandLine)
{
  KindKit kit = host_kit();
  EXPECT_TRUE(press_keys(*kit.ctx, "<:>"));
  EXPECT_EQ(kit.take_log(), (Log{"cmd:active true"}));
  EXPECT_FALSE(kit.ctx->get_is_active());
}

TEST(SharedKeySets, UndoAndRedoAreActionableOnlyWithSomethingToDo)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  auto actionable = [&](const char* name) { return ctx.get_now_mode()->enum_actionable_name().count(name) == 1; };
  put_layout(*kit.ws, {"a@0,0"});
  const std::string start = document_of(*kit.ws);
  EXPECT_FALSE(actionable("undo"));
  EXPECT_FALSE(actionable("redo"));
  EXPECT_TRUE(press_keys(ctx, "u")) << "handled, doing nothing";
  EXPECT_EQ(document_of(*kit.ws), start);

  press_keys(ctx, "O");
  const std::string after = document_of(*kit.ws);
  EXPECT_TRUE(actionable("undo"));
  EXPECT_FALSE(actionable("redo"));

  for (const char* undo : {"u", "<C-z>"}) {
    press_keys(ctx, undo);
    EXPECT_EQ(document_of(*kit.ws), start) << undo;
    EXPECT_TRUE(actionable("redo"));
    EXPECT_FALSE(actionable("undo"));
    press_keys(ctx, undo == std::string("u") ? "<C-r>" : "<C-Z>");
    EXPECT_EQ(document_of(*kit.ws), after) << undo;
  }
}

TEST(SharedKeySets, CursorKeysMoveOneCellAndElementKeysJump)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  put_layout(*kit.ws, {"a@4,1", "b@6,0"});
  struct Step {
    const char* keys;
    CellPos cursor;
  };
  const Step steps[] = {
    {"l", {1, 0}},        {"<Right>", {2, 0}}, {"<KP_Right>", {3, 0}}, {"j", {3, 1}},
    {"<Down>", {3, 2}},   {"<KP_Down>", {3, 3}}, {"k", {3, 2}},        {"<Up>", {3, 1}},
    {"<KP_Up>", {3, 0}},  {"h", {2, 0}},       {"<Left>", {1, 0}},     {"<KP_Left>", {0, 0}},
    {"h", {0, 0}},        {"w", {4, 1}},       {"w", {6, 0}},          {"w", {6, 0}},
    {"b", {4, 1}},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(press_keys(ctx, s.keys));
    EXPECT_EQ(ctx.get_now_cell(), s.cursor) << s.keys;
  }
  EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
}

TEST(SharedKeySets, ZoomKeysZoomAboutTheCursorCellsCentre)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  ctx.set_pos({2, 1});
  kit.take_log();
  const std::string centre = ctx.get_now_cell_center_pt().to_string();
  struct Case {
    const char* keys;
    int direction;
  };
  for (const Case& c : {Case{"<plus>", 1}, Case{"<KP_Add>", 1}, Case{"<minus>", -1}, Case{"<KP_Subtract>", -1},
                        Case{"<equal>", 0}, Case{"<KP_Enter>", 0}}) {
    EXPECT_TRUE(press_keys(ctx, c.keys));
    EXPECT_EQ(kit.take_log(), (Log{"canvas:zoom_by_keys " + std::to_string(c.direction) + " " + centre})) << c.keys;
  }
  // Without a canvas nothing happens.
  ctx.set_canvas(nullptr);
  EXPECT_TRUE(press_keys(ctx, "<plus>"));
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(SharedKeySets, ScrollKeysWorkAlongTheTurnedAxis)
{
  struct Case {
    const char* keys;
    const char* along_v;
  };
  const Case cases[] = {
    {"<C-y>", "scroll v -1"},       {"<C-e>", "scroll v 1"},       {"<C-u>", "scroll_page v -3"},
    {"<C-d>", "scroll_page v 3"},   {"<C-b>", "scroll_page v -1"}, {"<C-f>", "scroll_page v 1"},
  };
  for (const Case& c : cases) {
    KindKit kit = host_kit();
    auto& ctx = *kit.ctx;
    kit.take_log();
    EXPECT_TRUE(press_keys(ctx, c.keys));
    EXPECT_EQ(canvas_calls(kit, "canvas:scroll"), (Log{std::string("canvas:") + c.along_v})) << "axis h";
    ctx.set_now_dir(CellDir::v);
    kit.take_log();
    EXPECT_TRUE(press_keys(ctx, c.keys));
    std::string along_h = c.along_v;
    along_h[along_h.find(" v ") + 1] = 'h';
    EXPECT_EQ(canvas_calls(kit, "canvas:scroll"), (Log{"canvas:" + along_h})) << "axis v";
  }
}

TEST(SharedKeySets, TopAndBottomKeysJumpAlongTheTurnedAxis)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  put_layout(*kit.ws, {"a@1,2", "b@7,5"});
  ctx.set_pos({3, 3});
  EXPECT_TRUE(press_keys(ctx, "G"));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{3, 5})) << "axis h: the last used row";
  EXPECT_TRUE(press_keys(ctx, "gg"));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{3, 0}));
  ctx.set_now_dir(CellDir::v);
  EXPECT_TRUE(press_keys(ctx, "G"));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{7, 0})) << "axis v: the last used column";
  EXPECT_TRUE(press_keys(ctx, "gg"));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{0, 0}));
}

TEST(SharedKeySets, CancelGoesBackToTheDefaultMode)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  kit.watch();
  EXPECT_TRUE(press_keys(ctx, "<C-[>"));
  EXPECT_EQ(kit.take_log(), (Log{"HOST MODE:on_exit next=HOST MODE", "HOST MODE:on_enter", "update-mode:HOST MODE",
                                 "notify:now-mode"}));
}

TEST(SharedKeySets, ReplacementInTheIncludingModeKeepsTheSetsKeys)
{
  KindKit kit = host_kit();
  auto& ctx = *kit.ctx;
  auto& host = *ctx.get_now_mode();
  host.replace_void("up", [&] { kit.log->push_back("host:up"); });
  // Made in place: GCC 12 warns (-Warray-bounds) about moving in a string
  // made of this literal, one character longer than fits inline.
  host.replace_void("delete-line", [&] { kit.log->emplace_back("host:delete-line"); });
  kit.take_log();
  for (const char* keys : {"k", "<Up>", "dd"})
    EXPECT_TRUE(press_keys(ctx, keys)) << keys;
  EXPECT_EQ(kit.take_log(), (Log{"host:up", "host:up", "host:delete-line"}));
  EXPECT_EQ(ctx.get_now_cell(), (CellPos{0, 0}));
}

} // namespace
} // namespace velkaro::test
