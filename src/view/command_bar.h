#pragma once
// ViewCommandBar: the one-line strip at the bottom of the main window. It
// owns the window's command-line controller (CtrlCmdCtrl) and draws, on an
// opaque black background in the dark palette's text colour:
// - while the command line is off, the current mode's name at the left
//   edge and the pending leading keys ending at the right edge (a text
//   wider than the bar starts left of its left edge and is cut there);
// - while it is on, the prompt ":" at the left edge, the command text right
//   after it and the text cursor (a bar 2 wide).
// It handles no input itself: the command line's key binder and text
// editor work on this widget, and the command line queues a redraw whenever
// the mode, the leading keys or the command text change.
//
// At least 20 by 20 pixels; it takes the window's width, not extra height.
//
// Ownership: the context holds the bar (CtrlContext::command_bar); the bar
// owns its command line, which links to the context weakly and observes
// this widget. The bar's drawer context is used only for its own drawing.

#include <memory>

#include <gtkmm/drawingarea.h>

#include "ctrl/ports/icommand_bar.h"

namespace velkaro {

class CtrlCmdCtrl;
class CtrlContext;
class ViewDrawerContext;

class ViewCommandBar : public Gtk::DrawingArea, public CtrlICommandBar {
public:
  // The bar of main_ctrl, with its command line (made for this widget).
  explicit ViewCommandBar(const std::shared_ptr<CtrlContext>& main_ctrl);
  ~ViewCommandBar() override;

  std::shared_ptr<CtrlAbstractCtrl> get_cmd_ctrl() override;
  const std::shared_ptr<CtrlCmdCtrl>& get_cmd() const { return m_cmd_ctrl; }
  const std::shared_ptr<ViewDrawerContext>& get_dc() const { return m_dc; }

protected:
  // The drawer context's update rectangle becomes the allocated area.
  bool on_configure_event(GdkEventConfigure* event) override;
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
  void draw_command_line(CtrlCmdCtrl& cmd);
  void draw_mode_and_keys(CtrlCmdCtrl& cmd);

  std::shared_ptr<CtrlCmdCtrl> m_cmd_ctrl;
  std::shared_ptr<ViewDrawerContext> m_dc;
};

} // namespace velkaro
