// The main view on a shown window: switching between the canvas page and
// the key-binding editor keeps the canvas's scroll position and focus, the
// wheel becomes the canvas's own scrolling and zooming, and the overlay
// scroll bars follow the setting.

#include <memory>
#include <optional>
#include <string>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include "common/point.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"
#include "view/canvas.h"
#include "view/main_view.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

// A kit's context with a real canvas and a main view in a shown window,
// scrolled to (100, 80) on a canvas far larger than the page.
struct ViewStage {
  explicit ViewStage(const KindContext::MakeModes& make_modes = {}) : kit(make_modes)
  {
    canvas = std::make_shared<ViewCanvas>(*kit.ctx);
    canvas->set_can_focus(true);
    kit.ctx->set_canvas(canvas);
    mv = std::make_shared<ViewMainView>(kit.ctx);
    kit.ctx->set_main_view(mv);
    window.set_default_size(400, 300);
    window.add(*mv);
    window.show_all();
    activate(window);
    canvas->set_cv_size(3000, 3000);
    frame();
    canvas->set_offset(CellDir::h, 100);
    canvas->set_offset(CellDir::v, 80);
    frame();
  }
  ~ViewStage()
  {
    kit.ctx->set_main_view(nullptr);
    window.remove();
    mv.reset();
    frame();
  }

  void frame() { test::frame(window); }
  bool canvas_has_focus() { return window.get_focus() == canvas.get(); }
  // A wheel event at (40, 30) of the visible area, as the display sends it:
  // to the scrolled window's own window (the canvas and the viewport select
  // no wheel events), coordinates relative to it.
  void wheel(GdkScrollDirection direction, guint state, double dx = 0, double dy = 0)
  {
    EventPtr event(gdk_event_new(GDK_SCROLL));
    event->scroll.window = GDK_WINDOW(g_object_ref(mv->get_scrolled_window().get_window()->gobj()));
    event->scroll.send_event = TRUE;
    event->scroll.time = GDK_CURRENT_TIME;
    event->scroll.direction = direction;
    event->scroll.state = state;
    event->scroll.delta_x = dx;
    event->scroll.delta_y = dy;
    event->scroll.x = 40;
    event->scroll.y = 30;
    gdk_event_set_device(event.get(), gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(event.get());
    frame();
  }

  KindKit kit;
  Gtk::Window window;
  std::shared_ptr<ViewCanvas> canvas;
  std::shared_ptr<ViewMainView> mv;
};

TEST(ViewMainView, CanvasPageFirstAndTheCanvasInAViewportOfTheScrolledWindow)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  EXPECT_EQ(stage.mv->get_visible_child_name(), "cv");
  EXPECT_TRUE(stage.mv->get_is_cv_active());
  EXPECT_EQ(stage.mv->get_transition_type(), Gtk::STACK_TRANSITION_TYPE_SLIDE_UP_DOWN);
  EXPECT_EQ(stage.canvas->get_scrolled_window(), &stage.mv->get_scrolled_window());
  EXPECT_TRUE(dynamic_cast<Gtk::Viewport*>(stage.canvas->get_parent()));
  EXPECT_EQ(stage.canvas->get_parent()->get_parent(), &stage.mv->get_scrolled_window());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);
}

TEST(ViewMainView, ToggleShowsTheKeySettingPageAndBackRestoresOffsetsAndFocus)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  stage.mv->grab_focus();
  stage.frame();
  EXPECT_TRUE(stage.canvas_has_focus());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100) << "the focus grab keeps the offsets";
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);

  stage.mv->toggle_view();
  stage.frame();
  EXPECT_EQ(stage.mv->get_visible_child_name(), "key_setting");
  EXPECT_FALSE(stage.mv->get_is_cv_active());
  EXPECT_EQ(stage.mv->get_key_setting().get_visible_child_name(), "list");
  ASSERT_TRUE(stage.window.get_focus());
  EXPECT_TRUE(stage.window.get_focus()->is_ancestor(stage.mv->get_key_setting()));
  // The modes' actions do not count while the canvas is away.
  EXPECT_EQ(stage.kit.ctx->enum_actionable_name().count("own-x"), 0u);
  // Grabbing the focus on the main view leaves it in the editor.
  const Gtk::Widget* focus = stage.window.get_focus();
  stage.mv->grab_focus();
  EXPECT_EQ(stage.window.get_focus(), focus);

  stage.mv->toggle_view();
  stage.frame();
  EXPECT_EQ(stage.mv->get_visible_child_name(), "cv");
  EXPECT_TRUE(stage.canvas_has_focus());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);
  EXPECT_EQ(stage.kit.ctx->enum_actionable_name().count("own-x"), 1u);
}

// GTK scrolls a container's focus adjustments to show a child that takes
// the focus: with them set, the canvas's focus grab alone would scroll the
// page back to the canvas's corner; the main view's puts the offsets back.
TEST(ViewMainView, FocusGrabPutsBackTheOffsetsTheFocusScrolledAway)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  auto& viewport = *dynamic_cast<Gtk::Container*>(stage.canvas->get_parent());
  viewport.set_focus_hadjustment(stage.mv->get_scrolled_window().get_hadjustment());
  viewport.set_focus_vadjustment(stage.mv->get_scrolled_window().get_vadjustment());
  stage.window.unset_focus();
  stage.canvas->Gtk::Widget::grab_focus();
  ASSERT_DOUBLE_EQ(stage.canvas->get_page_x(), 0) << "what the main view guards against";
  stage.canvas->set_offset(CellDir::h, 100);
  stage.canvas->set_offset(CellDir::v, 80);
  stage.window.unset_focus();

  stage.mv->grab_focus();
  EXPECT_TRUE(stage.canvas_has_focus());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);

  stage.mv->show_key_setting();
  stage.frame();
  stage.mv->show_cv();
  stage.frame();
  EXPECT_TRUE(stage.canvas_has_focus());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);
}

TEST(ViewMainView, EscOnTheKeyListReturnsToTheCanvasWhereItWas)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  // From a window without a focus widget the page still takes the focus.
  stage.window.unset_focus();
  stage.mv->show_key_setting();
  stage.frame();
  ASSERT_TRUE(stage.window.get_focus());
  EXPECT_TRUE(stage.window.get_focus()->is_ancestor(stage.mv->get_key_setting()));
  press(stage.window, GDK_KEY_Escape);
  EXPECT_EQ(stage.mv->get_visible_child_name(), "cv");
  EXPECT_TRUE(stage.canvas_has_focus());
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);
}

TEST(ViewMainView, HiddenMainViewCountsAsShowingTheCanvas)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  stage.mv->show_key_setting();
  stage.frame();
  ASSERT_FALSE(stage.mv->get_is_cv_active());
  stage.mv->hide();
  EXPECT_TRUE(stage.mv->get_is_cv_active());
  stage.mv->show();
  EXPECT_FALSE(stage.mv->get_is_cv_active());
}

TEST(ViewMainView, LongPressTimeIsTheWidgetsSetting)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  GtkSettings* settings = gtk_widget_get_settings(GTK_WIDGET(stage.mv->gobj()));
  g_object_set(settings, "gtk-long-press-time", 321, nullptr);
  EXPECT_EQ(stage.mv->get_long_press_time(), 321);
}

// The view goes first: the canvas, which the context holds, survives it
// and no longer links to its scrolled window.
TEST(ViewMainView, CanvasOutlivesTheMainView)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  stage.kit.ctx->set_main_view(nullptr);
  stage.window.remove();
  stage.mv.reset();
  stage.frame();
  EXPECT_EQ(stage.canvas->get_parent(), nullptr);
  EXPECT_EQ(stage.canvas->get_scrolled_window(), nullptr);
  stage.canvas->update();
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), 0);
}

TEST(ViewMainView, OverlayScrollingFollowsEveryConfigChange)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  auto& sw = stage.mv->get_scrolled_window();
  auto& ctx = *stage.kit.ctx;
  ctx.save_config("use-overlay-scrolling", "false");
  EXPECT_FALSE(sw.get_overlay_scrolling());
  sw.set_overlay_scrolling(true);
  // Any key makes it read the setting again.
  ctx.save_config("show-toolbar", "true");
  EXPECT_FALSE(sw.get_overlay_scrolling());
  ctx.save_config("use-overlay-scrolling", "true");
  EXPECT_TRUE(sw.get_overlay_scrolling());
  ctx.save_config("use-overlay-scrolling", "false");
  ctx.signal_config_changed().emit("init", std::nullopt);
  EXPECT_FALSE(sw.get_overlay_scrolling());
}

struct WheelCase {
  const char* name;
  GdkScrollDirection direction;
  guint state;
  double dx, dy;
  // Expected change of the page position, in pages.
  double pages_x, pages_y;
  // Expected zoom factor.
  double zoom;
};

TEST(ViewMainView, WheelScrollsAndZoomsTheCanvasItself)
{
  VELKARO_REQUIRE_GTK();
  const WheelCase cases[] = {
    {"down", GDK_SCROLL_DOWN, 0, 0, 0, 0, 0.1, 1},
    {"up", GDK_SCROLL_UP, 0, 0, 0, 0, -0.1, 1},
    {"right", GDK_SCROLL_RIGHT, 0, 0, 0, 0.1, 0, 1},
    {"shift down", GDK_SCROLL_DOWN, GDK_SHIFT_MASK, 0, 0, 0.1, 0, 1},
    {"shift left", GDK_SCROLL_LEFT, GDK_SHIFT_MASK, 0, 0, 0, -0.1, 1},
    {"smooth", GDK_SCROLL_SMOOTH, 0, 0.5, 0, 0.05, 0, 1},
    {"shift smooth", GDK_SCROLL_SMOOTH, GDK_SHIFT_MASK, 0, 0.5, 0.05, 0, 1},
    {"ctrl up", GDK_SCROLL_UP, GDK_CONTROL_MASK, 0, 0, 0, 0, 1.1},
    {"ctrl down", GDK_SCROLL_DOWN, GDK_CONTROL_MASK, 0, 0, 0, 0, 1 / 1.1},
    {"ctrl smooth up", GDK_SCROLL_SMOOTH, GDK_CONTROL_MASK, 0, -1, 0, 0, 1.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ViewStage stage;
    const double x = stage.canvas->get_page_x(), y = stage.canvas->get_page_y();
    const double w = stage.canvas->get_page_width(), h = stage.canvas->get_page_height();
    stage.wheel(c.direction, c.state, c.dx, c.dy);
    EXPECT_DOUBLE_EQ(stage.canvas->get_zoom(), c.zoom);
    if (c.zoom == 1) {
      EXPECT_NEAR(stage.canvas->get_page_x(), x + c.pages_x * w, 1e-6);
      EXPECT_NEAR(stage.canvas->get_page_y(), y + c.pages_y * h, 1e-6);
    }
  }
}

TEST(ViewMainView, WheelZoomKeepsThePointUnderThePointer)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  // The cursor cell in the page: the zoom's cursor reveal then scrolls
  // nothing.
  auto& ctx = *stage.kit.ctx;
  ctx.set_pos(ctx.point_to_cell_pos(Point(stage.canvas->get_page_x() + 150, stage.canvas->get_page_y() + 120)));
  stage.frame();
  ASSERT_DOUBLE_EQ(stage.canvas->get_page_x(), 100);
  ASSERT_DOUBLE_EQ(stage.canvas->get_page_y(), 80);
  // The canvas point under the pointer (40, 30) of the visible area.
  const double px = stage.canvas->get_page_x() + 40, py = stage.canvas->get_page_y() + 30;
  stage.wheel(GDK_SCROLL_UP, GDK_CONTROL_MASK);
  ASSERT_DOUBLE_EQ(stage.canvas->get_zoom(), 1.1);
  EXPECT_NEAR(stage.canvas->get_page_x() + 40 / 1.1, px, 1.0);
  EXPECT_NEAR(stage.canvas->get_page_y() + 30 / 1.1, py, 1.0);
}

TEST(ViewMainView, ControlWheelInTheMoveViewModeDoesNothing)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage([](KindContext& ctx) -> std::vector<CtrlContext::ModePtr> {
    return {std::make_shared<KindCellMode>(ctx), std::make_shared<CtrlMoveViewMode>(ctx)};
  });
  ASSERT_TRUE(stage.kit.ctx->change_to<CtrlMoveViewMode>());
  stage.frame();
  const double zoom = stage.canvas->get_zoom();
  const double x = stage.canvas->get_page_x(), y = stage.canvas->get_page_y();
  stage.wheel(GDK_SCROLL_UP, GDK_CONTROL_MASK);
  EXPECT_DOUBLE_EQ(stage.canvas->get_zoom(), zoom);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_x(), x);
  EXPECT_DOUBLE_EQ(stage.canvas->get_page_y(), y);
  // Plain wheel still scrolls there.
  stage.wheel(GDK_SCROLL_DOWN, 0);
  EXPECT_NEAR(stage.canvas->get_page_y(), y + stage.canvas->get_page_height() / 10, 1e-6);
}

TEST(ViewMainView, TheScrolledWindowNeverScrollsByItself)
{
  VELKARO_REQUIRE_GTK();
  ViewStage stage;
  GdkEvent* event = gdk_event_new(GDK_SCROLL);
  event->scroll.window = GDK_WINDOW(g_object_ref(stage.mv->get_scrolled_window().get_window()->gobj()));
  event->scroll.direction = GDK_SCROLL_DOWN;
  gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  EXPECT_TRUE(gtk_widget_event(GTK_WIDGET(stage.mv->get_scrolled_window().gobj()), event))
    << "the wheel handler always reports the event handled";
  gdk_event_free(event);
}

} // namespace
} // namespace velkaro::test
