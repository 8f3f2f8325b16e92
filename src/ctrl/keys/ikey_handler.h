#pragma once
// Where a key binder sends the key events of its widget. Modes, the command
// line and text editors implement it.
//
// A key binder links to its handler without owning it (a std::weak_ptr), so a
// handler must be owned by a std::shared_ptr to be aimed at.

typedef struct _GdkEventKey GdkEventKey;

namespace velkaro {

class CtrlIKeyHandler {
public:
  virtual ~CtrlIKeyHandler() = default;

  // The raw GDK event, as GTK delivers it: an input method may need it whole.
  // to_key_event() (ctrl/key_action_map_key.h) gives the key maps' value.
  // True when the key was handled: GTK then passes it on no further.
  virtual bool key_press(GdkEventKey&) { return false; }
  virtual bool key_release(GdkEventKey&) { return false; }
};

} // namespace velkaro
