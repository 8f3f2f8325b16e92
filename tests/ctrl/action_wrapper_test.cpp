// Action wrappers: default and user keys, the first-claimer rule, the stored
// key-binding groups (absent entry: default keys; empty list: no key), and
// the undoable wrappers.

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ctrl/undo/action.h"
#include "ctrl/action_handler_for_test.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/action_wrapper.h"
#include "model/store.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::TestHandler;
using Keys = CtrlActionWrapper::Keys;

constexpr const char* GROUP = "TEST MODE";

std::string file_text(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A handler named GROUP on the store, with a: x y and b: y z.
std::shared_ptr<TestHandler> handler_on(const std::shared_ptr<ModelStore>& store)
{
  auto h = TestHandler::create(GROUP, std::make_shared<test::Log>(), nullptr, nullptr, store);
  h->add_logged("a", {"x", "y"});
  h->add_logged("b", {"y", "z"});
  return h;
}

TEST(ActionWrapper, TheFirstActionToClaimAKeyKeepsIt)
{
  const auto h = handler_on(nullptr);
  EXPECT_EQ(h->bound("x"), "a");
  EXPECT_EQ(h->bound("y"), "a");
  EXPECT_EQ(h->bound("z"), "b");
  EXPECT_EQ(h->wrapper("a")->get_assigned(), (Keys{"x", "y"}));
  EXPECT_EQ(h->wrapper("b")->get_assigned(), (Keys{"z"}));
  EXPECT_FALSE(h->wrapper("a")->get_user_remapped());
  EXPECT_TRUE(h->wrapper("b")->get_user_remapped());
}

TEST(ActionWrapper, StoredEntriesDecideTheKeysAtRegistration)
{
  struct Case {
    const char* name;
    std::optional<Keys> stored_b; // nullopt: no entry
    Keys bound_to_b;
  };
  const std::vector<Case> cases = {
    {"absent entry: default keys", std::nullopt, {"z"}},
    {"empty list: no key", Keys{}, {}},
    {"stored keys replace the defaults", Keys{"q", "r"}, {"q", "r"}},
    {"a stored key held by an earlier action is not taken", Keys{"x", "q"}, {"q"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto store = ModelStore::create("test");
    store->remove_key("b", GROUP);
    if (c.stored_b)
      store->save_values("b", *c.stored_b, GROUP);
    const auto h = handler_on(store);
    EXPECT_EQ(h->wrapper("b")->get_assigned(), c.bound_to_b);
    for (const char* key : {"q", "r", "z"}) {
      const bool expect_b = CtrlActionWrapper::contains(c.bound_to_b, key);
      EXPECT_EQ(h->bound(key), expect_b ? std::optional<std::string>("b") : std::nullopt) << key;
    }
    EXPECT_EQ(h->bound("x"), "a");
  }
}

TEST(ActionWrapper, UserBindingsSurviveANewStoreOnTheSameFile)
{
  {
    const auto h = handler_on(ModelStore::create("test"));
    EXPECT_TRUE(h->wrapper("a")->add_key("q"));
    h->wrapper("b")->rm_key("z");
  }
  const auto store = ModelStore::create("test");
  EXPECT_EQ(store->get_values("a", GROUP), (Keys{"x", "y", "q"}));
  EXPECT_EQ(store->get_values("b", GROUP), Keys{});
  const auto h = handler_on(store);
  EXPECT_EQ(h->bound("q"), "a");
  EXPECT_EQ(h->bound("z"), std::nullopt);
  EXPECT_EQ(h->wrapper("b")->get_assigned(), Keys{});

  h->wrapper("b")->restore();
  const auto after_restore = handler_on(ModelStore::create("test"));
  EXPECT_EQ(after_restore->bound("z"), "b");
  EXPECT_EQ(ModelStore::create("test")->get_values("b", GROUP), std::nullopt);
}

TEST(ActionWrapper, AddingAKeyThatAnotherActionHoldsChangesNothing)
{
  const auto store = ModelStore::create("test");
  const auto h = handler_on(store);
  ASSERT_TRUE(h->wrapper("b")->add_key("w"));
  const std::string file_before = file_text(store->get_config_path());
  int remapped = 0;
  h->wrapper("b")->signal_remapped().connect([&remapped] { ++remapped; });

  for (const char* key : {"x", "<Esc"}) {
    SCOPED_TRACE(key);
    EXPECT_FALSE(h->wrapper("b")->add_key(key));
    EXPECT_EQ(h->bound("x"), "a");
    EXPECT_EQ(h->wrapper("b")->get_assigned(), (Keys{"z", "w"}));
    EXPECT_EQ(store->get_values("b", GROUP), (Keys{"z", "w"}));
    EXPECT_EQ(file_text(store->get_config_path()), file_before);
    EXPECT_EQ(remapped, 0);
  }
  // The next start binds exactly what this one did.
  const auto again = handler_on(ModelStore::create("test"));
  EXPECT_EQ(again->wrapper("b")->get_assigned(), (Keys{"z", "w"}));
  EXPECT_EQ(again->bound("x"), "a");
}

TEST(ActionWrapper, AddingAKeyTheActionHasStoresItTwiceAndBindsItOnce)
{
  const auto store = ModelStore::create("test");
  const auto h = handler_on(store);
  EXPECT_TRUE(h->wrapper("b")->add_key("z"));
  EXPECT_EQ(store->get_values("b", GROUP), (Keys{"z", "z"}));
  EXPECT_EQ(h->wrapper("b")->get_assigned(), (Keys{"z"}));
  EXPECT_EQ(h->bound("z"), "b");
}

TEST(ActionWrapper, RemovingTheLastKeyStoresAnEmptyListAndRestoreBringsTheDefaults)
{
  const auto store = ModelStore::create("test");
  const auto h = handler_on(store);
  const auto b = h->wrapper("b");
  int remapped = 0;
  b->signal_remapped().connect([&remapped] { ++remapped; });
  b->rm_key("z");
  EXPECT_EQ(store->get_value("b", GROUP), "");
  EXPECT_EQ(store->get_values("b", GROUP), Keys{});
  EXPECT_EQ(h->bound("z"), std::nullopt);
  EXPECT_TRUE(b->get_user_remapped());

  b->restore();
  EXPECT_EQ(store->get_values("b", GROUP), std::nullopt);
  EXPECT_EQ(h->bound("z"), "b");
  EXPECT_EQ(b->get_assigned(), (Keys{"z"}));
  EXPECT_EQ(remapped, 2);
}

TEST(ActionWrapper, RebindingLeavesKeysThatMeanwhileBelongToAnotherAction)
{
  const auto h = handler_on(nullptr);
  auto& km = h->get_key_action_map();
  km.set("y", std::string("other"));
  h->wrapper("a")->user_remap(km, {"q"});
  EXPECT_EQ(h->bound("x"), std::nullopt);
  EXPECT_EQ(h->bound("y"), "other");
  EXPECT_EQ(h->bound("q"), "a");
}

TEST(ActionWrapper, RemapChangesTheDefaultKeys)
{
  const auto h = handler_on(nullptr);
  h->remap("b", {"z", "k"});
  EXPECT_EQ(h->wrapper("b")->get_app_keys(), (Keys{"z", "k"}));
  EXPECT_EQ(h->bound("k"), "b");
  EXPECT_FALSE(h->wrapper("b")->get_user_remapped());
}

TEST(ActionWrapper, WithoutAStoreChangesLastOnlyInMemory)
{
  const auto h = handler_on(nullptr);
  EXPECT_TRUE(h->wrapper("a")->add_key("q"));
  EXPECT_EQ(h->bound("q"), "a");
  EXPECT_EQ(h->wrapper("a")->get_setting_keys(), std::nullopt);
  EXPECT_EQ(ModelStore::create("test")->get_values("a", GROUP), std::nullopt);
}

TEST(ActionWrapper, KeyChangesFollowToTheDupsOfTheHandler)
{
  const auto store = ModelStore::create("test");
  const auto first = handler_on(store);
  const auto dup = handler_on(store);
  first->add_dup(dup);
  EXPECT_TRUE(first->wrapper("a")->add_key("q"));
  EXPECT_EQ(dup->bound("q"), "a");
  first->wrapper("a")->rm_key("x");
  EXPECT_EQ(dup->bound("x"), std::nullopt);
  EXPECT_EQ(store->get_values("a", GROUP), (Keys{"y", "q"}));
  first->wrapper("a")->restore();
  EXPECT_EQ(dup->wrapper("a")->get_assigned(), (Keys{"x", "y"}));
  EXPECT_EQ(store->get_values("a", GROUP), std::nullopt);

  std::vector<std::shared_ptr<CtrlActionWrapper>> seen;
  first->wrapper("b")->on_each_dups([&seen](const auto& w) { seen.push_back(w); });
  EXPECT_EQ(seen, (std::vector<std::shared_ptr<CtrlActionWrapper>>{dup->wrapper("b")}));
}

TEST(ActionWrapper, CompareTreatsListsAsSets)
{
  EXPECT_TRUE(CtrlActionWrapper::compare({"a", "b", "b"}, {"b", "a"}));
  EXPECT_TRUE(CtrlActionWrapper::compare({}, {}));
  EXPECT_FALSE(CtrlActionWrapper::compare({"a"}, {"a", "c"}));
  EXPECT_FALSE(CtrlActionWrapper::compare({"a", "c"}, {"a"}));
}

TEST(ActionWrapper, TestsNamesAndDescriptions)
{
  const auto plain = CtrlActionWrapper::create([] { return false; }, {"x"}, std::string("Do it"));
  EXPECT_TRUE(plain->get_is_actionable());
  EXPECT_EQ(plain->get_name(), "NONAME");
  EXPECT_EQ(plain->get_description(), "Do it");
  EXPECT_TRUE(plain->action());

  bool can = false;
  const auto tested =
    CtrlActionWrapper::create([] { return true; }, {}, std::nullopt, CtrlRecord::none, [&can] { return can; });
  EXPECT_FALSE(tested->get_is_actionable());
  can = true;
  EXPECT_TRUE(tested->get_is_actionable());
  EXPECT_EQ(tested->get_description(), std::nullopt);

  const auto h = TestHandler::create("H");
  h->replace_logged("up");
  const auto& replacement = h->get_replacement().at("up");
  EXPECT_EQ(replacement->get_name(), "NONAME");
  EXPECT_TRUE(replacement->get_app_keys().empty());
}

TEST(ActionWrapper, AWrapperOutlivingItsHandlerNoLongerRuns)
{
  std::shared_ptr<CtrlActionWrapper> kept;
  {
    const auto h = TestHandler::create("H");
    h->add_logged("a", {"x"});
    kept = h->wrapper("a");
    ASSERT_TRUE(kept->action());
  }
  EXPECT_EQ(kept->get_handler(), nullptr);
  EXPECT_FALSE(kept->action());
  EXPECT_FALSE(kept->add_key("q"));
  EXPECT_TRUE(kept->get_assigned().empty());
}

TEST(ActionWrapper, ARecordedWrapperMakesEachUseANewStepOrRunsDirectlyWithoutAProcessor)
{
  for (const bool result : {true, false}) {
    SCOPED_TRACE(result);
    int runs = 0;
    const auto work = [&runs, result] {
      ++runs;
      return result;
    };

    const auto direct = TestHandler::create("Direct");
    direct->add_action("r", {}, work, std::string("Direct"), CtrlRecord::diff);
    EXPECT_TRUE(direct->wrapper("r")->action()) << "unrecorded work counts as done";
    EXPECT_TRUE(direct->wrapper("r")->action());
    EXPECT_EQ(runs, 2);

    const auto ws = ModelWorkspace::create<test::TestWorkspace>();
    const auto proc = CtrlActionProcessor::create();
    const auto recorded = TestHandler::create("Recorded", std::make_shared<test::Log>(), proc, ws);
    recorded->add_action("r", {}, work, std::string("Recorded"), CtrlRecord::diff);
    EXPECT_EQ(recorded->wrapper("r")->get_record(), CtrlRecord::diff);
    EXPECT_EQ(recorded->wrapper("r")->action(), result);
    const auto first = proc->get_last_action();
    EXPECT_EQ(recorded->wrapper("r")->action(), result);
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(proc->get_undo_stack().size(), result ? 2u : 0u);
    ASSERT_NE(proc->get_last_action(), nullptr);
    EXPECT_NE(proc->get_last_action(), first) << "a new action for every use";
  }
}

} // namespace
} // namespace velkaro
