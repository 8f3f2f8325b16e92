#include "app/app.h"

#include <algorithm>

#include <glib.h>
#include <glibmm/main.h>
#include <glibmm/variantdict.h>

#include "app/main_window.h"
#include "common/app_id.h"
#include "common/i18n.h"

namespace velkaro {

Glib::RefPtr<VelkaroApp> VelkaroApp::create(Gio::ApplicationFlags flags)
{
  return Glib::RefPtr<VelkaroApp>(new VelkaroApp(flags));
}

VelkaroApp::VelkaroApp(Gio::ApplicationFlags flags) : Gtk::Application(APP_ID, flags)
{
  // The arguments that are no options are collected here instead of going
  // on to "open", which would end the program with an error.
  add_main_option_entry(OPTION_TYPE_FILENAME_VECTOR, G_OPTION_REMAINING);
  signal_handle_local_options().connect(sigc::mem_fun(*this, &VelkaroApp::on_local_options), false);
}

VelkaroApp::~VelkaroApp() = default;

std::vector<MainWindow*> VelkaroApp::get_main_windows() const
{
  std::vector<MainWindow*> windows;
  for (const auto& w : m_windows) {
    if (w->get_visible())
      windows.push_back(w.get());
  }
  return windows;
}

std::string VelkaroApp::file_arguments_notice()
{
  return _("Files named on the command line are not opened; open a file with \":r FILE\" or File → Open.");
}

int VelkaroApp::on_local_options(const Glib::RefPtr<Glib::VariantDict>& options)
{
  if (options->contains(G_OPTION_REMAINING)) {
    options->remove(G_OPTION_REMAINING);
    const char* name = g_get_prgname();
    g_printerr("%s: %s\n", name ? name : "velkaro", file_arguments_notice().c_str());
  }
  // Go on: register, then activate.
  return -1;
}

void VelkaroApp::on_activate()
{
  // The window's reference to the application, as GTK's "application"
  // property holds it.
  reference();
  auto window = std::make_unique<MainWindow>(Glib::RefPtr<Gtk::Application>(this));
  MainWindow* shown = window.get();
  m_windows.push_back(std::move(window));
  shown->signal_hide().connect(sigc::bind(sigc::mem_fun(*this, &VelkaroApp::on_window_hidden), shown));
  shown->show_all();
}

void VelkaroApp::on_window_hidden(MainWindow* window)
{
  Glib::signal_idle().connect_once(sigc::bind(sigc::mem_fun(*this, &VelkaroApp::release), window));
}

void VelkaroApp::release(MainWindow* window)
{
  const auto it = std::find_if(m_windows.begin(), m_windows.end(), [window](const auto& w) { return w.get() == window; });
  if (it != m_windows.end() && !(*it)->get_visible())
    m_windows.erase(it);
}

} // namespace velkaro
