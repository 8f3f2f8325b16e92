#pragma once
// What the benchmarks that draw with GTK share: the display they need (the
// process set up as the tests have it, under xvfb-run), the main loop run
// until it is idle, one page of a canvas in a window, keys pressed on it,
// and a diagram kind's editor on such a page.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <benchmark/benchmark.h>
#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include "bench_timing.h"
#include "ctrl/context.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "model/workspace.h"
#include "view/canvas.h"

namespace velkaro::bench {

// Whether GTK found a display; set by Display.
inline bool g_have_display = false;

// For the life of the object: GTK initialised without the accessibility
// bridge, on X11, with settings in memory and a configuration directory of
// its own (the contexts keep their settings there; removed at the end).
class Display {
public:
  Display(int& argc, char**& argv) : m_config(g_dir_make_tmp("velkaro-bench-XXXXXX", nullptr))
  {
    setenv("NO_AT_BRIDGE", "1", 0);
    setenv("GDK_BACKEND", "x11", 0);
    setenv("GSETTINGS_BACKEND", "memory", 0);
    if (m_config)
      setenv("XDG_CONFIG_HOME", m_config, 1);
    Gtk::Main::init_gtkmm_internals();
    g_have_display = gtk_init_check(&argc, &argv);
  }
  ~Display()
  {
    if (!m_config)
      return;
    std::error_code ec;
    std::filesystem::remove_all(m_config, ec);
    g_free(m_config);
  }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

private:
  char* m_config;
};

// True, with the benchmark marked as skipped, when there is no display.
inline bool skipped_without_display(benchmark::State& state)
{
  if (g_have_display)
    return false;
  state.SkipWithError("no display: run under xvfb-run");
  return true;
}

// Runs the main loop until nothing is pending.
inline void settle()
{
  while (gtk_events_pending())
    gtk_main_iteration_do(false);
}

// Each key of the key pattern (as the key tables write it: "dd", "<C-space>")
// pressed and released on canvas, as GTK delivers keys from the keyboard.
inline void press_keys(ViewCanvas& canvas, const char* pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  GtkWidget* widget = GTK_WIDGET(canvas.gobj());
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  for (const auto& key : keys.get_keys()) {
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      GdkEvent* event = gdk_event_new(type);
      event->key.window = GDK_WINDOW(g_object_ref(canvas.get_window()->gobj()));
      event->key.send_event = TRUE;
      event->key.time = GDK_CURRENT_TIME;
      event->key.keyval = key.get_keyval();
      event->key.state = key.get_state();
      gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
      gtk_widget_event(widget, event);
      gdk_event_free(event);
    }
  }
}

// A window of one page (WIDTH x HEIGHT) holding canvas, the canvas of ctx,
// in a scrolled window, and an image of the page to draw into. The window
// is not shown yet; at the end the canvas leaves the window and ctx.
struct Page {
  static constexpr int WIDTH = 1280;
  static constexpr int HEIGHT = 1024;

  Page(CtrlContext& ctx, const std::shared_ptr<ViewCanvas>& canvas) : m_ctx(ctx)
  {
    sw.set_size_request(WIDTH, HEIGHT);
    sw.add(*canvas);
    window.add(sw);
    canvas->set_scrolled_window(sw);
    ctx.set_canvas(canvas);
    image = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, WIDTH, HEIGHT);
  }
  ~Page()
  {
    sw.remove();
    m_ctx.set_canvas(nullptr);
  }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // Shows the window and lets canvas take its size and draw.
  void show(ViewCanvas& canvas)
  {
    window.show_all();
    settle();
    canvas.update();
    settle();
  }
  // What a GTK draw of the visible part of canvas runs, into the image.
  void redraw_visible(ViewCanvas& canvas)
  {
    const auto cr = Cairo::Context::create(image);
    // The widget draws in its own coordinates: show the visible part.
    cr->translate(-sw.get_hadjustment()->get_value(), -sw.get_vadjustment()->get_value());
    gtk_widget_draw(GTK_WIDGET(canvas.gobj()), cr->cobj());
  }
  // The keys of pattern pressed on canvas and the visible part redrawn,
  // timed together (ms). What the last stroke left for the main loop
  // (GTK's own redraw of the window) runs first, untimed: a frame draws
  // once. The window's updates are held meanwhile, so that a frame the
  // frame clock paints a little later is not drawn inside the timed keys
  // (the key dispatcher runs pending main-loop work before each key).
  double stroke(ViewCanvas& canvas, const char* pattern)
  {
    settle();
    GdkWindow* gdk_window = gtk_widget_get_window(GTK_WIDGET(window.gobj()));
    gdk_window_freeze_updates(gdk_window);
    const auto start = Clock::now();
    press_keys(canvas, pattern);
    redraw_visible(canvas);
    const double ms = ms_since(start);
    gdk_window_thaw_updates(gdk_window);
    return ms;
  }

  Gtk::Window window;
  Gtk::ScrolledWindow sw;
  Cairo::RefPtr<Cairo::ImageSurface> image;

private:
  CtrlContext& m_ctx;
};

// A window of one page holding the canvas of a diagram kind over the
// document at path, with its context as the editor builds it: Ws the
// kind's workspace, Context its context (made by Context::create(ws)),
// Canvas its canvas. At the end the context goes back to its cell mode.
template <class Ws, class Context, class Canvas>
struct EditorScene {
  explicit EditorScene(const std::string& path)
    : ws(ModelWorkspace::create<Ws>()),
      loaded(ws->load(path)),
      ctx(Context::create(ws)),
      canvas(std::make_shared<Canvas>(*ctx)),
      page(*ctx, canvas)
  {
    canvas->set_can_focus(true);
    page.show(*canvas);
    canvas->grab_focus();
    settle();
  }
  ~EditorScene()
  {
    ctx->change_to_cell_mode();
    settle();
  }
  EditorScene(const EditorScene&) = delete;
  EditorScene& operator=(const EditorScene&) = delete;

  // The cursor on cell, scrolled into the middle of the page.
  void go(const CellPos& cell)
  {
    const Rectangle r = ws->grid->get_rect(cell.x, cell.y);
    canvas->set_offset(CellDir::h, std::max(0.0, r.x - Page::WIDTH / 2.0));
    canvas->set_offset(CellDir::v, std::max(0.0, r.y - Page::HEIGHT / 2.0));
    ctx->set_pos(cell);
    settle();
  }
  // Each key of the pattern pressed and released on the canvas.
  void keys(const char* pattern) { press_keys(*canvas, pattern); }
  // The keys with the redraw of the page, timed (Page::stroke()).
  double stroke(const char* pattern) { return page.stroke(*canvas, pattern); }
  size_t undo_steps() const { return ctx->get_action_proc()->get_undo_stack().size(); }

  std::shared_ptr<Ws> ws;
  bool loaded;
  std::shared_ptr<Context> ctx;
  std::shared_ptr<Canvas> canvas;
  Page page;
};

} // namespace velkaro::bench
