// A key press on the canvas widget travels to a redraw: the key binder that
// the controller installed hands it to the current mode, the mode's action
// changes the document, the workspace announces the change, and the canvas
// sizes itself and draws again, showing the change.

#include <chrono>
#include <memory>

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "ctrl/context.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/test_kind.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "support/test_env.h"
#include "view/canvas_harness_for_test.h"
#include "view/drawer.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro {
namespace {

// Counts the draws and notes the cursor cell each one saw.
class DrawCounter : public ViewDrawer {
public:
  void draw() override
  {
    ++draws;
    if (const auto ctrl = get_ctrl())
      cursor = ctrl->get_now_cell();
  }
  int draws = 0;
  CellPos cursor{-1, -1};
};

// Runs the main loop until done() holds or a second has passed.
template <class Done>
bool run_until(Done done)
{
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!done() && std::chrono::steady_clock::now() < until)
    g_main_context_iteration(nullptr, FALSE);
  return done();
}

TEST(CanvasKeyPathTest, AKeyPressOnTheCanvasEndsInARedrawShowingTheChange)
{
  VELKARO_REQUIRE_GTK();
  test::KindKit kit;
  auto canvas = std::make_shared<test::StandardCanvas>(*kit.ctx);
  const auto counter = std::make_shared<DrawCounter>();
  canvas->list().push_back(counter);
  test::CanvasHarness harness(*kit.ctx, canvas);
  ASSERT_TRUE(run_until([&] { return counter->draws > 0; }));

  // "l" moves the cursor: the canvas reveals it at the next draw.
  const int before = counter->draws;
  auto press = test::key_event(GDK_KEY_PRESS, canvas->get_window()->gobj(), GDK_KEY_l);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), press.get());
  EXPECT_EQ(kit.ctx->get_now_cell(), (CellPos{1, 0}));
  ASSERT_TRUE(run_until([&] { return counter->draws > before && counter->cursor == CellPos{1, 0}; }));

  // "p" pastes the text copied by "y" from (0, 0): the workspace's
  // announcement of the change makes the canvas draw.
  kit.ctx->set_pos({0, 0});
  ASSERT_TRUE(test::place(*kit.ws, test::make_text("copied"), 0, 0));
  test::press_keys(*kit.ctx, "yl");
  ASSERT_TRUE(run_until([&] { return counter->cursor == CellPos{1, 0}; }));
  const int drawn = counter->draws;
  press = test::key_event(GDK_KEY_PRESS, canvas->get_window()->gobj(), GDK_KEY_p);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), press.get());
  ASSERT_EQ(test::names_at(*kit.ws, 1, 0), std::vector<std::string>{"T:copied"});
  EXPECT_TRUE(run_until([&] { return counter->draws > drawn; }));
}

} // namespace
} // namespace velkaro
