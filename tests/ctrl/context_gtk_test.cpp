// A context attached to a real GTK widget as its canvas: real key and button
// events reach the current mode through the binders the context installs,
// the binders follow mode switches, and a context that goes first leaves
// the widget's events unhandled.

#include <memory>
#include <string>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "ctrl/context.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/keys/mouse_binder.h"
#include "ctrl/test_kind.h"
#include "support/test_env.h"

namespace velkaro::test {
namespace {

TEST(ContextGtk, RealEventsOnTheCanvasWidgetReachTheCurrentMode)
{
  VELKARO_REQUIRE_GTK();
  Gtk::Window window;
  Gtk::DrawingArea area;
  area.set_size_request(300, 200);
  window.add(area);
  window.show_all();
  settle();

  KindKit kit;
  auto& ctx = *kit.ctx;
  kit.canvas->widget = &area;
  kit.canvas->zoom = 2.0;
  ctx.set_canvas(kit.canvas);
  ASSERT_TRUE(ctx.get_key_binder() && ctx.get_mouse_binder());
  EXPECT_TRUE(area.get_can_focus());
  area.grab_focus();
  kit.take_log();

  GdkWindow* top = window.get_window()->gobj();
  GdkWindow* own = area.get_window()->gobj();
  // Through GTK's dispatch: keys go to the focus widget of the toplevel.
  gtk_main_do_event(key_event(GDK_KEY_PRESS, top, GDK_KEY_x).get());
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, own, GDK_BUTTON_PRIMARY, 100, 50).get());
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, own, GDK_BUTTON_SECONDARY, 10, 10).get());
  // "o" switches to the other mode; the binders follow.
  gtk_main_do_event(key_event(GDK_KEY_PRESS, top, GDK_KEY_o).get());
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, own, GDK_BUTTON_PRIMARY, 40, 20).get());
  gtk_main_do_event(key_event(GDK_KEY_PRESS, top, GDK_KEY_d).get());
  gtk_main_do_event(key_event(GDK_KEY_PRESS, top, GDK_KEY_d).get());
  settle();

  EXPECT_EQ(kit.take_log(), (Log{
                              "KIND CELL MODE:own-x",
                              "KIND CELL MODE:press (50.0, 25.0)",
                              "menu:show KIND CELL MODE",
                              "KIND CELL MODE:on_exit next=KIND OTHER MODE",
                              "KIND OTHER MODE:on_enter",
                              "KIND OTHER MODE:press (20.0, 10.0)",
                              "KIND OTHER MODE:cut-range",
                            }));

  // With the context its binders go: the widget's events are handled no more.
  const std::weak_ptr<CtrlKeyBinder> keys = ctx.get_key_binder();
  const std::weak_ptr<CtrlMouseBinder> mouse = ctx.get_mouse_binder();
  kit.ctx.reset();
  EXPECT_TRUE(keys.expired());
  EXPECT_TRUE(mouse.expired());
  EXPECT_FALSE(gtk_widget_event(GTK_WIDGET(area.gobj()), key_event(GDK_KEY_PRESS, top, GDK_KEY_x).get()));
  EXPECT_FALSE(gtk_widget_event(GTK_WIDGET(area.gobj()), button_event(GDK_BUTTON_PRESS, own, GDK_BUTTON_PRIMARY, 1, 1).get()));
  settle();
  EXPECT_TRUE(kit.take_log().empty());
}

TEST(ContextGtk, ReplacingTheCanvasMovesTheBinders)
{
  VELKARO_REQUIRE_GTK();
  Gtk::Window window;
  Gtk::DrawingArea first, second;
  Gtk::Box box;
  box.add(first);
  box.add(second);
  first.set_size_request(100, 100);
  second.set_size_request(100, 100);
  window.add(box);
  window.show_all();
  settle();

  KindKit kit;
  kit.canvas->widget = &first;
  kit.ctx->set_canvas(kit.canvas);
  const auto other = std::make_shared<TestCanvas>(kit.log);
  other->widget = &second;
  kit.ctx->set_canvas(other);
  kit.take_log();

  EXPECT_FALSE(gtk_widget_event(GTK_WIDGET(first.gobj()),
                                button_event(GDK_BUTTON_PRESS, first.get_window()->gobj(), GDK_BUTTON_PRIMARY, 1, 1).get()));
  EXPECT_TRUE(gtk_widget_event(GTK_WIDGET(second.gobj()),
                               button_event(GDK_BUTTON_PRESS, second.get_window()->gobj(), GDK_BUTTON_PRIMARY, 1, 1).get()));
  EXPECT_EQ(kit.take_log(), (Log{"KIND CELL MODE:press (1.0, 1.0)"}));
  EXPECT_EQ(kit.ctx->get_canvas(), other);
}

} // namespace
} // namespace velkaro::test
