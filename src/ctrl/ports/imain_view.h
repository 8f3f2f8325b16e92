#pragma once
// CtrlIMainView: what the controller asks of the main view, the stack that
// shows either the canvas page or the key-binding editor page. The view's
// main view implements it; the controller context holds it.

namespace velkaro {

class CtrlIMainView {
public:
  virtual ~CtrlIMainView() = default;

  // True when the main view is not visible or shows the canvas page; false
  // while another page is shown (the modes' actions then do not count as
  // actionable).
  virtual bool get_is_cv_active() const = 0;
  // Shows the key-binding editor page, schedules the context's refresh of
  // actionable names and gives the editor the keyboard focus.
  virtual void show_key_setting() = 0;
  // Gives the main view the keyboard focus (it passes it to its page).
  virtual void grab_focus() = 0;
  // GTK's "gtk-long-press-time" setting of the main view's widget, in
  // milliseconds.
  virtual int get_long_press_time() const = 0;
};

} // namespace velkaro
