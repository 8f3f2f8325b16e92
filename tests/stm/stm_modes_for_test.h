#pragma once
// The state-machine editor's controller on a real canvas, for the tests of
// its modes, popup, menus and tool bar: a state-machine workspace, its
// StmContext with the controller kit's doubles of the main view, command
// bar, context menu and main window, and a StmCanvas shown in a window.
// Keys and pointer events go to the canvas widget as GTK delivers them
// there. Needs a display: build it inside the test, after
// VELKARO_REQUIRE_GTK().

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gdk/gdk.h>

#include "common/cell_pos.h"
#include "ctrl/modes/mode.h"
#include "ctrl/test_kind.h"
#include "stm/canvas.h"
#include "stm/context.h"
#include "stm/doc/stm_doc_for_test.h"
#include "stm/doc/workspace.h"
#include "stm/vk_menu.h"
#include "view/canvas_harness_for_test.h"

namespace velkaro::test {

struct StmKit {
  StmKit();
  ~StmKit();
  StmKit(const StmKit&) = delete;
  StmKit& operator=(const StmKit&) = delete;

  // Each key of the key pattern text, pressed and released on the canvas.
  void keys(std::string_view pattern);
  // Left button events at the centre of a cell.
  void press(const CellPos& cell);
  void release(const CellPos& cell);
  void click(const CellPos& cell);
  // Press, release, press, double press.
  void double_press(const CellPos& cell);
  void drag_to(const CellPos& cell);
  void right_press(const CellPos& cell);
  void button(GdkEventType type, guint button, double x, double y, guint state = 0);
  void motion(double x, double y, guint state);

  void go(int32_t x, int32_t y) { ctx->set_pos({x, y}); }
  CellPos cursor() const { return ctx->get_now_cell(); }
  std::string mode_name() const { return ctx->get_now_mode()->get_name(); }
  template <class T>
  T& mode() const
  {
    return dynamic_cast<T&>(*ctx->get_mode(typeid(T)));
  }
  std::string doc() const { return test::document_of(*ws); }
  std::vector<std::string> cells() const { return stm_dump(*ws); }
  size_t undo_steps() const;
  // Presses keys, which are to bring up the insert popup, and gives the
  // popup. The tests share one X server: while another one's popup holds
  // the grab, a popup cannot come up, so the keys are pressed again until
  // it does (for a while). Null when it never did.
  VKMenu* popup_by_keys(std::string_view pattern);
  void undo(size_t n);
  void redo(size_t n);

  std::shared_ptr<Log> log = std::make_shared<Log>();
  std::shared_ptr<StmWorkspace> ws;
  std::shared_ptr<StmContext> ctx;
  std::shared_ptr<TestMainView> main_view;
  std::shared_ptr<TestCommandBar> command_bar;
  std::shared_ptr<TestContextMenu> context_menu;
  std::shared_ptr<TestMainWindow> main_window;
  std::shared_ptr<StmCanvas> canvas;
  std::unique_ptr<CanvasHarness> harness;
};

// The insert popup that is up, or null.
VKMenu* shown_popup();
// Each key of the key pattern text pressed on menu, as GTK delivers it
// there.
void menu_keys(VKMenu& menu, std::string_view pattern);
// The labels of menu's items, in order.
std::vector<std::string> labels_of(VKMenu& menu);
// The label of the selected item of menu, or "".
std::string selected_label(VKMenu& menu);
// How many stored elements have their in-process flag set.
int in_process_count(ModelWorkspace& ws);
// Dismisses every popup that is up and lets GTK destroy it.
void close_popups();

} // namespace velkaro::test
