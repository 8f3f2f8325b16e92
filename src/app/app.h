#pragma once
// VelkaroApp: the application object. Every activation (the first when the
// program starts) opens a new main window with its own empty document; no
// window is reused. The application ends when its last window has closed.
//
// The command line takes GTK's and GApplication's options. Files named on
// it are not opened: the program starts as without them and says in one
// line on standard error how files are opened (":r" or File → Open), rather
// than handing them to GApplication's "open", which this application does
// not offer.
//
// Ownership: the application owns its windows. A window that is hidden
// (closed, "exit", ":q") is let go once the main loop is idle, since it may
// still be inside one of its own handlers; those left when the application
// goes are let go with it.

#include <memory>
#include <string>
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

  // The line printed (g_printerr) when the command line names files.
  static std::string file_arguments_notice();

protected:
  explicit VelkaroApp(Gio::ApplicationFlags flags);
  void on_activate() override;

private:
  // After the options are parsed: the files the command line named are
  // taken out, so that it activates, and the notice is printed.
  int on_local_options(const Glib::RefPtr<Glib::VariantDict>& options);
  void on_window_hidden(MainWindow* window);
  void release(MainWindow* window);

  std::vector<std::unique_ptr<MainWindow>> m_windows;
};

} // namespace velkaro
