// The undo processor through a real workspace: actions store and remove
// boxes while their changes are recorded; after every step the serialized
// document, the stacks and the cursor moves are compared with the expected
// ones.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/undo/delegate_action.h"
#include "ctrl/action_handler_for_test.h"
#include "model/workspace_diff.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Box;
using test::document_of;
using test::FakeCursor;
using test::TestWorkspace;

// Box "A" lives at (0, 1), "B" at (1, 1), and so on.
CellPos cell_of(const std::string& name) { return {name[0] - 'A', 1}; }

// Edits "+N" (store box N) and "-N" (remove it).
void apply_edits(ModelWorkspace& ws, const std::vector<std::string>& edits)
{
  for (const auto& edit : edits) {
    const std::string name = edit.substr(1);
    if (edit[0] == '+') {
      ws.move_to(cell_of(name));
      ASSERT_TRUE(ws.store(Box::create(name)));
    } else {
      const auto elm = ws.elm_at(cell_of(name));
      ASSERT_TRUE(elm) << edit;
      ws.remove(elm);
    }
  }
}

// The document holding exactly the boxes named.
std::string document_with(const std::vector<std::string>& names)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  for (const auto& name : names)
    apply_edits(*ws, {"+" + name});
  return document_of(*ws);
}

enum class ProcOp { exec, exec_mergeable, fail, undo, undo_in_place, redo, revoke, head_mergeable, head_not_mergeable };

struct ProcStep {
  ProcOp op;
  std::vector<std::string> edits; // what an executed action does
  CellPos cursor;                 // the context's cursor before the step
  std::vector<std::string> doc;   // the boxes afterwards
  size_t undo_size;
  int redo_size; // -1: no redo history
  std::optional<CellPos> moved_to;
};

struct ProcScript {
  const char* name;
  std::vector<ProcStep> steps;
};

const CellPos C0{0, 0};
const CellPos C1{5, 5};
const CellPos C2{6, 6};
const CellPos C3{7, 7};

const std::vector<ProcScript> PROC_SCRIPTS = {
  {"undo and redo move the cursor to the recorded cell",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H"}, 1, 1, C2},
    {ProcOp::undo, {}, C0, {}, 0, 2, C1},
    {ProcOp::undo, {}, C0, {}, 0, 2, {}},
    {ProcOp::redo, {}, C0, {"H"}, 1, 1, C1},
    {ProcOp::redo, {}, C0, {"H", "A"}, 2, 0, C2},
    {ProcOp::redo, {}, C0, {"H", "A"}, 2, 0, {}}}},
  {"undo without moving the cursor, then redo moves it",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::undo_in_place, {}, C0, {}, 0, 1, {}},
    {ProcOp::redo, {}, C0, {"H"}, 1, 0, C1}}},
  {"a failed action keeps both stacks and the redo history",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H"}, 1, 1, C2},
    {ProcOp::fail, {}, C3, {"H"}, 1, 1, {}},
    {ProcOp::redo, {}, C0, {"H", "A"}, 2, 0, C2}}},
  {"a successful action drops the redo history",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H"}, 1, 1, C2},
    {ProcOp::exec, {"+B"}, C3, {"H", "B"}, 2, -1, {}},
    {ProcOp::redo, {}, C0, {"H", "B"}, 2, -1, {}}}},
  {"actions merged into a mergeable head are one step",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::head_mergeable, {}, C0, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 1, -1, {}},
    {ProcOp::exec, {"+B"}, C3, {"H", "A", "B"}, 1, -1, {}},
    {ProcOp::undo, {}, C0, {}, 0, 1, C1},
    {ProcOp::redo, {}, C0, {"H", "A", "B"}, 1, 0, C1},
    {ProcOp::head_not_mergeable, {}, C0, {"H", "A", "B"}, 1, 0, {}},
    {ProcOp::exec, {"+C"}, C2, {"H", "A", "B", "C"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H", "A", "B"}, 1, 1, C2},
    {ProcOp::undo, {}, C0, {}, 0, 2, C1}}},
  // Undone in the wrong order (H first) X would come back; redone in the
  // wrong order (B first) X would stay.
  {"a merge chain is undone newest first and redone oldest first",
   {{ProcOp::exec_mergeable, {"+X"}, C1, {"X"}, 1, -1, {}},
    {ProcOp::exec, {"-X"}, C2, {}, 1, -1, {}},
    {ProcOp::exec, {"+Z"}, C3, {"Z"}, 1, -1, {}},
    {ProcOp::undo, {}, C0, {}, 0, 1, C1},
    {ProcOp::redo, {}, C0, {"Z"}, 1, 0, C1}}},
  {"an action that is mergeable itself merges what follows",
   {{ProcOp::exec_mergeable, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 1, -1, {}},
    {ProcOp::undo, {}, C0, {}, 0, 1, C1}}},
  // What a range mode takes back, a cancelled insertion among them, leaves
  // no redo step that would bring it back.
  {"a revoked action leaves the redo history its execution dropped",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H"}, 1, 1, C2},
    {ProcOp::exec, {"+B"}, C3, {"H", "B"}, 2, -1, {}},
    {ProcOp::revoke, {}, C0, {"H"}, 1, 1, {}},
    {ProcOp::redo, {}, C0, {"H", "A"}, 2, 0, C2}}},
  {"a revoked first action leaves no redo history",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::revoke, {}, C0, {}, 0, -1, {}},
    {ProcOp::redo, {}, C0, {}, 0, -1, {}},
    {ProcOp::revoke, {}, C0, {}, 0, -1, {}}}},
  {"revoke replaces the newest action step after step",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::undo, {}, C0, {}, 0, 1, C1},
    {ProcOp::exec, {"+A"}, C2, {"A"}, 1, -1, {}},
    {ProcOp::revoke, {}, C0, {}, 0, 1, {}},
    {ProcOp::exec, {"+B"}, C2, {"B"}, 1, -1, {}},
    {ProcOp::fail, {}, C3, {"B"}, 1, -1, {}},
    {ProcOp::revoke, {}, C0, {}, 0, 1, {}},
    {ProcOp::redo, {}, C0, {"H"}, 1, 0, C1}}},
  {"a revoked head takes what was merged into it along",
   {{ProcOp::exec_mergeable, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 1, -1, {}},
    {ProcOp::revoke, {}, C0, {}, 0, -1, {}}}},
  // The history before an action that came back by redo, or that an undo
  // followed, is not kept: taking it back is an undo in place.
  {"revoke after an undo or a redo is an undo in place",
   {{ProcOp::exec, {"+H"}, C1, {"H"}, 1, -1, {}},
    {ProcOp::exec, {"+A"}, C2, {"H", "A"}, 2, -1, {}},
    {ProcOp::undo, {}, C0, {"H"}, 1, 1, C2},
    {ProcOp::revoke, {}, C0, {}, 0, 2, {}},
    {ProcOp::redo, {}, C0, {"H"}, 1, 1, C1},
    {ProcOp::revoke, {}, C0, {}, 0, 2, {}}}},
};

void PrintTo(const ProcScript& script, std::ostream* os) { *os << script.name; }

class ProcessorScript : public ::testing::TestWithParam<ProcScript> {
protected:
  void run(const ProcStep& step)
  {
    cursor->now = step.cursor;
    cursor->moves.clear();
    switch (step.op) {
    case ProcOp::exec:
    case ProcOp::exec_mergeable:
    case ProcOp::fail: {
      const bool succeed = step.op != ProcOp::fail;
      const auto edits = step.edits;
      auto action = CtrlDelegateAction::create(
        ws,
        [this, edits, succeed] {
          apply_edits(*ws, edits);
          return succeed;
        },
        step.op == ProcOp::exec_mergeable);
      EXPECT_EQ(proc->execute(action), succeed);
      EXPECT_EQ(proc->get_last_action(), action);
      break;
    }
    case ProcOp::undo: proc->undo(true); break;
    case ProcOp::undo_in_place: proc->undo(false); break;
    case ProcOp::redo: proc->redo(); break;
    case ProcOp::revoke: proc->revoke(); break;
    case ProcOp::head_mergeable: proc->set_head_mergeable(true); break;
    case ProcOp::head_not_mergeable: proc->set_head_mergeable(false); break;
    }
  }

  std::shared_ptr<TestWorkspace> ws = ModelWorkspace::create<TestWorkspace>();
  std::shared_ptr<CtrlActionProcessor> proc = CtrlActionProcessor::create();
  std::shared_ptr<FakeCursor> cursor = std::make_shared<FakeCursor>();
};

TEST_P(ProcessorScript, DocumentStacksAndCursorAfterEachStep)
{
  proc->set_ctrl(cursor);
  const auto& steps = GetParam().steps;
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1));
    const ProcStep& step = steps[i];
    run(step);
    EXPECT_EQ(document_of(*ws), document_with(step.doc));
    EXPECT_EQ(proc->get_undo_stack().size(), step.undo_size);
    EXPECT_EQ(proc->get_has_undo_stack(), step.undo_size > 0);
    const auto& redo = proc->get_redo_stack();
    EXPECT_EQ(redo ? static_cast<int>(redo->size()) : -1, step.redo_size);
    EXPECT_EQ(proc->get_has_redo_stack(), step.redo_size > 0);
    const std::vector<CellPos> moves = step.moved_to ? std::vector<CellPos>{*step.moved_to} : std::vector<CellPos>{};
    EXPECT_EQ(cursor->moves, moves);
    EXPECT_FALSE(ws->get_diff()) << "a record was left open";
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ProcessorScript, ::testing::ValuesIn(PROC_SCRIPTS),
                         [](const ::testing::TestParamInfo<ProcScript>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           return name;
                         });

// An action that logs its undo and redo and refuses or accepts merges.
class LoggingAction : public CtrlAction {
public:
  LoggingAction(std::string name, std::vector<std::string>& log, bool accept_merge = true)
    : m_name(std::move(name)), m_log(log), m_accept_merge(accept_merge)
  {
  }
  void undo() override
  {
    CtrlAction::undo();
    m_log.push_back("undo " + m_name);
  }
  void redo() override
  {
    m_log.push_back("redo " + m_name);
    CtrlAction::redo();
  }
  bool merge(const std::shared_ptr<CtrlAction>& other) override
  {
    return m_accept_merge && CtrlAction::merge(other);
  }

private:
  std::string m_name;
  std::vector<std::string>& m_log;
  bool m_accept_merge;
};

TEST(ActionProcessor, MergedActionsAreUndoneNewestFirstAndRecordNoCursor)
{
  std::vector<std::string> log;
  const auto proc = CtrlActionProcessor::create();
  const auto cursor = std::make_shared<FakeCursor>();
  proc->set_ctrl(cursor);
  const auto h = std::make_shared<LoggingAction>("H", log);
  const auto a = std::make_shared<LoggingAction>("A", log);
  const auto b = std::make_shared<LoggingAction>("B", log);
  h->set_is_mergeable(true);
  cursor->now = C1;
  ASSERT_TRUE(proc->execute(h));
  cursor->now = C2;
  ASSERT_TRUE(proc->execute(a));
  ASSERT_TRUE(proc->execute(b));

  EXPECT_EQ(h->get_next_action(), a);
  EXPECT_EQ(a->get_next_action(), b);
  EXPECT_EQ(h->get_cursor_cell(), C1);
  EXPECT_EQ(a->get_cursor_cell(), (CellPos{-1, -1}));
  EXPECT_EQ(b->get_cursor_cell(), (CellPos{-1, -1}));
  EXPECT_TRUE(h->get_is_mergeable()) << "the head keeps taking actions until its flag is cleared";

  proc->undo(true);
  proc->redo();
  EXPECT_EQ(log, (std::vector<std::string>{"undo B", "undo A", "undo H", "redo H", "redo A", "redo B"}));
  EXPECT_EQ(cursor->moves, (std::vector<CellPos>{C1, C1}));
}

TEST(ActionProcessor, RefusedMergePushesTheActionWithItsCursorCell)
{
  std::vector<std::string> log;
  const auto proc = CtrlActionProcessor::create();
  const auto cursor = std::make_shared<FakeCursor>();
  proc->set_ctrl(cursor);
  const auto head = std::make_shared<LoggingAction>("H", log, false);
  head->set_is_mergeable(true);
  ASSERT_TRUE(proc->execute(head));
  cursor->now = C2;
  const auto next = std::make_shared<LoggingAction>("A", log);
  ASSERT_TRUE(proc->execute(next));
  EXPECT_EQ(proc->get_undo_stack().size(), 2u);
  EXPECT_EQ(next->get_cursor_cell(), C2);
  EXPECT_FALSE(head->get_next_action());
}

TEST(ActionProcessor, WithoutCursorHolderNothingIsRecordedOrMoved)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  const auto action = CtrlDelegateAction::create(ws, [&ws] {
    apply_edits(*ws, {"+H"});
    return true;
  });
  ASSERT_TRUE(proc->execute(action));
  EXPECT_EQ(action->get_cursor_cell(), (CellPos{-1, -1}));

  // A holder set afterwards still finds no recorded cell to go back to.
  const auto cursor = std::make_shared<FakeCursor>();
  proc->set_ctrl(cursor);
  proc->undo(true);
  EXPECT_EQ(document_of(*ws), document_with({}));
  proc->redo();
  EXPECT_EQ(document_of(*ws), document_with({"H"}));
  EXPECT_TRUE(cursor->moves.empty());
}

TEST(ActionProcessor, EmptyStacksAndResetChangeNothingElse)
{
  const auto proc = CtrlActionProcessor::create();
  const auto first_last = proc->get_last_action();
  ASSERT_TRUE(first_last);
  EXPECT_FALSE(first_last->get_ws());
  proc->set_head_mergeable(true);
  proc->undo(true);
  proc->redo();
  EXPECT_FALSE(proc->get_has_undo_stack());
  EXPECT_FALSE(proc->get_redo_stack().has_value());

  ASSERT_TRUE(proc->execute(CtrlAction::create()));
  ASSERT_TRUE(proc->execute(CtrlAction::create()));
  proc->undo(true);
  const auto last = proc->get_last_action();
  proc->reset();
  EXPECT_FALSE(proc->get_has_undo_stack());
  EXPECT_FALSE(proc->get_redo_stack().has_value());
  EXPECT_EQ(proc->get_last_action(), last);
}

TEST(ActionProcessor, AFailedExecutionStillBecomesTheLastAction)
{
  class Failing : public CtrlAction {
  public:
    bool execute() override { return false; }
  };
  const auto proc = CtrlActionProcessor::create();
  const auto failing = std::make_shared<Failing>();
  EXPECT_FALSE(proc->execute(failing));
  EXPECT_EQ(proc->get_last_action(), failing);
  EXPECT_FALSE(proc->get_has_undo_stack());
}

TEST(ActionProcessor, EveryStepThatChangesTheDocumentMarksItModifiedAndTellsOnce)
{
  struct Case {
    const char* what;
    std::function<bool(ModelWorkspace&)> func;
    bool changes;
  };
  const std::vector<Case> cases = {
    {"a store that announces nothing",
     [](ModelWorkspace& ws) {
       ws.move_hv(3, 3);
       return ws.store(Box::create("N"));
     },
     true},
    {"a change reported as nothing done",
     [](ModelWorkspace& ws) {
       ws.move_hv(3, 3);
       (void)ws.store(Box::create("N"));
       return false;
     },
     true},
    {"line changes that announce themselves twice",
     [](ModelWorkspace& ws) { return ws.insert_row(0) && ws.insert_col(0); }, true},
    {"nested steps",
     [](ModelWorkspace& ws) {
       ws.begin_step();
       ws.signal_update();
       ws.end_step(true);
       return ws.remove_row(1);
     },
     true},
    {"nothing changed", [](ModelWorkspace&) { return true; }, false},
    {"a store and its removal", [](ModelWorkspace& ws) {
       const auto n = Box::create("N");
       ws.move_hv(3, 3);
       (void)ws.store(n);
       ws.remove(n);
       return true;
     },
     false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto ws = ModelWorkspace::create<TestWorkspace>();
    ws->move_hv(1, 1);
    ASSERT_TRUE(ws->store(Box::create("A")));
    const auto proc = CtrlActionProcessor::create();
    int updates = 0;
    std::vector<bool> seen_modified;
    ws->signal_updated().connect([&] {
      ++updates;
      seen_modified.push_back(ws->modified);
    });
    const std::string before = document_of(*ws);
    (void)proc->execute(CtrlDelegateAction::create(ws, [&] { return c.func(*ws); }));
    EXPECT_EQ(document_of(*ws) != before, c.changes);
    EXPECT_EQ(ws->modified, c.changes);
    EXPECT_EQ(updates, c.changes ? 1 : 0);
    // Undo, then redo, of what the undo stack took.
    for (const bool undo : {true, false}) {
      if (!proc->get_has_undo_stack())
        break;
      ws->modified = false;
      updates = 0;
      if (undo)
        proc->undo(false);
      else
        proc->redo();
      // Patching with an empty record still announces itself, once.
      EXPECT_TRUE(ws->modified || !c.changes) << (undo ? "undo" : "redo");
      EXPECT_EQ(updates, 1) << (undo ? "undo" : "redo");
    }
    EXPECT_TRUE(std::all_of(seen_modified.begin(), seen_modified.end(), [](bool b) { return b; }))
      << "observers see the flag set";
  }

  // A dry run on the scratch cells is no change of the document.
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  int updates = 0;
  ws->signal_updated().connect([&] { ++updates; });
  ws->is_tmp = true;
  (void)proc->execute(CtrlDelegateAction::create(ws, [&] { return ws->insert_row(0); }));
  ws->is_tmp = false;
  EXPECT_EQ(updates, 0);
  EXPECT_FALSE(ws->modified);
}

TEST(Action, WithDiffClosesTheRecordAndKeepsItWhateverTheResult)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  for (const bool result : {true, false}) {
    SCOPED_TRACE(result);
    const auto action = CtrlAction::create(ws);
    std::shared_ptr<ModelWorkspaceDiff> open_while_running;
    EXPECT_EQ(action->with_diff([&] {
      open_while_running = ws->get_diff();
      return result;
    }),
              result);
    EXPECT_FALSE(ws->get_diff());
    ASSERT_TRUE(action->get_diff());
    EXPECT_EQ(action->get_diff(), open_while_running);
  }
}

TEST(Action, WithDiffPutsBackARecordThatWasOpen)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto outer = ws->new_diff();
  ws->set_diff(outer);
  const auto action = CtrlAction::create(ws);
  action->with_diff([&ws] {
    apply_edits(*ws, {"+A"});
    return true;
  });
  EXPECT_EQ(ws->get_diff(), outer);
  apply_edits(*ws, {"+B"});
  ws->set_diff(nullptr);
  // Each record holds its own change: undoing the inner one keeps B.
  action->undo();
  EXPECT_EQ(document_of(*ws), document_with({"B"}));
}

TEST(Action, WithoutWorkspaceTheFunctionRunsAndNothingIsRecorded)
{
  const auto action = CtrlAction::create();
  bool ran = false;
  EXPECT_TRUE(action->with_diff([&ran] { return ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_FALSE(action->get_diff());
  action->undo();
  action->redo();
}

TEST(DelegateAction, EveryRecordedRunIsANewActionWithARecordOfItsOwn)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  int runs = 0;
  const auto work = [&] {
    apply_edits(*ws, {std::string("+") + static_cast<char>('A' + runs++)});
    return true;
  };
  ASSERT_TRUE(proc->record(ws, CtrlRecord::diff, work));
  ASSERT_TRUE(proc->record(ws, CtrlRecord::diff, work));
  EXPECT_EQ(runs, 2);
  const auto& stack = proc->get_undo_stack();
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_EQ(proc->get_last_action(), stack[1]);
  EXPECT_NE(stack[0], stack[1]);
  EXPECT_NE(stack[0]->get_diff(), stack[1]->get_diff());
  proc->undo(true);
  EXPECT_EQ(document_of(*ws), document_with({"A"}));
}

TEST(DelegateAction, ARecordedStepTakesItsMergeableFlagFromHowAndStartsFresh)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  ASSERT_TRUE(proc->record(ws, CtrlRecord::merged, [] { return true; }));
  const auto merged = proc->get_last_action();
  EXPECT_TRUE(merged->get_is_mergeable());
  EXPECT_EQ(merged->get_ws(), ws);
  ASSERT_TRUE(merged->get_diff());
  EXPECT_TRUE(merged->get_diff()->get_is_empty());
  EXPECT_EQ(merged->get_cursor_cell(), (CellPos{-1, -1})) << "no cursor holder";
  merged->set_is_mergeable(false);
  ASSERT_TRUE(proc->record(ws, CtrlRecord::diff, [] { return true; }));
  const auto plain = proc->get_last_action();
  EXPECT_NE(plain, merged);
  EXPECT_FALSE(plain->get_is_mergeable());
  EXPECT_NE(plain->get_diff(), merged->get_diff());
  // Unrecorded work just runs.
  bool ran = false;
  EXPECT_FALSE(proc->record(ws, CtrlRecord::none, [&ran] { return !(ran = true); }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(proc->get_last_action(), plain);
  EXPECT_EQ(proc->get_undo_stack().size(), 2u);
}

TEST(DelegateAction, RecordedStepsDoNotKeepTheProcessorAlive)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  auto proc = CtrlActionProcessor::create();
  const std::weak_ptr<CtrlActionProcessor> weak = proc;
  ASSERT_TRUE(proc->record(ws, CtrlRecord::diff, [] { return true; }));
  const auto action = proc->get_last_action();
  proc.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_TRUE(action->get_diff());
}

} // namespace
} // namespace velkaro
