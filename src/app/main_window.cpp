// The main window: its construction, title, bar visibility, icon and the
// question asked before a modified document is thrown away.

#include "app/main_window.h"

#include <glib.h>
#include <giomm/file.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <glibmm/ustring.h>
#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>

#include "ctrl/context.h"
#include "seq/canvas.h"
#include "seq/context.h"
#include "seq/main_menu.h"
#include "seq/tool_bar.h"
#include "seq/doc/workspace.h"
#include "view/command_bar.h"
#include "view/context_menu.h"
#include "view/icon_bundle.h"
#include "view/main_view.h"

namespace velkaro {

namespace {

// The window as the context sees it: a view of the window that owns no
// part of it. The window keeps the only owner, so the context's weak link
// dies with the window.
std::shared_ptr<CtrlIMainWindow> non_owning(MainWindow& window)
{
  return std::shared_ptr<CtrlIMainWindow>(&window, [](CtrlIMainWindow*) {});
}

// The widest line of a message, in characters.
constexpr int MESSAGE_WIDTH_CHARS = 60;

} // namespace

// ---------------------------------------------------------------------------
// Dialogs

MainWindowDialogs MainWindowDialogs::real()
{
  MainWindowDialogs d;
  d.run_question = [](Gtk::MessageDialog& dialog) { return dialog.run(); };
  d.run_file_chooser = [](Gtk::FileChooserDialog& dialog) -> std::optional<std::string> {
    if (dialog.run() != Gtk::RESPONSE_ACCEPT)
      return std::nullopt;
    return dialog.get_filename();
  };
  d.show_message = [](std::unique_ptr<Gtk::MessageDialog> dialog) {
    Gtk::MessageDialog* shown = dialog.release();
    // The dialog deletes itself once answered; idle, because it is still
    // inside its own signal then.
    shown->signal_response().connect([shown](int) {
      shown->hide();
      Glib::signal_idle().connect_once([shown] { delete shown; });
    });
    shown->present();
  };
  return d;
}

// ---------------------------------------------------------------------------
// Construction

std::string MainWindow::title_base(const std::string& exename)
{
  return "Velkaro" + Glib::ustring(exename).uppercase();
}

std::string MainWindow::save_question_text(const std::string& display_name)
{
  const std::string name = display_name.empty() ? "This workspace" : "\"" + display_name + "\"";
  return name + " has been updated.\nDo you save the file?";
}

MainWindow::MainWindow(const Glib::RefPtr<Gtk::Application>& app, MainWindowDialogs dialogs)
  : Gtk::ApplicationWindow(app), m_dialogs(std::move(dialogs)), m_iface(non_owning(*this))
{
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(900, 600);
  signal_delete_event().connect(sigc::mem_fun(*this, &MainWindow::on_delete_request));
  build_parts();
  m_config_changed = m_ctrl->signal_config_changed().connect(
    [this](const std::string&, const std::optional<std::string>&) { on_config_changed(); });
  init_action();
  m_ctrl->activate_edit_ctrl();
  build_layout();
  m_canvas->property_has_focus() = true;
  m_ctrl->queue_state_changed();
  m_ctrl->signal_config_changed().emit("init", std::nullopt);
  update_title();
  set_icon_from_bundle();
}

MainWindow::~MainWindow()
{
  // The bars leave the layout before their owners let them go, so GTK never
  // destroys a widget that C++ still owns.
  for (Gtk::Widget* child : m_grid.get_children())
    m_grid.remove(*child);
  m_iface.reset();
  m_menu_bar.reset();
  m_tool_bar.reset();
  if (m_ctrl)
    m_ctrl->clear_ports();
  m_command_bar.reset();
  m_main_view.reset();
  m_canvas.reset();
  m_ctrl.reset();
  m_ws.reset();
}

void MainWindow::build_parts()
{
  m_ws = ModelWorkspace::create<SeqWorkspace>();
  m_ws_notify = m_ws->signal_notify().connect(sigc::mem_fun(*this, &MainWindow::on_ws_notify));
  m_ctrl = SeqContext::create(m_ws);
  m_ctrl->set_main_window(m_iface);
  m_canvas = std::make_shared<SeqCanvas>(*m_ctrl);
  m_ctrl->set_canvas(m_canvas);
  m_canvas->set_hexpand(true);
  m_canvas->set_vexpand(true);
  m_main_view = std::make_shared<ViewMainView>(m_ctrl);
  m_ctrl->set_main_view(m_main_view);
  m_command_bar = std::make_shared<ViewCommandBar>(m_ctrl);
  m_ctrl->set_command_bar(m_command_bar);
  m_tool_bar = std::make_unique<SeqToolBar>(m_ctrl);
  m_menu_bar = std::make_unique<SeqMainMenu>(m_ctrl);
  m_ctrl->set_context_menu(std::make_shared<ViewContextMenu>(*m_menu_bar));
}

void MainWindow::build_layout()
{
  // While the canvas page shows, every key that bubbles up to the layout
  // stops here; on the key-binding page it goes on to the window.
  m_grid.signal_key_press_event().connect(
    [this](GdkEventKey*) { return m_main_view->get_is_cv_active(); }, false);
  add(m_grid);
  m_grid.attach(*m_menu_bar, 0, 0, 1, 1);
  m_grid.attach(*m_tool_bar, 0, 1, 1, 1);
  m_grid.attach(*m_main_view, 0, 2, 1, 1);
  m_grid.attach(*m_command_bar, 0, 3, 1, 1);
}

void MainWindow::set_icon_from_bundle()
{
  view_icon_bundle_register();
  try {
    set_icon(Gdk::Pixbuf::create_from_resource(view_icon_path(m_ctrl->get_exename() + "48.png")));
  } catch (const Glib::Error& e) {
    g_debug("main_window:476: %s", e.what().c_str());
  }
}

void MainWindow::on_config_changed()
{
  set_visible_to(*m_menu_bar, m_ctrl->config_b("show-menubar"));
  set_visible_to(*m_tool_bar, m_ctrl->config_b("show-toolbar"));
}

void MainWindow::on_ws_notify(const char* name)
{
  if (std::string(name) != "file-path")
    return;
  g_debug("main_window:425: NOTIFY!");
  update_title();
}

// ---------------------------------------------------------------------------
// Title and bars

void MainWindow::update_title()
{
  std::string title = title_base(m_ctrl->get_exename());
  const std::string name = get_display_file_name();
  if (!name.empty())
    title += " - " + name;
  set_title(title);
}

std::string MainWindow::get_display_file_name() const
{
  if (!m_ws || m_ws->get_file_path().empty())
    return "";
  const auto file = Gio::File::create_for_path(m_ws->get_file_path());
  const auto here = Gio::File::create_for_path(Glib::get_current_dir());
  const std::string relative = here->get_relative_path(file);
  return relative.empty() ? file->get_path() : relative;
}

void MainWindow::set_visible_to(Gtk::Widget& w, bool visible)
{
  const bool old = w.get_no_show_all();
  w.set_no_show_all(!visible);
  if (visible && old)
    w.show_all();
  else if (!visible && !old)
    w.hide();
}

// ---------------------------------------------------------------------------
// Closing

bool MainWindow::confirm_to_save_update()
{
  if (!m_ws->modified)
    return true;
  Gtk::MessageDialog dialog(*this, save_question_text(get_display_file_name()), false, Gtk::MESSAGE_WARNING,
                            Gtk::BUTTONS_CANCEL, true);
  dialog.add_button("_Save", Gtk::RESPONSE_YES);
  dialog.add_button("_Don't save", Gtk::RESPONSE_NO);
  const int response = m_dialogs.run_question(dialog);
  dialog.hide();
  if (response == Gtk::RESPONSE_NO)
    return true;
  if (response != Gtk::RESPONSE_YES)
    return false;
  // A save that failed or was cancelled keeps the document.
  return save_file(true);
}

bool MainWindow::on_delete_request(GdkEventAny*)
{
  return !confirm_to_save_update();
}

bool MainWindow::raise_delete_request()
{
  // The window's own delete handler, as a close button runs it; GTK's
  // default handling (which would hide the window) is left to the caller.
  return on_delete_request(nullptr);
}

void MainWindow::destroy()
{
  // The application owns the window and lets it go once it is hidden.
  hide();
}

void MainWindow::quit()
{
  if (!raise_delete_request())
    destroy();
}

// ---------------------------------------------------------------------------
// Messages

void MainWindow::show_alert(const std::string& message)
{
  report(message);
}

void MainWindow::document_replaced()
{
  update_title();
  queue_draw();
}

void MainWindow::report(const std::string& message)
{
  auto dialog = std::make_unique<Gtk::MessageDialog>(*this, message, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_CLOSE,
                                                     false);
  // Messages name files, and a long path has few places to break at between
  // words: it may break anywhere, so that the dialog stays narrower than
  // the screen and the cause after the path stays in sight.
  for (Gtk::Widget* child : dialog->get_message_area()->get_children()) {
    if (auto* label = dynamic_cast<Gtk::Label*>(child)) {
      label->set_line_wrap(true);
      label->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
      label->set_max_width_chars(MESSAGE_WIDTH_CHARS);
    }
  }
  m_dialogs.show_message(std::move(dialog));
}

} // namespace velkaro
