// The mouse dispatcher, driven with event values; no display needed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "ctrl/keys/mouse_binder.h"

namespace velkaro {
namespace {

constexpr guint LEFT = GDK_BUTTON_PRIMARY;
constexpr guint MIDDLE = GDK_BUTTON_MIDDLE;
constexpr guint RIGHT = GDK_BUTTON_SECONDARY;
constexpr guint LEFT_DOWN = GDK_BUTTON1_MASK;

// Records every call as text, and keeps the points it was given.
class RecordingHandler : public CtrlIMouseHandler {
public:
  bool on_press_left_button(const Point& pt) override { return record("press-left", {pt}); }
  bool on_press_right_button(const Point& pt) override { return record("press-right", {pt}); }
  bool on_double_press_left_button(const Point& pt) override { return record("double-left", {pt}); }
  bool on_release_left_button(const Point& pt) override { return record("release-left", {pt}); }
  bool on_release_right_button(const Point& pt) override { return record("release-right", {pt}); }
  bool on_drag_with_left_button(const Point& start_pt, const Point& now_pt) override
  {
    return record("drag", {start_pt, now_pt});
  }
  bool on_pointer_move(const Point& bef, const Point& now) override
  {
    return record("move", {bef, now});
  }
  double get_zoom() const override { return zoom; }

  double zoom = 1.0;
  bool result = true;
  std::function<void()> during_call;
  std::vector<std::string> log;
  std::vector<std::vector<Point>> points;

private:
  bool record(const std::string& name, std::vector<Point> pts)
  {
    std::string line = name;
    for (const auto& pt : pts) {
      line += ' ';
      line += pt.to_string();
    }
    log.push_back(line);
    points.push_back(std::move(pts));
    if (during_call)
      during_call();
    return result;
  }
};

struct Fixture {
  std::shared_ptr<RecordingHandler> handler = std::make_shared<RecordingHandler>();
  std::shared_ptr<CtrlMouseDispatcher> binder = CtrlMouseDispatcher::create(handler);
};

TEST(MouseDispatcher, PointsAreDividedByTheZoomAndGetTheOffset)
{
  struct Case {
    double zoom, offset_x, offset_y, x, y;
    const char* expected;
  };
  const Case cases[] = {
    {2.0, 0, 0, 100, 50, "press-left (50.0, 25.0)"},
    {2.0, 10, -5, 100, 50, "press-left (60.0, 20.0)"},
    {0.5, 0, 0, 10, 4, "press-left (20.0, 8.0)"},
    {1.0, 0, 0, 7.5, 3, "press-left (7.5, 3.0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    Fixture f;
    f.handler->zoom = c.zoom;
    f.binder->set_offset(Point(c.offset_x, c.offset_y));
    EXPECT_TRUE(f.binder->button_press(GDK_BUTTON_PRESS, LEFT, c.x, c.y));
    EXPECT_EQ(f.handler->log, std::vector<std::string>{c.expected});
    // The start point keeps the divided position without the offset.
    ASSERT_TRUE(f.binder->get_start_pt());
    EXPECT_DOUBLE_EQ(f.binder->get_start_pt()->get_x(), c.x / c.zoom);
    EXPECT_DOUBLE_EQ(f.binder->get_start_pt()->get_y(), c.y / c.zoom);
  }
}

TEST(MouseDispatcher, ZoomIsAskedAtEachEvent)
{
  Fixture f;
  f.handler->zoom = 2.0;
  f.binder->button_press(GDK_BUTTON_PRESS, RIGHT, 100, 50);
  f.handler->zoom = 4.0;
  f.binder->button_release(RIGHT, 100, 50);
  EXPECT_EQ(f.handler->log, (std::vector<std::string>{"press-right (50.0, 25.0)", "release-right (25.0, 12.5)"}));
}

TEST(MouseDispatcher, DragReportsStartAndNow)
{
  Fixture f;
  f.handler->zoom = 2.0;
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 100, 50);
  EXPECT_TRUE(f.binder->motion_notify(LEFT_DOWN, 120, 50));
  // The offset is added to copies: the start point does not drift.
  f.binder->set_offset(Point(1, 1));
  f.binder->motion_notify(LEFT_DOWN, 140, 60);
  f.binder->motion_notify(LEFT_DOWN, 140, 60);
  EXPECT_EQ(f.handler->log, (std::vector<std::string>{
                              "press-left (50.0, 25.0)",
                              "drag (50.0, 25.0) (60.0, 25.0)",
                              "drag (51.0, 26.0) (71.0, 31.0)",
                              "drag (51.0, 26.0) (71.0, 31.0)",
                            }));
  EXPECT_EQ(f.binder->get_start_pt()->to_string(), "(50.0, 25.0)");
}

TEST(MouseDispatcher, DragNeedsTheLeftButtonDownAndAPendingLeftPress)
{
  struct Case {
    const char* name;
    std::function<void(CtrlMouseDispatcher&)> before;
    guint state;
    bool drag;
  };
  const Case cases[] = {
    {"press and left button down", [](auto& b) { b.button_press(GDK_BUTTON_PRESS, LEFT, 0, 0); }, LEFT_DOWN, true},
    {"left button down, pressed elsewhere", [](auto&) {}, LEFT_DOWN, false},
    {"press, but the button is not down", [](auto& b) { b.button_press(GDK_BUTTON_PRESS, LEFT, 0, 0); }, 0, false},
    {"press with another button down",
     [](auto& b) { b.button_press(GDK_BUTTON_PRESS, LEFT, 0, 0); },
     GDK_BUTTON3_MASK,
     false},
    {"after the release",
     [](auto& b) {
       b.button_press(GDK_BUTTON_PRESS, LEFT, 0, 0);
       b.button_release(LEFT, 0, 0);
     },
     LEFT_DOWN,
     false},
    {"a right press sets no start", [](auto& b) { b.button_press(GDK_BUTTON_PRESS, RIGHT, 0, 0); }, LEFT_DOWN, false},
    {"double press and left button down",
     [](auto& b) { b.button_press(GDK_2BUTTON_PRESS, LEFT, 0, 0); },
     LEFT_DOWN,
     true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    c.before(*f.binder);
    f.handler->log.clear();
    f.binder->motion_notify(c.state, 5, 5);
    ASSERT_EQ(f.handler->log.size(), 1u);
    EXPECT_EQ(f.handler->log[0].starts_with("drag"), c.drag) << f.handler->log[0];
  }
}

TEST(MouseDispatcher, ADoubleClickArrivesAsPressReleasePressDoubleRelease)
{
  Fixture f;
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 10, 20);
  f.binder->button_release(LEFT, 10, 20);
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 10, 20);
  EXPECT_TRUE(f.binder->button_press(GDK_2BUTTON_PRESS, LEFT, 10, 20));
  EXPECT_EQ(f.binder->get_start_pt()->to_string(), "(10.0, 20.0)");
  f.binder->button_release(LEFT, 10, 20);
  EXPECT_EQ(f.handler->log, (std::vector<std::string>{
                              "press-left (10.0, 20.0)",
                              "release-left (10.0, 20.0)",
                              "press-left (10.0, 20.0)",
                              "double-left (10.0, 20.0)",
                              "release-left (10.0, 20.0)",
                            }));
  EXPECT_FALSE(f.binder->get_start_pt());
}

TEST(MouseDispatcher, PressKindsByButton)
{
  struct Case {
    GdkEventType type;
    guint button;
    const char* expected; // "" for no call
    bool start_pt;
  };
  const Case cases[] = {
    {GDK_BUTTON_PRESS, LEFT, "press-left (4.0, 6.0)", true},
    {GDK_3BUTTON_PRESS, LEFT, "press-left (4.0, 6.0)", true}, // a triple click is a plain press
    {GDK_2BUTTON_PRESS, LEFT, "double-left (4.0, 6.0)", true},
    {GDK_BUTTON_PRESS, RIGHT, "press-right (4.0, 6.0)", false},
    {GDK_3BUTTON_PRESS, RIGHT, "press-right (4.0, 6.0)", false},
    {GDK_2BUTTON_PRESS, RIGHT, "", false},
    {GDK_BUTTON_PRESS, MIDDLE, "", false},
    {GDK_2BUTTON_PRESS, MIDDLE, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " button " + std::to_string(c.button));
    Fixture f;
    const bool handled = f.binder->button_press(c.type, c.button, 4, 6);
    const std::string expected = c.expected;
    EXPECT_EQ(handled, !expected.empty());
    EXPECT_EQ(f.handler->log, expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected});
    EXPECT_EQ(f.binder->get_start_pt().has_value(), c.start_pt);
  }
}

TEST(MouseDispatcher, OnlyTheLeftReleaseClearsTheStartPoint)
{
  Fixture f;
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 1, 1);
  f.binder->button_press(GDK_BUTTON_PRESS, RIGHT, 2, 2);
  f.binder->button_release(RIGHT, 2, 2);
  EXPECT_FALSE(f.binder->button_press(GDK_BUTTON_PRESS, MIDDLE, 3, 3));
  EXPECT_FALSE(f.binder->button_release(MIDDLE, 3, 3));
  ASSERT_TRUE(f.binder->get_start_pt());
  EXPECT_EQ(f.binder->get_start_pt()->to_string(), "(1.0, 1.0)");
  f.binder->button_release(LEFT, 4, 4);
  EXPECT_FALSE(f.binder->get_start_pt());
  EXPECT_EQ(f.handler->log, (std::vector<std::string>{
                              "press-left (1.0, 1.0)",
                              "press-right (2.0, 2.0)",
                              "release-right (2.0, 2.0)",
                              "release-left (4.0, 4.0)",
                            }));
}

TEST(MouseDispatcher, PointerMovesChainBefAndNow)
{
  Fixture f;
  f.binder->set_offset(Point(100, 0));
  f.binder->motion_notify(0, 1, 2);
  f.binder->motion_notify(0, 3, 4);
  // A drag in between leaves bef where the last plain move put it.
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 5, 5);
  f.binder->motion_notify(LEFT_DOWN, 6, 6);
  f.binder->button_release(LEFT, 7, 7);
  f.binder->motion_notify(0, 8, 8);
  EXPECT_EQ(f.handler->log, (std::vector<std::string>{
                              "move (0.0, 0.0) (101.0, 2.0)",
                              "move (101.0, 2.0) (103.0, 4.0)",
                              "press-left (105.0, 5.0)",
                              "drag (105.0, 5.0) (106.0, 6.0)",
                              "release-left (107.0, 7.0)",
                              "move (103.0, 4.0) (108.0, 8.0)",
                            }));
  // The now of one move is the bef of the next.
  const auto& p = f.handler->points;
  EXPECT_EQ(p[1][0], p[0][1]);
  EXPECT_EQ(p[5][0], p[1][1]);
}

TEST(MouseDispatcher, WithoutAHandlerEveryEventGoesThroughUntouched)
{
  auto binder = CtrlMouseDispatcher::create(nullptr);
  EXPECT_FALSE(binder->button_press(GDK_BUTTON_PRESS, LEFT, 1, 1));
  EXPECT_FALSE(binder->button_press(GDK_2BUTTON_PRESS, LEFT, 1, 1));
  EXPECT_FALSE(binder->motion_notify(0, 2, 2));
  EXPECT_FALSE(binder->get_start_pt());

  // Once aimed, the first move still reports bef (0, 0).
  auto handler = std::make_shared<RecordingHandler>();
  binder->set_handler(handler);
  binder->motion_notify(0, 3, 3);
  EXPECT_EQ(handler->log, std::vector<std::string>{"move (0.0, 0.0) (3.0, 3.0)"});
}

TEST(MouseDispatcher, TheHandlersResultIsTheEventsResult)
{
  for (const bool result : {true, false}) {
    Fixture f;
    f.handler->result = result;
    EXPECT_EQ(f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 0, 0), result);
    EXPECT_EQ(f.binder->motion_notify(LEFT_DOWN, 1, 0), result);
    EXPECT_EQ(f.binder->button_release(LEFT, 1, 0), result);
    EXPECT_EQ(f.binder->motion_notify(0, 1, 0), result);
    EXPECT_EQ(f.binder->button_press(GDK_2BUTTON_PRESS, LEFT, 0, 0), result);
    EXPECT_EQ(f.binder->button_press(GDK_BUTTON_PRESS, RIGHT, 0, 0), result);
    EXPECT_EQ(f.binder->button_release(RIGHT, 0, 0), result);
  }
}

TEST(MouseDispatcher, ADragBegunForOneHandlerGoesOnForTheNext)
{
  Fixture f;
  f.binder->button_press(GDK_BUTTON_PRESS, LEFT, 2, 2);
  auto next = std::make_shared<RecordingHandler>();
  f.binder->set_handler(next);
  f.binder->motion_notify(LEFT_DOWN, 4, 4);
  EXPECT_EQ(next->log, std::vector<std::string>{"drag (2.0, 2.0) (4.0, 4.0)"});
}

TEST(MouseDispatcher, TheHandlerLinkDoesNotOwn)
{
  // A handler that holds a binder aimed at itself is still freed.
  struct SelfAimed : RecordingHandler {
    std::shared_ptr<CtrlMouseDispatcher> binder;
  };
  auto handler = std::make_shared<SelfAimed>();
  handler->binder = CtrlMouseDispatcher::create(handler);
  const std::shared_ptr<CtrlMouseDispatcher> binder = handler->binder;
  const std::weak_ptr<SelfAimed> watch = handler;
  handler.reset();
  EXPECT_TRUE(watch.expired());
  // The binder left behind has no handler and takes nothing.
  EXPECT_FALSE(binder->get_handler());
  EXPECT_FALSE(binder->button_press(GDK_BUTTON_PRESS, LEFT, 1, 1));
}

TEST(MouseDispatcher, AHandlerMayDropTheBinderWhileItRuns)
{
  // Run under AddressSanitizer, a touch of the freed binder would fail here.
  struct Owner : RecordingHandler {
    std::shared_ptr<CtrlMouseDispatcher> binder;
  };
  auto handler = std::make_shared<Owner>();
  handler->during_call = [h = handler.get()] { h->binder.reset(); };
  const auto run = [&](const std::function<bool(CtrlMouseDispatcher&)>& event) {
    handler->binder = CtrlMouseDispatcher::create(handler);
    const std::weak_ptr<CtrlMouseDispatcher> watch = handler->binder;
    EXPECT_TRUE(event(*handler->binder));
    EXPECT_TRUE(watch.expired());
  };
  run([](auto& b) { return b.motion_notify(0, 1, 1); });
  run([](auto& b) { return b.button_press(GDK_BUTTON_PRESS, LEFT, 1, 1); });
  run([](auto& b) { return b.button_press(GDK_2BUTTON_PRESS, LEFT, 1, 1); });
  run([](auto& b) { return b.button_release(LEFT, 1, 1); });
  handler->during_call = nullptr;
}

TEST(MouseDispatcher, TheLastEventPointIsDividedWithoutOffsetAndKeptApart)
{
  Fixture f;
  f.handler->zoom = 2.0;
  f.binder->set_offset(Point(10, 10));
  // The handler changes the copy of the point it keeps.
  f.handler->during_call = [h = f.handler.get()] { h->points.back().back().set_x(-1); };
  f.binder->button_press(GDK_BUTTON_PRESS, RIGHT, 100, 50);
  EXPECT_EQ(CtrlMouseDispatcher::get_last_event_point().to_string(), "(50.0, 25.0)");

  // Shared by every binder.
  auto other_handler = std::make_shared<RecordingHandler>();
  auto other = CtrlMouseDispatcher::create(other_handler);
  other->motion_notify(0, 7, 8);
  EXPECT_EQ(CtrlMouseDispatcher::get_last_event_point().to_string(), "(7.0, 8.0)");
  f.handler->during_call = nullptr;
}

} // namespace
} // namespace velkaro
