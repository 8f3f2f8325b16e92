// Action handlers: key resolution through the own map and the included
// handlers (the newest included first), names run on the outer handler so
// that replacements keep the included keys, the actionable-name set, and the
// pending keys of maps that did not decide.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "ctrl/action_handler_for_test.h"
#include "ctrl/undo/action_processor.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Log;
using test::TestHandler;
using test::type;
using NameSet = CtrlIActionHandler::NameSet;

// Handlers of one test share a log.
struct Family {
  std::shared_ptr<TestHandler> make(const std::string& name) { return TestHandler::create(name, log); }
  std::shared_ptr<Log> log = std::make_shared<Log>();
};

TEST(ActionHandler, TheHandlerIncludedLastIsAskedFirst)
{
  Family f;
  const auto m = f.make("M");
  const auto b = f.make("B");
  const auto d = f.make("D");
  b->add_logged("b-x", {"x"});
  d->add_logged("d-x", {"x"});
  b->add_logged("b-only", {"y"});
  m->include(b);
  m->include(d);
  EXPECT_EQ(m->get_included_modes(), (std::vector<CtrlIActionHandler::HandlerPtr>{d, b}));

  EXPECT_TRUE(type(*m, "x"));
  EXPECT_TRUE(type(*m, "y"));
  EXPECT_FALSE(type(*m, "q"));
  EXPECT_EQ(*f.log, (Log{"D:d-x", "B:b-only"}));
}

TEST(ActionHandler, AReplacementKeepsTheIncludedKeysAndRunsOnTheOuterHandler)
{
  Family f;
  const auto m = f.make("M");
  const auto base = f.make("B");
  base->add_logged("up", {"k", "<Up>"});
  m->include(base);
  m->replace_logged("up");

  EXPECT_TRUE(type(*m, "k"));
  EXPECT_TRUE(m->action_by_eventkey(test::press(GDK_KEY_Up)));
  EXPECT_TRUE(m->action(std::string("up")));
  EXPECT_EQ(*f.log, (Log{"M:up", "M:up", "M:up"}));
  // Pressed in the included handler itself, the key runs its own action.
  EXPECT_TRUE(type(*base, "k"));
  EXPECT_EQ(f.log->back(), "B:up");
  // Without a test the replacement leaves the name as the included set has it.
  EXPECT_EQ(m->enum_actionable_name(), NameSet{"up"});
}

TEST(ActionHandler, ReplacingWithDoNothingSwitchesAnIncludedActionOff)
{
  Family f;
  const auto m = f.make("M");
  const auto base = f.make("B");
  base->add_logged("undo", {"u"});
  m->include(base);
  m->replace_void("undo", CtrlIActionHandler::do_nothing, CtrlIActionHandler::never_actionable);

  EXPECT_TRUE(base->enum_actionable_name().contains("undo"));
  EXPECT_FALSE(m->enum_actionable_name().contains("undo"));
  type(*m, "u");
  EXPECT_TRUE(f.log->empty());
}

TEST(ActionHandler, AnActionThatFailsItsTestStillRuns)
{
  Family f;
  const auto h = f.make("H");
  h->add_logged("a", {"a"}, [] { return false; });
  EXPECT_TRUE(type(*h, "a"));
  EXPECT_TRUE(h->action(std::string("a")));
  EXPECT_EQ(*f.log, (Log{"H:a", "H:a"}));
  EXPECT_FALSE(h->enum_actionable_name().contains("a"));
}

TEST(ActionHandler, UnknownAndAbsentNamesRunNothing)
{
  Family f;
  const auto h = f.make("H");
  h->add_logged("a", {"a"});
  EXPECT_FALSE(h->action(std::nullopt));
  EXPECT_FALSE(h->action(std::string("b")));
  EXPECT_FALSE(h->action_own(std::nullopt));
  EXPECT_TRUE(f.log->empty());
}

TEST(ActionHandler, IncludedHandlersAreAskedWhenTheOuterOneIsNotActionable)
{
  Family f;
  const auto m = f.make("M");
  const auto base = f.make("B");
  m->add_logged("a", {"x"});
  base->add_logged("a", {"y"});
  m->include(base);
  m->set_is_actionable(false);
  EXPECT_FALSE(m->action_own(std::string("a")));
  EXPECT_TRUE(type(*m, "x"));
  EXPECT_EQ(*f.log, (Log{"B:a"}));
  EXPECT_TRUE(m->enum_actionable_name().empty());
}

TEST(ActionHandler, RegisteringANameAgainKeepsTheFirstKeys)
{
  Family f;
  const auto h = f.make("H");
  h->void_action("a", {"x"}, [&f] { f.log->push_back("first"); }, std::nullopt);
  h->void_action("a", {"x", "y"}, [&f] { f.log->push_back("second"); }, std::nullopt);
  EXPECT_EQ(h->bound("x"), "a");
  EXPECT_EQ(h->wrapper("a")->get_assigned(), (CtrlActionWrapper::Keys{"y"}));
  type(*h, "xy");
  EXPECT_EQ(*f.log, (Log{"second", "second"}));
  ASSERT_EQ(h->enum_actions().size(), 2u);
  EXPECT_EQ(h->enum_actions()[0]->get_name(), "a");
}

TEST(ActionHandler, ActionableSetComposition)
{
  Family f;
  const auto m = f.make("M");
  const auto b = f.make("B");
  const auto d = f.make("D");
  const auto off = f.make("OFF");
  const auto yes = [] { return true; };
  const auto no = [] { return false; };
  b->add_logged("a", {}, yes);
  b->add_logged("b", {}, no);
  b->add_logged("c", {});
  b->add_logged("s", {});
  d->add_logged("d", {});
  off->add_logged("e", {});
  off->set_is_actionable(false);
  m->include(b);
  m->include(d);
  m->include(off);
  m->add_logged("c", {}, no); // an own action that cannot run hides the included one
  m->add_logged("m", {});
  m->replace_logged("a", no);  // a failing replacement test removes the name
  m->replace_logged("d");      // no test: the included set decides
  m->replace_logged("r", yes); // a passing test adds the name
  m->replace_logged("s", no);

  EXPECT_EQ(b->enum_actionable_name(), (NameSet{"a", "c", "s"}));
  EXPECT_EQ(m->enum_actionable_name(), (NameSet{"d", "m", "r"}));
}

TEST(ActionHandler, UndoableActionsAreRecordedOnlyWithAProcessorAndAWorkspace)
{
  const auto ws = ModelWorkspace::create<test::TestWorkspace>();
  const auto proc = CtrlActionProcessor::create();
  const auto recorded = TestHandler::create("R", std::make_shared<Log>(), proc, ws);
  const auto plain = TestHandler::create("P");
  bool did = true;
  int runs = 0;
  for (const auto& h : {recorded, plain}) {
    h->add_action(
      "u", {"u"},
      [&] {
        ++runs;
        return did;
      },
      std::string("U"), CtrlRecord::diff);
  }
  EXPECT_TRUE(recorded->get_is_undoable());
  EXPECT_FALSE(plain->get_is_undoable());

  EXPECT_TRUE(type(*recorded, "u"));
  EXPECT_TRUE(type(*plain, "u"));
  did = false;
  EXPECT_FALSE(type(*recorded, "u")) << "nothing done, nothing recorded";
  EXPECT_TRUE(type(*plain, "u")) << "the result of a plain action is ignored";
  EXPECT_EQ(runs, 4);
  EXPECT_EQ(proc->get_undo_stack().size(), 1u);
}

// A mode whose own map binds "dd" includes a handler whose map binds "dd"
// too. The own map decides the second d; the included map must not keep a
// pending d from the first press, or the next single d would complete it.
TEST(ActionHandler, MapsThatDidNotDecideDropTheirPendingKeys)
{
  Family f;
  const auto m = f.make("M");
  const auto inc = f.make("I");
  m->add_logged("own-dd", {"dd"});
  inc->add_logged("inc-dd", {"dd"});
  m->include(inc);

  type(*m, "d");
  EXPECT_EQ(m->pending(), "d");
  EXPECT_EQ(inc->pending(), "d");
  type(*m, "d");
  EXPECT_EQ(*f.log, (Log{"M:own-dd"}));
  EXPECT_EQ(inc->pending(), "");

  EXPECT_FALSE(type(*m, "d"));
  EXPECT_EQ(*f.log, (Log{"M:own-dd"}));
  type(*m, "d");
  EXPECT_EQ(*f.log, (Log{"M:own-dd", "M:own-dd"}));
}

TEST(ActionHandler, PendingKeysAreDroppedThroughEveryLevelOfInclusion)
{
  Family f;
  const auto m = f.make("M");
  const auto mid = f.make("N");
  const auto deep = f.make("I");
  m->add_logged("own-x", {"x"});
  mid->add_logged("mid-gg", {"gg"});
  deep->add_logged("deep-gq", {"gq"});
  mid->include(deep);
  m->include(mid);

  type(*m, "g");
  EXPECT_EQ(mid->pending(), "g");
  EXPECT_EQ(deep->pending(), "g");
  type(*m, "x"); // the own map decides; the others drop their g
  EXPECT_EQ(mid->pending(), "");
  EXPECT_EQ(deep->pending(), "");
  type(*m, "q");
  EXPECT_EQ(*f.log, (Log{"M:own-x"}));

  // A switch away from the handler drops what is pending, announcing it.
  std::vector<std::string> announced;
  m->get_key_action_map().signal_update_leading_keys().connect(
    [&announced](const std::string& keys) { announced.push_back(keys); });
  m->add_logged("own-zz", {"zz"});
  type(*m, "z");
  type(*mid, "g");
  m->clear_leading_keys();
  EXPECT_EQ(m->pending(), "");
  EXPECT_EQ(mid->pending(), "");
  EXPECT_EQ(announced, (std::vector<std::string>{"z", ""}));
  type(*m, "z");
  EXPECT_EQ(*f.log, (Log{"M:own-x"}));
}

TEST(ActionHandler, IncludedHandlersLiveAsLongAsTheIncludingOne)
{
  std::weak_ptr<TestHandler> weak_included;
  std::weak_ptr<CtrlActionProcessor> weak_proc;
  {
    const auto ws = ModelWorkspace::create<test::TestWorkspace>();
    const auto proc = CtrlActionProcessor::create();
    weak_proc = proc;
    const auto m = TestHandler::create("M", std::make_shared<Log>(), proc, ws);
    {
      const auto inc = TestHandler::create("I", std::make_shared<Log>(), proc, ws);
      inc->add_action("u", {"u"}, [] { return true; }, std::nullopt, CtrlRecord::diff);
      m->include(inc);
      weak_included = inc;
    }
    EXPECT_FALSE(weak_included.expired());
    EXPECT_TRUE(type(*m, "u"));
    EXPECT_EQ(proc->get_undo_stack().size(), 1u);
  }
  EXPECT_TRUE(weak_included.expired());
  EXPECT_TRUE(weak_proc.expired());
}

} // namespace
} // namespace velkaro
