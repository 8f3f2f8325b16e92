#pragma once
// A diagram kind's editor on a real canvas, for the tests of its modes,
// menus and tool bar: the kind's context over its workspace with the
// controller kit's doubles of the main view, command bar, context menu and
// main window (all writing into one log), and the kind's canvas shown in a
// window (CanvasHarness). Keys and pointer events go to the canvas widget as
// GTK delivers them there: the key binder and mouse binder that the context
// installed hand them to the current mode, and the active text editor's
// input method sees keys first. Needs a display: build it inside the test,
// after VELKARO_REQUIRE_GTK().
//
// EditorKitOf<Ws, Ctx, Canvas> is the kit of one kind, with its own types
// as ws, ctx and canvas (SeqKit, StmKit and ClsKit derive from it).
// Ownership: the kit owns the workspace, the context and the canvas; its
// destructor brings the context back to the cell mode while the canvas
// still stands, then takes the window down before the context goes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>

#include <gdk/gdk.h>

#include "common/cell_pos.h"
#include "common/point.h"
#include "ctrl/context.h"
#include "ctrl/modes/mode.h"
#include "ctrl/test_kind.h"
#include "view/canvas_harness_for_test.h"

namespace velkaro {
class CtrlTextEditor;
class ModelWorkspace;
class ViewCanvas;
} // namespace velkaro

namespace velkaro::test {

class EditorKit : public TestDoubles {
public:
  ~EditorKit();
  EditorKit(const EditorKit&) = delete;
  EditorKit& operator=(const EditorKit&) = delete;

  // Each key of the key pattern text, pressed and released on the canvas.
  void keys(std::string_view pattern);
  // Left button events at canvas point pt: a press, a release, a double
  // press (press, release, press, double press), a motion with the button
  // held.
  void press_pt(const Point& pt);
  void release_pt(const Point& pt);
  void double_press_pt(const Point& pt);
  void drag_pt(const Point& pt);
  // The same at the centre of a cell; a click is a press and a release, a
  // drag is the motion alone.
  void press(const CellPos& cell) { press_pt(centre(cell)); }
  void release(const CellPos& cell) { release_pt(centre(cell)); }
  void click(const CellPos& cell);
  void double_press(const CellPos& cell) { double_press_pt(centre(cell)); }
  void drag_to(const CellPos& cell) { drag_pt(centre(cell)); }
  // A right button press at the centre of a cell.
  void right_press(const CellPos& cell);
  // A button event (type, button) at canvas point (x, y), and a motion
  // with the modifier state given.
  void button(GdkEventType type, guint button, double x, double y, guint state = 0);
  void motion(double x, double y, guint state);

  // The kind's context as the controller's.
  CtrlContext& context() const { return *m_ctx; }
  // The centre of a cell in the workspace's grid, in canvas units.
  Point centre(const CellPos& cell) const;
  void go(int32_t x, int32_t y) { m_ctx->set_pos({x, y}); }
  CellPos cursor() const { return m_ctx->get_now_cell(); }
  std::string mode_name() const { return m_ctx->get_now_mode()->get_name(); }
  // The registered mode of exactly class T.
  template <class T>
  T& mode() const
  {
    return dynamic_cast<T&>(*m_ctx->get_mode(typeid(T)));
  }
  // The document as written.
  std::string doc() const;
  size_t undo_steps() const;
  size_t redo_steps() const;
  // The processor's undo, n times, cursor included; its redo, n times.
  void undo(size_t n);
  void redo(size_t n);
  // Back to the cell mode, then every step of the history undone.
  void undo_all();

  std::unique_ptr<CanvasHarness> harness;

protected:
  // Attaches the doubles to ctx as the main window does, shows canvas as
  // ctx's canvas with the keyboard focus, sets every text mode's editor to
  // GTK's simple input method (which takes the keys the tests send), lets
  // GTK settle and empties the log.
  EditorKit(std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<CtrlContext> ctx, std::shared_ptr<ViewCanvas> canvas);

  // Sets editor to GTK's simple input method, for a kind whose modes hold
  // text editors other than the text modes' own.
  static void use_simple_input_method(CtrlTextEditor& editor);

private:
  std::shared_ptr<ModelWorkspace> m_ws;
  std::shared_ptr<CtrlContext> m_ctx;
  std::shared_ptr<ViewCanvas> m_canvas;
};

template <class Ws, class Ctx, class Canvas = StandardCanvas>
class EditorKitOf : public EditorKit {
public:
  // A kit on a new context over ws.
  explicit EditorKitOf(const std::shared_ptr<Ws>& ws) : EditorKitOf(ws, Ctx::create(ws)) {}

  std::shared_ptr<Ws> ws;
  std::shared_ptr<Ctx> ctx;
  std::shared_ptr<Canvas> canvas;

private:
  EditorKitOf(const std::shared_ptr<Ws>& ws, const std::shared_ptr<Ctx>& ctx)
    : EditorKitOf(ws, ctx, std::make_shared<Canvas>(*ctx))
  {
  }
  EditorKitOf(const std::shared_ptr<Ws>& ws, const std::shared_ptr<Ctx>& ctx, const std::shared_ptr<Canvas>& canvas)
    : EditorKit(ws, ctx, canvas), ws(ws), ctx(ctx), canvas(canvas)
  {
  }
};

} // namespace velkaro::test
