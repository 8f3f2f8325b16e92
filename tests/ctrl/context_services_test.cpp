// The context's editing services: the dry run, the steps of the history, the
// new document, and the delayed refresh of actionable names on the GLib
// main loop.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <glib.h>
#include <glibmm/main.h>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "ctrl/undo/undo_group.h"
#include "model/element_cells.h"
#include "model/workspace.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

// Runs the default main loop for ms milliseconds.
void run_main_loop_ms(unsigned ms)
{
  const auto loop = Glib::MainLoop::create();
  Glib::signal_timeout().connect_once([&] { loop->quit(); }, ms, Glib::PRIORITY_LOW + 100);
  loop->run();
}

// Everything a dry run must leave as it found it.
struct Snapshot {
  explicit Snapshot(KindKit& kit)
    : document(document_of(*kit.ws)),
      undo(kit.ctx->get_action_proc()->get_undo_stack()),
      redo(kit.ctx->get_action_proc()->get_redo_stack()),
      last_action(kit.ctx->get_action_proc()->get_last_action()),
      cursor(kit.ctx->get_now_cell()),
      mode(kit.ctx->get_now_mode()),
      dir(kit.ctx->get_now_dir()),
      selected(kit.ctx->selected_range),
      corners(kit.ctx->selected_range ? std::optional(*kit.ctx->selected_range) : std::nullopt),
      edit_elm(kit.ctx->edit_elm),
      yank_elms(kit.ctx->get_yank_elms()),
      in_cell_mode(kit.ctx->in_cell_mode),
      modified(kit.ws->modified),
      ws_cursor(kit.ws->cursor)
  {
  }

  void expect_same(KindKit& kit) const
  {
    const Snapshot now(kit);
    EXPECT_EQ(now.document, document);
    EXPECT_EQ(now.undo, undo);
    EXPECT_EQ(now.redo, redo);
    EXPECT_EQ(now.last_action, last_action);
    EXPECT_EQ(now.cursor, cursor);
    EXPECT_EQ(now.mode, mode);
    EXPECT_EQ(now.dir, dir);
    EXPECT_EQ(now.selected, selected);
    EXPECT_EQ(now.corners.has_value(), corners.has_value());
    if (now.corners && corners) {
      EXPECT_EQ(now.corners->to_string(), corners->to_string());
    }
    EXPECT_EQ(now.edit_elm, edit_elm);
    EXPECT_EQ(now.yank_elms, yank_elms);
    EXPECT_EQ(now.in_cell_mode, in_cell_mode);
    EXPECT_EQ(now.modified, modified);
    EXPECT_EQ(now.ws_cursor, ws_cursor);
    EXPECT_FALSE(kit.ctx->get_in_test());
    EXPECT_FALSE(kit.ws->is_tmp);
    EXPECT_EQ(kit.ws->tmp_cells->get_rows().size(), 0u);
  }

  std::string document;
  CtrlActionProcessor::Stack undo;
  std::optional<CtrlActionProcessor::Stack> redo;
  std::shared_ptr<CtrlAction> last_action;
  CellPos cursor;
  CtrlContext::ModePtr mode;
  CellDir dir;
  std::shared_ptr<CellRange> selected;
  std::optional<CellRange> corners;
  std::shared_ptr<ModelElement> edit_elm;
  std::optional<std::vector<std::shared_ptr<ModelElement>>> yank_elms;
  bool in_cell_mode;
  bool modified;
  CellPos ws_cursor;
};

TEST(ContextDryRun, LeavesDocumentHistoryCursorAndModeAsTheyWere)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  ASSERT_TRUE(place(ws, make_text("kept"), 1, 1));
  ASSERT_TRUE(place(ws, KindMark::create("m"), 2, 2));
  // One step to undo and one to redo.
  ctx.set_pos({0, 0});
  ASSERT_TRUE(press_keys(ctx, "i"));
  ctx.set_pos({3, 3});
  ASSERT_TRUE(press_keys(ctx, "i"));
  ASSERT_TRUE(press_keys(ctx, "u"));
  ctx.set_pos({1, 1});
  ctx.copy(nullptr, false);
  ctx.selected_range = CellRange::create({1, 1}, {2, 2});
  ctx.edit_elm = ws.elm_at({1, 1});
  const Snapshot before(kit);
  // Refreshes requested so far come now, not during the checks below.
  run_main_loop_ms(150);
  kit.watch();
  kit.take_log();

  const bool result = ctx.do_test([&] {
    EXPECT_TRUE(ctx.get_in_test());
    EXPECT_TRUE(ws.is_tmp);
    EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack()) << "an empty history meanwhile";
    // The scratch cells start as the document.
    EXPECT_EQ(names_at(ws, 1, 1), (std::vector<std::string>{"T:kept"}));

    ctx.set_pos({5, 5});
    EXPECT_EQ(ctx.get_now_cell(), (CellPos{5, 5}));
    // Through a wrapper registered long before the dry run.
    EXPECT_TRUE(ctx.action("insert-text"));
    EXPECT_EQ(names_at(ws, 5, 5), (std::vector<std::string>{"T:new"}));
    EXPECT_EQ(ctx.get_action_proc()->get_undo_stack().size(), 1u);
    EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("more"), 6, 6); }));
    ctx.get_action_proc()->undo(true);
    EXPECT_TRUE(ctx.change_to<KindOtherMode>()) << "reported done, nothing switched";
    EXPECT_EQ(ctx.get_now_mode(), before.mode);
    ctx.change_to_cell_mode();
    ctx.set_now_mode(ctx.get_mode(typeid(KindOtherMode)));
    EXPECT_EQ(ctx.get_now_mode(), before.mode);
    ctx.set_now_dir(CellDir::v);
    ctx.selected_range->start = {9, 9};
    ctx.selected_range = nullptr;
    ctx.edit_elm = nullptr;
    ctx.in_cell_mode = !ctx.in_cell_mode;
    ctx.set_pos({1, 1});
    ctx.copy(nullptr, true);
    ctx.queue_state_changed();
    return true;
  });

  EXPECT_TRUE(result);
  before.expect_same(kit);
  EXPECT_EQ(kit.take_log(), Log{}) << "nothing shown, emitted or switched";
  run_main_loop_ms(150);
  EXPECT_EQ(kit.take_log(), Log{}) << "no refresh was queued";

  EXPECT_FALSE(ctx.do_test([] { return false; }));
  // The history works as before.
  ctx.get_action_proc()->redo();
  EXPECT_EQ(names_at(ws, 3, 3), (std::vector<std::string>{"T:new"}));
}

TEST(ContextDryRun, RestoresEverythingWhenTheTrialThrows)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(place(*kit.ws, make_text("kept"), 1, 1));
  ctx.selected_range = CellRange::create({0, 0}, {1, 1});
  const Snapshot before(kit);
  EXPECT_THROW(ctx.do_test([&]() -> bool {
    ctx.set_pos({4, 4});
    place(*kit.ws, make_text("lost"), 4, 4);
    throw std::runtime_error("trial failed");
  }),
               std::runtime_error);
  before.expect_same(kit);
}

TEST(ContextDryRun, NestedDryRunJustRunsTheTrial)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  int depth = 0;
  EXPECT_TRUE(ctx.do_test([&] {
    return ctx.do_test([&] {
      depth = ctx.get_in_test() && kit.ws->is_tmp ? 2 : 0;
      return true;
    });
  }));
  EXPECT_EQ(depth, 2);
  EXPECT_FALSE(ctx.get_in_test());
  EXPECT_FALSE(kit.ws->is_tmp);
}

TEST(ContextRefresh, ThreeMovesWithinTheDelayGiveOneRefreshAfterTheLast)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  std::vector<int64_t> emitted;
  ctx.signal_update_actionable_name_sig().connect(
    [&](const CtrlContext::NameSet&) { emitted.push_back(g_get_monotonic_time()); });

  ctx.move_pos(MovingDir::right);
  ctx.move_pos(MovingDir::down);
  ctx.move_pos(MovingDir::right);
  const int64_t last_request = g_get_monotonic_time();
  run_main_loop_ms(400);

  ASSERT_EQ(emitted.size(), 1u);
  EXPECT_GE(emitted[0] - last_request, int64_t{90} * 1000);
}

TEST(ContextRefresh, RefreshCarriesTheActionableNames)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.watch();
  ctx.void_action("ctx-only", {}, [] {}, std::nullopt);
  kit.main_view->cv_active = false;
  ctx.update_view();
  run_main_loop_ms(300);
  EXPECT_EQ(kit.take_log(), (Log{"canvas:update", "actionable:ctx-only"}));
}

TEST(ContextRefresh, RequestsFromSeveralSourcesCoalesce)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  int count = 0;
  ctx.signal_update_actionable_name_sig().connect([&](const CtrlContext::NameSet&) { ++count; });
  kit.ws->signal_update();
  ctx.change_to<KindOtherMode>();
  ctx.update_view();
  ctx.set_now_dir(CellDir::v);
  run_main_loop_ms(300);
  EXPECT_EQ(count, 1);
  // Two bursts far enough apart give two refreshes.
  ctx.queue_state_changed();
  run_main_loop_ms(200);
  ctx.queue_state_changed();
  run_main_loop_ms(200);
  EXPECT_EQ(count, 3);
}

TEST(ContextRefresh, TimerOfADestroyedContextDoesNothing)
{
  auto kit = std::make_unique<KindKit>();
  int count = 0;
  kit->ctx->signal_update_actionable_name_sig().connect([&](const CtrlContext::NameSet&) { ++count; });
  kit->ctx->queue_state_changed();
  const std::weak_ptr<KindContext> weak = kit->ctx;
  kit.reset();
  EXPECT_TRUE(weak.expired()) << "a pending timer does not keep the context";
  run_main_loop_ms(200);
  EXPECT_EQ(count, 0);
}

TEST(ContextServices, StepsAreRecordedOneAtATimeAndAMergedOneTakesTheNextIn)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  const auto& proc = *ctx.get_action_proc();
  const std::string empty = document_of(ws);

  EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("a"), 1, 1); }));
  EXPECT_FALSE(ctx.with_diff_if([&] { return false; }));
  const std::string with_a = document_of(ws);
  EXPECT_EQ(proc.get_undo_stack().size(), 1u);

  // A merge step takes the actions that follow it into its undo step.
  EXPECT_TRUE(ctx.with_diff_if(
    [&] {
      place(ws, make_text("b"), 2, 2);
      return true;
    },
    CtrlRecord::merged));
  EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("c"), 3, 3); }));
  EXPECT_TRUE(ctx.with_diff_if([&] { return place(ws, make_text("d"), 4, 4); }));
  EXPECT_EQ(proc.get_undo_stack().size(), 2u);
  EXPECT_TRUE(proc.get_undo_stack().back()->get_is_mergeable());

  ctx.get_action_proc()->undo(true);
  EXPECT_EQ(document_of(ws), with_a) << "b, c and d are one step";
  ctx.get_action_proc()->undo(true);
  EXPECT_EQ(document_of(ws), empty);
  ctx.get_action_proc()->redo();
  ctx.get_action_proc()->redo();
  EXPECT_EQ(names_at(ws, 4, 4), (std::vector<std::string>{"T:d"}));
}

TEST(ContextServices, AnUndoGroupIsAStepAtOnceThatTheStepsRecordedWhileItIsOpenJoin)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  auto& proc = *ctx.get_action_proc();
  const auto& stack = proc.get_undo_stack();
  const std::string empty = document_of(ws);
  {
    const CtrlUndoGroup group(ctx);
    ASSERT_EQ(stack.size(), 1u) << "the group is a step as soon as it opens";
    EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("a"), 1, 1); }));
    EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("b"), 2, 2); }));
    EXPECT_EQ(stack.size(), 1u);
  }
  const std::string grouped = document_of(ws);
  EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("c"), 3, 3); }));
  EXPECT_EQ(stack.size(), 2u) << "closed, the group takes nothing more";
  proc.undo(true);
  EXPECT_EQ(document_of(ws), grouped);
  proc.undo(true);
  EXPECT_EQ(document_of(ws), empty) << "one undo takes the whole group back";
  proc.redo();
  EXPECT_EQ(document_of(ws), grouped);

  // A group nothing joined is an empty step of its own: the next undo takes
  // it back and leaves the user's step alone.
  { const CtrlUndoGroup nothing(ctx); }
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_FALSE(stack.back()->get_is_mergeable());
  proc.undo(false);
  EXPECT_EQ(document_of(ws), grouped);
  EXPECT_TRUE(ctx.with_diff([&] { place(ws, make_text("d"), 4, 4); }));
  EXPECT_EQ(stack.size(), 2u);
}

TEST(ContextServices, NewContextClearsTheHistoryAndStartsAnEmptyDocument)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  ASSERT_TRUE(press_keys(ctx, "i"));
  ASSERT_TRUE(ctx.get_action_proc()->get_has_undo_stack());
  ctx.change_to<KindOtherMode>();
  ctx.selected_range = CellRange::create({0, 0}, {1, 1});
  ctx.edit_elm = make_text("edited");
  kit.take_log();
  EXPECT_TRUE(ctx.new_context(std::nullopt));
  const Log log = kit.take_log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "window:document_replaced"), 1) << "told once";
  EXPECT_EQ(std::count(log.begin(), log.end(), "canvas:update"), 1) << "the canvas is sized to the new document";
  EXPECT_EQ(log.front(), "KIND OTHER MODE:on_exit next=KIND CELL MODE") << "the mode is left first";
  EXPECT_EQ(log.back(), "window:document_replaced");
  EXPECT_EQ(ctx.get_now_mode(), ctx.get_default_mode());
  EXPECT_EQ(ctx.selected_range, nullptr);
  EXPECT_EQ(ctx.edit_elm, nullptr);
  EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
  EXPECT_TRUE(names_at(*kit.ws, 0, 0).empty());
  EXPECT_EQ(kit.ws->get_file_path(), "");
  // The kind's cells stay the kind's.
  EXPECT_TRUE(std::dynamic_pointer_cast<KindCells>(kit.ws->get_cells()));
}

TEST(ContextServices, NewContextFromARefusedFileKeepsTheDocumentAndItsHistory)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  TempDir dir;
  const std::string broken = dir.file("broken.xml");
  std::ofstream(broken) << "<workspace><element_cells><cell";
  ASSERT_TRUE(press_keys(ctx, "i"));
  const auto before = names_at(*kit.ws, 0, 0);
  ASSERT_FALSE(before.empty());
  ctx.change_to<KindOtherMode>();
  ctx.selected_range = CellRange::create({0, 0}, {1, 1});
  kit.take_log();
  EXPECT_FALSE(ctx.new_context(broken));
  EXPECT_TRUE(kit.take_log().empty()) << "nothing is left, updated or told";
  EXPECT_EQ(ctx.get_now_mode()->get_name(), "KIND OTHER MODE");
  EXPECT_NE(ctx.selected_range, nullptr);
  EXPECT_EQ(names_at(*kit.ws, 0, 0), before);
  ASSERT_TRUE(ctx.get_action_proc()->get_has_undo_stack());
  ctx.get_action_proc()->undo(true);
  EXPECT_TRUE(names_at(*kit.ws, 0, 0).empty()) << "the history still fits the document";

  const std::string good = dir.file("good.xml");
  ASSERT_TRUE(kit.ws->save(good));
  EXPECT_TRUE(ctx.new_context(good));
  EXPECT_FALSE(ctx.get_action_proc()->get_has_undo_stack());
}

} // namespace
} // namespace velkaro::test
