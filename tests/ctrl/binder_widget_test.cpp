// Key and mouse binders on a real GTK widget: real events reach the handler,
// the connections keep their order against the widget's default handlers, and
// whichever of widget and binder goes first, nothing calls into freed memory
// (the suite also runs under AddressSanitizer).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gdk/gdk.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/keys/mouse_binder.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using Log = std::vector<std::string>;
using test::button_event;
using test::EventPtr;
using test::key_event;
using test::motion_event;
using test::settle;

// A drawing area whose default key and button handlers log and return
// default_result.
class LoggingArea : public Gtk::DrawingArea {
public:
  explicit LoggingArea(Log& log) : m_log(log) {}

  bool default_result = false;

protected:
  bool on_key_press_event(GdkEventKey*) override
  {
    m_log.push_back("default key");
    return default_result;
  }
  bool on_button_press_event(GdkEventButton*) override
  {
    m_log.push_back("default button");
    return default_result;
  }

private:
  Log& m_log;
};

// Takes keys and pointer events, as a mode does.
class Handler : public CtrlIKeyHandler, public CtrlIMouseHandler {
public:
  explicit Handler(Log& log) : m_log(log) {}

  bool key_press(GdkEventKey& event) override
  {
    return record("key " + CtrlKeyActionMapKey(to_key_event(event).keyval, 0).to_string());
  }
  bool key_release(GdkEventKey& event) override
  {
    return record("key up " + CtrlKeyActionMapKey(to_key_event(event).keyval, 0).to_string());
  }
  bool on_press_left_button(const Point& pt) override { return record("press " + pt.to_string()); }
  bool on_double_press_left_button(const Point& pt) override
  {
    return record("double " + pt.to_string());
  }
  bool on_release_left_button(const Point& pt) override
  {
    return record("release " + pt.to_string());
  }
  bool on_drag_with_left_button(const Point& start, const Point& now) override
  {
    return record("drag " + start.to_string() + " " + now.to_string());
  }
  bool on_pointer_move(const Point& bef, const Point& now) override
  {
    return record("move " + bef.to_string() + " " + now.to_string());
  }
  double get_zoom() const override { return zoom; }

  double zoom = 1.0;
  bool result = true;

private:
  bool record(const std::string& line)
  {
    m_log.push_back(line);
    return result;
  }

  Log& m_log;
};

// A shown window holding one drawing area.
struct Window {
  explicit Window(Log& log) : area(log)
  {
    area.set_size_request(200, 100);
    window.add(area);
    window.show_all();
    settle();
  }
  ~Window() { settle(); }

  Gtk::Window window;
  LoggingArea area;
};

// Emits the event's signals on the widget itself; true when it was handled.
bool send_to(Gtk::Widget& widget, const EventPtr& event) { return gtk_widget_event(widget.gobj(), event.get()); }

TEST(BinderWidget, RealEventsReachTheHandler)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  Window w(log);
  const auto handler = std::make_shared<Handler>(log);
  handler->zoom = 2.0;
  const auto keys = CtrlKeyBinder::create(w.area, handler);
  const auto mouse = CtrlMouseBinder::create(w.area, handler);
  EXPECT_TRUE(w.area.get_can_focus());
  const Gdk::EventMask wanted = Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::POINTER_MOTION_MASK |
                                Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK;
  EXPECT_EQ(w.area.get_events() & wanted, wanted);

  // Through GTK's own dispatch: key events come to the toplevel, which hands
  // them to its focus widget; pointer events to the area's window.
  w.area.grab_focus();
  GdkWindow* top = w.window.get_window()->gobj();
  GdkWindow* own = w.area.get_window()->gobj();
  for (const EventPtr& event : {
         key_event(GDK_KEY_PRESS, top, GDK_KEY_x),
         key_event(GDK_KEY_RELEASE, top, GDK_KEY_x),
         key_event(GDK_KEY_PRESS, top, GDK_KEY_Escape),
         button_event(GDK_BUTTON_PRESS, own, GDK_BUTTON_PRIMARY, 100, 50),
         motion_event(own, GDK_BUTTON1_MASK, 120, 50),
         button_event(GDK_BUTTON_RELEASE, own, GDK_BUTTON_PRIMARY, 120, 50),
         motion_event(own, 0, 130, 60),
         button_event(GDK_2BUTTON_PRESS, own, GDK_BUTTON_PRIMARY, 10, 10),
       })
    gtk_main_do_event(event.get());
  settle();
  EXPECT_EQ(log, (Log{
                   "default key",
                   "key x",
                   "key up x",
                   "default key",
                   "key <Esc>",
                   "press (50.0, 25.0)",
                   "drag (50.0, 25.0) (60.0, 25.0)",
                   "release (60.0, 25.0)",
                   "move (0.0, 0.0) (65.0, 30.0)",
                   "double (5.0, 5.0)",
                 }));
}

TEST(BinderWidget, KeysComeAfterTheDefaultHandlerAndPointerEventsBefore)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    bool default_result, handler_result;
    Log key_log, button_log;
    bool key_handled, button_handled;
  };
  const Case cases[] = {
    {false, true, {"default key", "key a"}, {"press (1.0, 2.0)"}, true, true},
    {false, false, {"default key", "key a"}, {"press (1.0, 2.0)", "default button"}, false, false},
    {true, true, {"default key"}, {"press (1.0, 2.0)"}, true, true},
    {true, false, {"default key"}, {"press (1.0, 2.0)", "default button"}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("default ") + (c.default_result ? "true" : "false") + ", handler " +
                 (c.handler_result ? "true" : "false"));
    Log log;
    Window w(log);
    w.area.default_result = c.default_result;
    const auto handler = std::make_shared<Handler>(log);
    handler->result = c.handler_result;
    const auto keys = CtrlKeyBinder::create(w.area, handler);
    const auto mouse = CtrlMouseBinder::create(w.area, handler);

    EXPECT_EQ(send_to(w.area, key_event(GDK_KEY_PRESS, w.window.get_window()->gobj(), GDK_KEY_a)), c.key_handled);
    EXPECT_EQ(log, c.key_log);
    log.clear();
    EXPECT_EQ(send_to(w.area, button_event(GDK_BUTTON_PRESS, w.area.get_window()->gobj(), 1, 1, 2)),
              c.button_handled);
    EXPECT_EQ(log, c.button_log);
  }
}

TEST(BinderWidget, BindersDroppedFirstAreCutFromTheWidget)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  Window w(log);
  const auto handler = std::make_shared<Handler>(log);
  auto keys = CtrlKeyBinder::create(w.area, handler);
  auto mouse = CtrlMouseBinder::create(w.area, handler);
  keys.reset();
  mouse.reset();
  EXPECT_FALSE(send_to(w.area, key_event(GDK_KEY_PRESS, w.window.get_window()->gobj(), GDK_KEY_a)));
  EXPECT_FALSE(send_to(w.area, button_event(GDK_BUTTON_PRESS, w.area.get_window()->gobj(), 1, 1, 1)));
  EXPECT_FALSE(send_to(w.area, motion_event(w.area.get_window()->gobj(), 0, 1, 1)));
  EXPECT_EQ(log, (Log{"default key", "default button"}));
}

TEST(BinderWidget, ReplacedBindersLeaveOnlyTheNewOnesConnected)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  Window w(log);
  const auto first = std::make_shared<Handler>(log);
  auto keys = CtrlKeyBinder::create(w.area, first);
  auto mouse = CtrlMouseBinder::create(w.area, first);
  // As when another canvas is attached or a text editor is activated again.
  keys = CtrlKeyBinder::create(w.area, first);
  mouse = CtrlMouseBinder::create(w.area, first);
  send_to(w.area, key_event(GDK_KEY_PRESS, w.window.get_window()->gobj(), GDK_KEY_a));
  send_to(w.area, button_event(GDK_BUTTON_PRESS, w.area.get_window()->gobj(), 1, 3, 4));
  EXPECT_EQ(log, (Log{"default key", "key a", "press (3.0, 4.0)"}));
}

TEST(BinderWidget, AWidgetDestroyedFirstLeavesItsBindersDetached)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  const auto handler = std::make_shared<Handler>(log);
  std::shared_ptr<CtrlKeyBinder> keys;
  std::shared_ptr<CtrlMouseBinder> mouse;
  {
    // The area belongs to the window and dies with it.
    Gtk::Window window;
    auto* area = Gtk::manage(new LoggingArea(log));
    window.add(*area);
    window.show_all();
    settle();
    keys = CtrlKeyBinder::create(*area, handler);
    mouse = CtrlMouseBinder::create(*area, handler);
    EXPECT_TRUE(keys->is_attached());
    EXPECT_TRUE(mouse->is_attached());
  }
  settle();
  EXPECT_FALSE(keys->is_attached());
  EXPECT_FALSE(mouse->is_attached());
  const EventPtr a = key_event(GDK_KEY_PRESS, gdk_get_default_root_window(), GDK_KEY_a);
  EXPECT_FALSE(keys->key_press(a->key));
  EXPECT_TRUE(log.empty());
  // Dropping them now must not reach for the dead widget.
  keys.reset();
  mouse.reset();
}

TEST(BinderWidget, AWidgetDestroyedWhileAKeyPressDrainsDropsThePress)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  auto w = std::make_unique<Window>(log);
  const auto handler = std::make_shared<Handler>(log);
  auto keys = CtrlKeyBinder::create(w->area, handler);
  // The widget outlives its C++ wrapper until the emission ends.
  GtkWidget* area = GTK_WIDGET(g_object_ref(w->area.gobj()));
  const EventPtr a = key_event(GDK_KEY_PRESS, w->window.get_window()->gobj(), GDK_KEY_a);
  Glib::signal_idle().connect_once([&w, &keys] {
    w.reset();
    keys.reset();
  });
  // GTK reports an event whose widget went away as handled, whatever the
  // handlers said; what counts is that the press reached no handler.
  gtk_widget_event(area, a.get());
  g_object_unref(area);
  EXPECT_EQ(log, (Log{"default key"}));
  EXPECT_FALSE(keys);
}

// ":" moves the focus from the diagram to the command line; the keys typed
// right after it, already waiting when ":" is handled, belong to the command
// line, and reach it in the order they were typed.
TEST(BinderWidget, KeysWaitingBehindAPressThatMovesTheFocusGoWhereTheFocusWent)
{
  VELKARO_REQUIRE_GTK();
  Log log;
  Gtk::Window window;
  Gtk::Box box;
  LoggingArea diagram(log), command_line(log);
  for (LoggingArea* area : {&diagram, &command_line}) {
    area->set_size_request(100, 50);
    box.add(*area);
  }
  window.add(box);
  window.show_all();
  settle();

  // Logs what it gets, with its name; ":" sends the focus away.
  class Named : public CtrlIKeyHandler {
  public:
    Named(Log& log, std::string name, std::function<void()> on_colon = {})
      : m_log(log), m_name(std::move(name)), m_on_colon(std::move(on_colon))
    {
    }
    bool key_press(GdkEventKey& event) override
    {
      const guint keyval = to_key_event(event).keyval;
      m_log.push_back(m_name + " " + CtrlKeyActionMapKey(keyval, 0).to_string());
      if (keyval == GDK_KEY_colon && m_on_colon)
        m_on_colon();
      return true;
    }
    bool key_release(GdkEventKey&) override { return true; }

  private:
    Log& m_log;
    std::string m_name;
    std::function<void()> m_on_colon;
  };
  const auto on_diagram = std::make_shared<Named>(log, "diagram", [&command_line] { command_line.grab_focus(); });
  const auto on_command_line = std::make_shared<Named>(log, "command line");
  const auto diagram_keys = CtrlKeyBinder::create(diagram, on_diagram);
  const auto command_line_keys = CtrlKeyBinder::create(command_line, on_command_line);
  diagram.default_result = command_line.default_result = false;
  diagram.grab_focus();
  settle();
  log.clear();

  // All in GDK's queue before the first is handled, as when the program is
  // busy while they are typed.
  GdkWindow* top = window.get_window()->gobj();
  for (const guint keyval : {guint{GDK_KEY_colon}, guint{GDK_KEY_w}, guint{GDK_KEY_space}, guint{GDK_KEY_t}})
    gdk_event_put(key_event(GDK_KEY_PRESS, top, keyval).get());
  settle();
  // The areas' default handlers log each key they see first: left out.
  std::erase(log, "default key");
  EXPECT_EQ(log, (Log{"diagram <:>", "command line w", "command line <Space>", "command line t"}));
  EXPECT_TRUE(command_line.has_focus() || command_line.is_focus());
}

} // namespace
} // namespace velkaro
