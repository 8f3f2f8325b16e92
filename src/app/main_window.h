#pragma once
// MainWindow: the application window of the sequence-diagram editor. It
// makes one document (SeqWorkspace) with its controller (SeqContext) and
// every view part, lays them out from top to bottom (menu bar, tool bar,
// main view, command bar), keeps its title in step with the document's
// file, asks before a modified document is thrown away, and offers the
// window commands ("new-file", "open-file", "save-file", "save-as-file",
// "exit", "manual", "export-png-n", "export-png" with a path, "key-setting")
// as actions of the window, each also registered without keys on the
// context, so that menus, tool buttons and bound keys reach it by name.
//
// Construction order: delete handler; workspace (its file path drives the
// title); context, which is told about the window; canvas attached to the
// context; main view; command bar; tool bar; menu bar (and the right-click
// popup built from it); bar visibility following "config-changed"; the
// window commands; editing on and the command line off; the layout; the
// canvas's focus; the delayed refresh of enabled actions; "config-changed"
// with "init"; the title; the icon.
//
// Nothing is thrown away without the user's word: closing, "exit", ":q",
// "new-file" and "open-file" go on only when the document is not modified,
// was saved, or the user chose "_Don't save". A save that fails or whose
// dialog is cancelled stops them, and the document stays as it was. A
// failed save, load or export is shown in a message dialog of the window,
// whose lines wrap (a long path anywhere) so that it fits on the screen.
//
// Dialogs run through a small seam (MainWindowDialogs): the real one runs
// GTK dialogs; tests give their own to answer them.
//
// Ownership: the application owns the window (app.h). The window owns its
// workspace, context, tool bar, menu bar and layout. The context holds the
// canvas, the main view, the command bar and the popup, and links to the
// window weakly (through get_iface()), so nothing keeps the window alive.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <giomm/simpleaction.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/grid.h>
#include <gtkmm/messagedialog.h>

#include "common/rectangle.h"
#include "common/scoped_connection.h"
#include "ctrl/ports/imain_window.h"

namespace velkaro {

class CtrlContext;
class SeqContext;
class SeqWorkspace;
class ViewCanvas;
class ViewCommandBar;
class ViewContextMenu;
class ViewExportingCnavas;
class ViewMainMenu;
class ViewMainView;
class ViewToolBar;

// How the window runs its dialogs.
struct MainWindowDialogs {
  // Runs the save question (modal) and returns its response (Gtk::RESPONSE_YES
  // for "_Save", RESPONSE_NO for "_Don't save", anything else cancels).
  std::function<int(Gtk::MessageDialog&)> run_question;
  // Runs a file chooser (modal); the chosen file's path, or nothing when
  // the user cancelled.
  std::function<std::optional<std::string>(Gtk::FileChooserDialog&)> run_file_chooser;
  // Shows a message dialog without blocking and keeps it until the user
  // dismisses it.
  std::function<void(std::unique_ptr<Gtk::MessageDialog>)> show_message;

  // The GTK dialogs themselves.
  static MainWindowDialogs real();
};

class MainWindow : public Gtk::ApplicationWindow, public CtrlIMainWindow {
public:
  // The title's fixed part: "Velkaro" and the executable name in upper case.
  static std::string title_base(const std::string& exename);
  // The question asked before a modified document is thrown away, for the
  // display name of its file ("" for a document never saved).
  static std::string save_question_text(const std::string& display_name);
  // The window for app (registered), built as the header comment says.
  explicit MainWindow(const Glib::RefPtr<Gtk::Application>& app, MainWindowDialogs dialogs = MainWindowDialogs::real());
  ~MainWindow() override;

  // --- Title and closing (main_window.cpp).

  // "VelkaroSEQ", followed by " - " and the display file name once the
  // document has a file.
  void update_title();
  // The document's file relative to the current directory when it lies
  // below it, else its absolute path; "" for a document never saved.
  std::string get_display_file_name() const;
  // True when the caller may throw the document away: it is not modified,
  // the user chose "_Don't save", or chose "_Save" and the save succeeded.
  // False when the user cancelled, or the save failed or its dialog was
  // cancelled.
  bool confirm_to_save_update();
  // Shows (visible) or hides a bar so that a later show_all() of the
  // window keeps a hidden bar hidden: its no-show-all flag records that it
  // is meant to be hidden.
  static void set_visible_to(Gtk::Widget& w, bool visible);

  // --- Window commands (main_window_actions.cpp).

  // Registers the nine commands as window actions and on the context.
  void init_action();
  // A parameterless action name running fn, copied into the context.
  void add_named_action(const std::string& name, const std::function<void()>& fn);
  // Registers on the context a keyless, non-undoable action name that
  // activates the window's action of that name.
  void copy_action(const std::string& name);
  // A file chooser transient for the window with the title, "_Cancel" and
  // the accept label, the filters "Velkaro data (XML)" and "All", and
  // overwrite confirmation.
  std::unique_ptr<Gtk::FileChooserDialog> new_file_chooser_dialog(const std::string& title,
                                                                  const std::string& accept_button_name,
                                                                  Gtk::FileChooserAction action);
  // An empty document, once confirm_to_save_update() allows it. False when
  // nothing changed.
  bool new_file();
  // A document from a file the user chooses, once confirm_to_save_update()
  // allows it. A file the loader refuses leaves the document, its file,
  // modified flag and undo history as they were, and the user is told.
  // False when nothing changed.
  bool open_file();
  // Saves to the document's own file (use_current_path and it has one), or
  // to a file the user chooses. True when the document was written; a
  // failure is shown to the user.
  bool save_file(bool use_current_path);
  // The exporter of export_rect().
  std::shared_ptr<ViewExportingCnavas> new_exporting_canvas();
  // The selected range's rectangle, else the bounding box of the occupied
  // cells (which need not start at cell (0, 0)).
  Rectangle export_rect() const;
  // Writes the PNG image to file_path, or, for "", to a file the user
  // chooses in the export dialog. True when the file was written; a failure
  // is shown to the user.
  bool export_png(const std::string& file_path);
  // Opens the manual page in the user's language (English or Japanese).
  void show_help();
  // Opens the manual page at path in the desktop's browser; when no program
  // shows it, a message says so and gives the page's path, so that the
  // user can open it by hand.
  void show_manual_page(const std::string& path);
  // Leaves as closing the window does: asks about unsaved changes, then
  // hides the window unless the user cancelled.
  void quit();

  // --- CtrlIMainWindow.

  bool raise_delete_request() override;
  void destroy() override;
  bool activate_action(const std::string& name, const std::optional<std::string>& parameter) override;
  void show_alert(const std::string& message) override;
  // The title follows the new document's file; the window is redrawn.
  void document_replaced() override;

  // --- Parts.

  const std::shared_ptr<SeqWorkspace>& get_ws() const { return m_ws; }
  const std::shared_ptr<SeqContext>& get_ctrl() const { return m_ctrl; }
  ViewCanvas& get_canvas() const { return *m_canvas; }
  ViewMainView& get_main_view() const { return *m_main_view; }
  ViewCommandBar& get_command_bar() const { return *m_command_bar; }
  ViewToolBar& get_tool_bar() const { return *m_tool_bar; }
  ViewMainMenu& get_menu_bar() const { return *m_menu_bar; }
  Gtk::Grid& get_layout() { return m_grid; }
  // The window as the controller sees it; the context holds it weakly.
  std::shared_ptr<CtrlIMainWindow> get_iface() const { return m_iface; }
  MainWindowDialogs& get_dialogs() { return m_dialogs; }

private:
  void build_parts();
  void build_layout();
  void set_icon_from_bundle();
  bool on_delete_request(GdkEventAny* event);
  void on_config_changed();
  void on_ws_notify(const char* name);
  // Shows message in a message dialog of the window.
  void report(const std::string& message);
  // Replaces the document with the file at path (nothing: an empty one)
  // through the context; a refused file is shown to the user.
  bool replace_document(const std::optional<std::string>& path);

  MainWindowDialogs m_dialogs;
  // Handed to the context as its window; owns nothing (see get_iface()).
  std::shared_ptr<CtrlIMainWindow> m_iface;
  std::shared_ptr<SeqWorkspace> m_ws;
  std::shared_ptr<SeqContext> m_ctrl;
  std::shared_ptr<ViewCanvas> m_canvas;
  std::shared_ptr<ViewMainView> m_main_view;
  std::shared_ptr<ViewCommandBar> m_command_bar;
  std::unique_ptr<ViewToolBar> m_tool_bar;
  std::unique_ptr<ViewMainMenu> m_menu_bar;
  Gtk::Grid m_grid;
  ScopedConnection m_ws_notify;
  ScopedConnection m_config_changed;
};

} // namespace velkaro
