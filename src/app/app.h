#pragma once
// VelkaroApp: the application object. Every activation (the first when the
// program starts) opens a new main window with its own empty document; no
// window is reused. The application ends when its last window has closed.
//
// Ownership: the application owns its windows. A window that is hidden
// (closed, "exit", ":q") is let go once the main loop is idle, since it may
// still be inside one of its own handlers; those left when the application
// goes are let go with it.

#include <memory>
#include <vector>

#include <giomm/application.h>
#include <gtkmm/application.h>

namespace velkaro {

class MainWindow;

class VelkaroApp : public Gtk::Application {
public:
  // The application with id APP_ID (common/app_id.h) and flags.
  static Glib::RefPtr<VelkaroApp> create(Gio::ApplicationFlags flags = Gio::APPLICATION_FLAGS_NONE);
  ~VelkaroApp() override;

  // The windows that are still open, oldest first.
  std::vector<MainWindow*> get_main_windows() const;

protected:
  explicit VelkaroApp(Gio::ApplicationFlags flags);
  void on_activate() override;

private:
  void on_window_hidden(MainWindow* window);
  void release(MainWindow* window);

  std::vector<std::unique_ptr<MainWindow>> m_windows;
};

} // namespace velkaro
