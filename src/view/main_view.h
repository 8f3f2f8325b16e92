#pragma once
// ViewMainView: the middle area of the main window, a stack of two pages:
// the canvas in a scrolled window (page "cv", shown first) and the
// key-binding editor (page "key_setting", ViewKeySetting). Pages slide up
// and down.
//
// - Wheel: every wheel event over the canvas page is taken here, never by
//   the scrolled window. With Control it zooms about the pointer (times 1.1
//   for up, 1/1.1 otherwise), except in the move-view mode, where it does
//   nothing; otherwise it scrolls a tenth of the page per step (smooth
//   deltas in proportion), and Shift swaps the axes.
// - Overlay scroll bars follow the setting "use-overlay-scrolling", read
//   again at every "config-changed" of the context, whatever its key (the
//   window emits "init" once it is built).
// - Focus: grabbing the focus on the main view while it shows the canvas
//   gives the canvas the focus and keeps the canvas's scroll offsets
//   (GTK's focus handling would otherwise scroll the focused canvas back to
//   its top-left corner); while the key-binding editor shows, it does
//   nothing.
//
// The controller reaches it through CtrlIMainView: the context asks whether
// the canvas page is shown (the modes' actions count as actionable only
// then), the command "set" shows the editor, and the context gives it the
// focus when the diagram takes the keyboard back.
//
// Ownership: the context holds the main view (CtrlContext::get_main_view()) and
// the canvas; the main view links to the context weakly and shows the
// context's canvas widget without owning it. It owns its scrolled window,
// viewport and key-binding editor. Build it after the context's canvas is
// set (CtrlContext::set_canvas with a ViewCanvas).

#include <memory>

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>
#include <gtkmm/viewport.h>

#include "ctrl/ports/imain_view.h"
#include "view/key_setting.h"

namespace velkaro {

class CtrlContext;
class ViewCanvas;

class ViewMainView : public Gtk::Stack, public CtrlIMainView {
public:
  explicit ViewMainView(const std::shared_ptr<CtrlContext>& ctrl);
  ~ViewMainView() override;

  // --- CtrlIMainView.

  // True when the main view is not visible or shows the canvas page.
  bool get_is_cv_active() const override;
  // Shows the key-binding editor's list, refreshes the actionable names
  // (delayed) and gives the editor the focus.
  void show_key_setting() override;
  // The GTK focus grab on the main view (see the header comment).
  void grab_focus() override;
  int get_long_press_time() const override;

  // Shows the canvas page, refreshes the actionable names (delayed) and
  // gives the canvas the focus.
  void show_cv();
  // The key-binding editor when the canvas page shows, else the canvas.
  void toggle_view();

  std::shared_ptr<CtrlContext> get_ctrl() const { return m_ctrl.lock(); }
  // The context's canvas, or null when it is not a ViewCanvas.
  ViewCanvas* get_canvas() const;
  Gtk::ScrolledWindow& get_scrolled_window() { return m_scrolled; }
  ViewKeySetting& get_key_setting() { return m_key_setting; }

protected:
  void on_grab_focus() override;

private:
  void init_cv(CtrlContext& ctrl);
  bool on_scroll(GdkEventScroll* event);
  void on_config_changed();

  std::weak_ptr<CtrlContext> m_ctrl;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Viewport m_viewport;
  ViewKeySetting m_key_setting;
};

} // namespace velkaro
