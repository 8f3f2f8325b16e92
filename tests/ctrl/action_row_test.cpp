// Key table rows: one row type and one registration for every set of named
// actions, on an action handler and on the command line's command map.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action.h"
#include "ctrl/action_handler_for_test.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::TestHandler;

// An owner that rows keep alive while they run (it has hold()); its work is
// logged, and a row may drop the last owner from outside while it runs.
struct RowTestOwner : std::enable_shared_from_this<RowTestOwner> {
  std::shared_ptr<RowTestOwner> hold() { return shared_from_this(); }

  // Shared with the test, which reads it after the owner went.
  std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<RowTestOwner>* outside = nullptr;
  bool done = true;
  bool can = false;
};

const CtrlActionRows<RowTestOwner>& row_test_rows()
{
  static const CtrlActionRows<RowTestOwner> rows = {
    {"plain", {"x", "y"}, N_("Plain work"), CtrlRecord::none,
     [](RowTestOwner& o) {
       o.log->push_back("plain");
       return false;
     }},
    {"step", {"y", "z"}, nullptr, CtrlRecord::diff,
     [](RowTestOwner& o) {
       // The only owner outside goes while the row runs; the row holds it.
       o.outside->reset();
       o.log->push_back("step");
       return o.done;
     }},
    {"merged", {}, nullptr, CtrlRecord::merged, [](RowTestOwner& o) { return o.done; },
     [](RowTestOwner& o) { return o.can; }},
  };
  return rows;
}

TEST(ActionRows, RowsRegisterInOrderWithTheirKeysDescriptionsRecordsAndTests)
{
  const auto ws = ModelWorkspace::create<test::TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  const auto h = TestHandler::create("ROWS", std::make_shared<test::Log>(), proc, ws);
  auto owner = std::make_shared<RowTestOwner>();
  owner->outside = &owner;
  const auto log = owner->log;
  ctrl_register_rows(*h, *owner, row_test_rows());

  const auto actions = h->enum_actions();
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[0]->get_name(), "plain");
  EXPECT_EQ(actions[1]->get_name(), "step");
  EXPECT_EQ(actions[2]->get_name(), "merged");
  // The earlier row keeps a key a later one claims too.
  EXPECT_EQ(h->bound("y"), "plain");
  EXPECT_EQ(h->bound("z"), "step");
  EXPECT_EQ(actions[1]->get_app_keys(), (CtrlActionWrapper::Keys{"y", "z"}));
  EXPECT_EQ(actions[0]->get_description(), "Plain work");
  EXPECT_EQ(actions[1]->get_description(), std::nullopt);
  EXPECT_EQ(actions[0]->get_record(), CtrlRecord::none);
  EXPECT_EQ(actions[1]->get_record(), CtrlRecord::diff);
  EXPECT_EQ(actions[2]->get_record(), CtrlRecord::merged);
  EXPECT_FALSE(actions[0]->has_is_actionable_func());
  ASSERT_TRUE(actions[2]->has_is_actionable_func());
  EXPECT_FALSE(actions[2]->get_is_actionable());

  EXPECT_TRUE(h->action("plain")) << "unrecorded work counts as done";
  EXPECT_TRUE(proc->get_undo_stack().empty());
  EXPECT_TRUE(h->action("step"));
  EXPECT_EQ(owner, nullptr);
  EXPECT_EQ(*log, (std::vector<std::string>{"plain", "step"})) << "the owner lived while its row ran";
}

TEST(ActionRows, RecordedRowsAreStepsAndAMergedOneTakesTheNext)
{
  const auto ws = ModelWorkspace::create<test::TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  const auto h = TestHandler::create("ROWS", std::make_shared<test::Log>(), proc, ws);
  const auto owner = std::make_shared<RowTestOwner>();
  ctrl_register_rows(*h, *owner, row_test_rows());
  owner->can = true;
  EXPECT_TRUE(h->get_ah_map().at("merged")->get_is_actionable());

  owner->done = false;
  EXPECT_FALSE(h->action("merged")) << "nothing done, nothing recorded";
  EXPECT_TRUE(proc->get_undo_stack().empty());
  owner->done = true;
  EXPECT_TRUE(h->action("merged"));
  ASSERT_EQ(proc->get_undo_stack().size(), 1u);
  EXPECT_TRUE(proc->get_undo_stack().back()->get_is_mergeable());
  const auto head = proc->get_undo_stack().back();
  std::shared_ptr<RowTestOwner> outside = owner;
  owner->outside = &outside;
  EXPECT_TRUE(h->action("step"));
  ASSERT_EQ(proc->get_undo_stack().size(), 1u) << "the step joined the merged one";
  EXPECT_EQ(head->get_next_action(), proc->get_last_action());
}

// The command line's commands: rows whose work takes the argument words.
struct RowTestCommands {
  std::vector<std::string> seen;
};

TEST(ActionRows, CommandRowsTakeTheirArgumentWords)
{
  using Args = CtrlCommandActionMap::Args;
  static const CtrlActionRows<RowTestCommands, const Args&> rows = {
    {"keep", {}, nullptr, CtrlRecord::none,
     [](RowTestCommands& c, const Args& args) {
       c.seen.insert(c.seen.end(), args.begin(), args.end());
       return true;
     }},
    {"fail", {}, nullptr, CtrlRecord::none, [](RowTestCommands&, const Args&) { return false; }},
  };
  RowTestCommands commands;
  CtrlCommandActionMap map;
  ctrl_register_rows(map, commands, rows);
  EXPECT_TRUE(map.has("keep"));
  EXPECT_TRUE(map.action("keep  a b"));
  EXPECT_EQ(commands.seen, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(map.action("fail x")) << "a command's result is its own";
  EXPECT_FALSE(map.action("none"));
}

} // namespace
} // namespace velkaro
