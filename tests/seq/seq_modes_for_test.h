#pragma once
// The sequence editor's controller on a real canvas, for the tests of its
// modes, menus and tool bar: a sequence workspace, its SeqContext with small
// doubles of the main view, command bar, context menu and main window that
// note what they are asked into a log, and a canvas shown in a window. Keys and pointer
// events go to the canvas widget as GTK delivers them there (the key binder
// and mouse binder that the context installed hand them to the current
// mode; the active text editor's input method sees keys first). Needs a
// display: build it inside the test, after VELKARO_REQUIRE_GTK().

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gdk/gdk.h>

#include "common/cell_pos.h"
#include "ctrl/abstract_ctrl.h"
#include "ctrl/ports/icommand_bar.h"
#include "ctrl/ports/icontext_menu.h"
#include "ctrl/ports/imain_view.h"
#include "ctrl/ports/imain_window.h"
#include "ctrl/modes/mode.h"
#include "seq/context.h"
#include "seq/doc/seq_for_test.h"
#include "seq/doc/workspace.h"
#include "view/canvas_harness_for_test.h"

namespace velkaro::test {

using SeqLog = std::vector<std::string>;

class SeqTestMainView : public CtrlIMainView {
public:
  bool get_is_cv_active() const override { return cv_active; }
  void show_key_setting() override { log->push_back("main_view:show_key_setting"); }
  void grab_focus() override {}
  int get_long_press_time() const override { return long_press_time; }

  std::shared_ptr<SeqLog> log;
  bool cv_active = true;
  int long_press_time = 500;
};

class SeqTestCommandBar : public CtrlICommandBar {
public:
  std::shared_ptr<CtrlAbstractCtrl> get_cmd_ctrl() override { return cmd; }
  std::shared_ptr<CtrlAbstractCtrl> cmd = std::make_shared<CtrlAbstractCtrl>();
};

// Notes "menu:show <mode name>".
class SeqTestContextMenu : public CtrlIContextMenu {
public:
  void show_menu(CtrlContext& ctx) override;
  std::shared_ptr<SeqLog> log;
};

class SeqTestMainWindow : public CtrlIMainWindow {
public:
  bool raise_delete_request() override;
  void destroy() override { log->push_back("window:destroy"); }
  bool activate_action(const std::string& name, const std::optional<std::string>& parameter) override;
  void show_alert(const std::string& message) override { log->push_back("window:alert " + message); }
  void document_replaced() override { log->push_back("window:document_replaced"); }
  std::shared_ptr<SeqLog> log;
};

struct SeqKit {
  SeqKit();
  ~SeqKit();
  SeqKit(const SeqKit&) = delete;
  SeqKit& operator=(const SeqKit&) = delete;

  // Each key of the key pattern text, pressed and released on the canvas.
  void keys(std::string_view pattern);
  // Left button events at the centre of a cell: a click (press and
  // release), the press alone, a double click (press, double press,
  // release), a drag with the button held to another cell, the release.
  void click(const CellPos& cell);
  void press(const CellPos& cell);
  void double_press(const CellPos& cell);
  void drag_to(const CellPos& cell);
  void release(const CellPos& cell);
  void right_press(const CellPos& cell);
  // A button event (type, button) at canvas point (x, y).
  void button(GdkEventType type, guint button, double x, double y, guint state = 0);
  void motion(double x, double y, guint state);

  void go(int32_t x, int32_t y) { ctx->set_pos({x, y}); }
  CellPos cursor() const { return ctx->get_now_cell(); }
  std::string mode_name() const { return ctx->get_now_mode()->get_name(); }
  // The registered mode of exactly class T.
  template <class T>
  T& mode() const
  {
    return dynamic_cast<T&>(*ctx->get_mode(typeid(T)));
  }
  // The document as written, and as a cell dump.
  std::string doc() const { return test::document_of(*ws); }
  std::vector<std::string> cells() const { return dump(*ws); }
  size_t undo_steps() const;
  // The processor's undo, n times, cursor included.
  void undo(size_t n);
  void redo(size_t n);
  // Back to the cell mode, then every step of the history undone.
  void undo_all();

  std::shared_ptr<SeqLog> log = std::make_shared<SeqLog>();
  std::shared_ptr<SeqWorkspace> ws;
  std::shared_ptr<SeqContext> ctx;
  std::shared_ptr<SeqTestMainView> main_view;
  std::shared_ptr<SeqTestCommandBar> command_bar;
  std::shared_ptr<SeqTestContextMenu> context_menu;
  std::shared_ptr<SeqTestMainWindow> main_window;
  std::shared_ptr<StandardCanvas> canvas;
  std::unique_ptr<CanvasHarness> harness;
};

// The centre of cell in the grid of ws, in canvas units.
Point cell_centre(ModelWorkspace& ws, const CellPos& cell);

// How many stored elements have their in-process flag set.
int marked_in_process(ModelWorkspace& ws);

// A message built by the workspace from (x, y) over range (as the range mode
// draws one), not in process; null when refused.
std::shared_ptr<SeqMessage> add_message(SeqWorkspace& ws, int32_t x, int32_t y, const CellRange& range,
                                    int32_t point = ANY_ROLE);
// An execution specification on the life-line cell (x, y), nested one level
// beyond the outermost on the side of step (level 0 on a bare cell), and
// its run over range when given; not in process.
std::shared_ptr<SeqExecSpec> add_exec_spec(SeqWorkspace& ws, int32_t x, int32_t y, int32_t step,
                                       const CellRange* range = nullptr);
// A fragment framing the cells from (x0, y0) to (x1, y1), with an empty
// text; not in process.
void add_fragment(SeqWorkspace& ws, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

} // namespace velkaro::test
