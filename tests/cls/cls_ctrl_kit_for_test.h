#pragma once
// The class-diagram controller on a real canvas, for the tests of its
// context and modes: a class workspace, its ClsContext with the controller
// kit's doubles of the main view, command bar, context menu and main window,
// and a canvas with the standard drawers shown in a window. Keys and pointer
// events go to the canvas widget as GTK delivers them (the binders the
// context installed hand them to the current mode). Needs a display: build
// it inside the test, after VELKARO_REQUIRE_GTK().

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <gdk/gdk.h>

#include "cls/context.h"
#include "cls/doc/workspace.h"
#include "common/cell_pos.h"
#include "common/point.h"
#include "ctrl/test_kind.h"
#include "view/canvas_harness_for_test.h"

namespace velkaro::test {

struct ClsKit {
  ClsKit();
  ~ClsKit();
  ClsKit(const ClsKit&) = delete;
  ClsKit& operator=(const ClsKit&) = delete;

  // Each key of the key pattern text, pressed and released on the canvas.
  void keys(std::string_view pattern);
  // Left button events at canvas point pt: a press, a release, a double
  // press (press, release, press, double press), a motion with the button
  // held.
  void press_pt(const Point& pt);
  void release_pt(const Point& pt);
  void double_press_pt(const Point& pt);
  void drag_pt(const Point& pt);
  // The same at the centre of a cell.
  void press(const CellPos& cell) { press_pt(centre(cell)); }
  void release(const CellPos& cell) { release_pt(centre(cell)); }
  void click(const CellPos& cell);
  void double_press(const CellPos& cell) { double_press_pt(centre(cell)); }
  void drag_to(const CellPos& cell) { drag_pt(centre(cell)); }
  void button(GdkEventType type, guint button, double x, double y, guint state = 0);

  Point centre(const CellPos& cell) const;
  void go(int32_t x, int32_t y) { ctx->set_pos({x, y}); }
  CellPos cursor() const { return ctx->get_now_cell(); }
  std::string mode_name() const { return ctx->get_now_mode()->get_name(); }
  template <class T>
  T& mode() const
  {
    return dynamic_cast<T&>(*ctx->get_mode(typeid(T)));
  }
  std::string doc() const;
  size_t undo_steps() const;
  size_t redo_steps() const;

  std::shared_ptr<Log> log = std::make_shared<Log>();
  std::shared_ptr<ClsWorkspace> ws;
  std::shared_ptr<ClsContext> ctx;
  std::shared_ptr<TestMainView> main_view;
  std::shared_ptr<TestCommandBar> command_bar;
  std::shared_ptr<TestContextMenu> context_menu;
  std::shared_ptr<TestMainWindow> main_window;
  std::shared_ptr<StandardCanvas> canvas;
  std::unique_ptr<CanvasHarness> harness;
};

} // namespace velkaro::test
