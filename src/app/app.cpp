#include "app/app.h"

#include <algorithm>

#include <glibmm/main.h>

#include "app/main_window.h"
#include "common/app_id.h"

namespace velkaro {

Glib::RefPtr<VelkaroApp> VelkaroApp::create(Gio::ApplicationFlags flags)
{
  return Glib::RefPtr<VelkaroApp>(new VelkaroApp(flags));
}

VelkaroApp::VelkaroApp(Gio::ApplicationFlags flags) : Gtk::Application(APP_ID, flags) {}

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
