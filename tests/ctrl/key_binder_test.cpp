// The key dispatcher with the GLib main loop: draining pending callbacks,
// surviving what they do, and keeping keys in arrival order.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gdk/gdk.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "common/c_resource.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_binder.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using EventPtr = CPtr<GdkEvent, gdk_event_free>;

EventPtr make_key(GdkEventType type, guint keyval)
{
  EventPtr event(gdk_event_new(type));
  event->key.keyval = keyval;
  return event;
}

// Logs "press a" or "release a" through the key maps' own key value.
class KeyRecorder : public CtrlIKeyHandler {
public:
  KeyRecorder(std::vector<std::string>& log, std::string name = "") : m_log(log), m_name(std::move(name)) {}

  bool key_press(GdkEventKey& event) override { return record("press", event); }
  bool key_release(GdkEventKey& event) override { return record("release", event); }

  bool result = true;
  std::function<void()> during_press;

private:
  bool record(const std::string& what, GdkEventKey& event)
  {
    const KeyEvent key = to_key_event(event);
    m_log.push_back(m_name + what + " " + std::string(1, static_cast<char>(key.keyval)));
    if (what == "press" && during_press)
      during_press();
    return result;
  }

  std::vector<std::string>& m_log;
  std::string m_name;
};

// Runs the main loop until nothing is pending, so no callback outlives a test.
void settle_main_context()
{
  while (g_main_context_pending(nullptr))
    g_main_context_iteration(nullptr, FALSE);
}

struct KeyFixture {
  KeyFixture() { settle_main_context(); }
  ~KeyFixture() { settle_main_context(); }

  void when_idle(std::function<void()> fn)
  {
    Glib::signal_idle().connect_once([this, fn = std::move(fn)] {
      log.push_back("idle");
      fn();
    });
  }

  std::vector<std::string> log;
  std::shared_ptr<KeyRecorder> handler = std::make_shared<KeyRecorder>(log);
  std::shared_ptr<CtrlKeyDispatcher> binder = CtrlKeyDispatcher::create(handler);
  EventPtr a = make_key(GDK_KEY_PRESS, 'a');
  EventPtr a_up = make_key(GDK_KEY_RELEASE, 'a');
  EventPtr b = make_key(GDK_KEY_PRESS, 'b');
  EventPtr b_up = make_key(GDK_KEY_RELEASE, 'b');
};

TEST(KeyDispatcher, APressRunsPendingCallbacksFirst)
{
  KeyFixture f;
  f.when_idle([] {});
  EXPECT_TRUE(f.binder->key_press(f.a->key));
  EXPECT_EQ(f.log, (std::vector<std::string>{"idle", "press a"}));

  f.handler->result = false;
  EXPECT_FALSE(f.binder->key_press(f.a->key));
}

TEST(KeyDispatcher, AReleaseIsHandedOnAtOnce)
{
  KeyFixture f;
  f.when_idle([] {});
  EXPECT_TRUE(f.binder->key_release(f.a_up->key));
  EXPECT_EQ(f.log, (std::vector<std::string>{"release a"}));
  f.handler->result = false;
  EXPECT_FALSE(f.binder->key_release(f.a_up->key));
}

TEST(KeyDispatcher, WithoutAHandlerKeysGoThroughWithoutDraining)
{
  KeyFixture f;
  f.binder->set_handler(nullptr);
  f.when_idle([] {});
  EXPECT_FALSE(f.binder->key_press(f.a->key));
  EXPECT_FALSE(f.binder->key_release(f.a_up->key));
  EXPECT_TRUE(f.log.empty());
}

TEST(KeyDispatcher, TheHandlerIsAskedAgainAfterTheDrain)
{
  struct Case {
    const char* name;
    std::function<void(KeyFixture&)> during_drain;
    std::vector<std::string> log;
    bool handled;
  };
  const Case cases[] = {
    {"handler destroyed", [](KeyFixture& f) { f.handler.reset(); }, {"idle"}, false},
    {"handler cleared", [](KeyFixture& f) { f.binder->set_handler(nullptr); }, {"idle"}, false},
    {"binder closed", [](KeyFixture& f) { f.binder->close(); }, {"idle"}, false},
    {"binder re-aimed",
     [](KeyFixture& f) {
       auto next = std::make_shared<KeyRecorder>(f.log, "next ");
       f.binder->set_handler(next);
       f.handler = next;
     },
     {"idle", "next press a"},
     true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyFixture f;
    f.when_idle([&f, &c] { c.during_drain(f); });
    EXPECT_EQ(f.binder->key_press(f.a->key), c.handled);
    EXPECT_EQ(f.log, c.log);
  }
}

TEST(KeyDispatcher, ABinderDroppedDuringTheDrainLivesUntilThePressIsHandled)
{
  // Run under AddressSanitizer, a touch of the freed binder would fail here.
  KeyFixture f;
  const std::weak_ptr<CtrlKeyDispatcher> watch = f.binder;
  CtrlKeyDispatcher* binder = f.binder.get();
  f.when_idle([&f] { f.binder.reset(); });
  EXPECT_TRUE(binder->key_press(f.a->key));
  EXPECT_EQ(f.log, (std::vector<std::string>{"idle", "press a"}));
  EXPECT_TRUE(watch.expired());
}

TEST(KeyDispatcher, AHandlerMayDropItsOwnBinderWhileItRuns)
{
  KeyFixture f;
  const std::weak_ptr<CtrlKeyDispatcher> watch = f.binder;
  CtrlKeyDispatcher* binder = f.binder.get();
  f.handler->during_press = [&f] { f.binder.reset(); };
  EXPECT_TRUE(binder->key_press(f.a->key));
  EXPECT_TRUE(watch.expired());
}

TEST(KeyDispatcher, ACallbackThatStaysReadyCannotHoldAKeyUp)
{
  KeyFixture f;
  int runs = 0;
  sigc::connection forever = Glib::signal_idle().connect([&runs] {
    ++runs;
    return true;
  });
  EXPECT_TRUE(f.binder->key_press(f.a->key));
  forever.disconnect();
  EXPECT_EQ(f.log, (std::vector<std::string>{"press a"}));
  EXPECT_EQ(runs, CtrlKeyDispatcher::MAX_DRAIN_ITERATIONS);
}

TEST(KeyDispatcher, KeysThatComeDuringThePressAreHandledAfterItInOrder)
{
  // Waiting keys are copies, which GDK makes only once it is started.
  VELKARO_REQUIRE_GTK();
  KeyFixture f;
  std::vector<bool> nested_results;
  f.when_idle([&f, &nested_results] {
    nested_results.push_back(f.binder->key_press(f.b->key));
    nested_results.push_back(f.binder->key_release(f.b_up->key));
    nested_results.push_back(f.binder->key_press(f.a->key));
  });
  f.handler->result = false;
  EXPECT_FALSE(f.binder->key_press(f.a->key));
  EXPECT_EQ(nested_results, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(f.log, (std::vector<std::string>{"idle", "press a", "press b", "release b", "press a"}));
}

TEST(KeyDispatcher, AWaitingPressGetsItsOwnDrainAndTheHandlerOfItsTurn)
{
  VELKARO_REQUIRE_GTK();
  KeyFixture f;
  const auto next = std::make_shared<KeyRecorder>(f.log, "next ");
  f.when_idle([&f] { f.binder->key_press(f.b->key); });
  // Queued while a is handled: runs in the drain before b.
  bool queued = false;
  f.handler->during_press = [&f, &next, &queued] {
    if (!std::exchange(queued, true))
      f.when_idle([&f, &next] { f.binder->set_handler(next); });
  };
  f.binder->key_press(f.a->key);
  EXPECT_EQ(f.log, (std::vector<std::string>{"idle", "press a", "idle", "next press b"}));
}

TEST(KeyDispatcher, ClosingDropsTheWaitingKeysAndAllLaterOnes)
{
  VELKARO_REQUIRE_GTK();
  KeyFixture f;
  f.when_idle([&f] { f.binder->key_press(f.b->key); });
  f.handler->during_press = [&f] { f.binder->close(); };
  EXPECT_TRUE(f.binder->key_press(f.a->key));
  EXPECT_EQ(f.log, (std::vector<std::string>{"idle", "press a"}));
  EXPECT_TRUE(f.binder->is_closed());
  EXPECT_FALSE(f.binder->key_press(f.b->key));
  EXPECT_FALSE(f.binder->key_release(f.b_up->key));
}

TEST(KeyDispatcher, TheHandlerLinkDoesNotOwn)
{
  // A handler that holds a binder aimed at itself (the command line) is freed.
  std::vector<std::string> log;
  struct SelfAimed : KeyRecorder {
    using KeyRecorder::KeyRecorder;
    std::shared_ptr<CtrlKeyDispatcher> binder;
  };
  auto handler = std::make_shared<SelfAimed>(log);
  handler->binder = CtrlKeyDispatcher::create(handler);
  const std::shared_ptr<CtrlKeyDispatcher> binder = handler->binder;
  const std::weak_ptr<SelfAimed> watch = handler;
  handler.reset();
  EXPECT_TRUE(watch.expired());
  const EventPtr a = make_key(GDK_KEY_PRESS, 'a');
  EXPECT_FALSE(binder->key_press(a->key));
}

} // namespace
} // namespace velkaro
