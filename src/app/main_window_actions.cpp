// The window commands: new, open, save, save as, exit, manual, PNG export
// with and without a dialog, and the key-binding page.

#include <glib.h>
#include <gtk/gtk.h>
#include <glibmm/variant.h>
#include <gtkmm/filefilter.h>
#include <sigc++/adaptors/track_obj.h>

#include "app/main_window.h"
#include "app/manual.h"
#include "common/cell_range.h"
#include "common/i18n.h"
#include "ctrl/keys/action_row.h"
#include "ctrl/context.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "seq/context.h"
#include "seq/exporting_cnavas.h"
#include "seq/doc/workspace.h"
#include "view/main_view.h"

namespace velkaro {

namespace {

using Rows = CtrlActionRows<MainWindow>;

// The parameterless commands, in registration order; "export-png", which
// takes a path, follows "export-png-n". They bind no key and record nothing
// themselves.
const Rows& command_rows()
{
  constexpr auto none = CtrlRecord::none;
  static const Rows rows = {
    {"new-file", {}, nullptr, none, [](MainWindow& w) { return w.new_file(); }},
    {"open-file", {}, nullptr, none, [](MainWindow& w) { return w.open_file(); }},
    {"save-file", {}, nullptr, none, [](MainWindow& w) { return w.save_file(true); }},
    {"save-as-file", {}, nullptr, none, [](MainWindow& w) { return w.save_file(false); }},
    {"exit", {}, nullptr, none,
     [](MainWindow& w) {
       w.quit();
       return true;
     }},
    {"manual", {}, nullptr, none,
     [](MainWindow& w) {
       w.show_help();
       return true;
     }},
    {"export-png-n", {}, nullptr, none, [](MainWindow& w) { return w.export_png(""); }},
  };
  return rows;
}

// Where the command rows go: each becomes an action of the window, copied
// into the context (MainWindow::add_named_action()).
struct CommandTarget {
  MainWindow& window;

  void add_action(const std::string& name, const CtrlActionWrapper::Keys&, const std::function<bool()>& run,
                  const std::optional<std::string>&, CtrlRecord, const std::function<bool()>&)
  {
    window.add_named_action(name, [run] { (void)run(); });
  }
};

void add_filter(Gtk::FileChooser& chooser, const char* name, const char* mime_type, const char* pattern)
{
  auto filter = Gtk::FileFilter::create();
  filter->set_name(name);
  if (mime_type)
    filter->add_mime_type(mime_type);
  if (pattern)
    filter->add_pattern(pattern);
  chooser.add_filter(filter);
}

bool is_enter_key(const GdkEventKey& event)
{
  return event.keyval == GDK_KEY_Return || event.keyval == GDK_KEY_KP_Enter || event.keyval == GDK_KEY_ISO_Enter;
}

// Enter in a file dialog's name field answers with the main button (Save,
// Open, Export), as GTK users expect. GTK's own way passes the field's
// Enter to that button, but the dialog takes in a name typed or pasted
// only a moment later (it looks at the folder first), and keeps the button
// disabled until then: an Enter that comes first was lost. Such an Enter
// is kept and answered as soon as the dialog enables the button; any other
// key forgets it. The answer goes through the dialog's own checks all the
// same (a folder name is entered, the overwrite question is asked).
void accept_on_enter(Gtk::FileChooserDialog& dialog)
{
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  Gtk::Widget* accept = dialog.get_widget_for_response(Gtk::RESPONSE_ACCEPT);
  if (!accept)
    return;
  // Owned by the two handlers, which die with the dialog and its button.
  const auto pending = std::make_shared<bool>(false);
  dialog.signal_key_press_event().connect(
    [&dialog, accept, pending](GdkEventKey* event) {
      *pending = false;
      if (!is_enter_key(*event) || (event->state & gtk_accelerator_get_default_mod_mask()) != 0 ||
          accept->is_sensitive())
        return false;
      // The name field alone: Enter keeps its own meaning in the search
      // field, the list and the new-folder field.
      static const GType name_field = g_type_from_name("GtkFileChooserEntry");
      Gtk::Widget* focus = dialog.get_focus();
      if (!focus || !name_field || !G_TYPE_CHECK_INSTANCE_TYPE(focus->gobj(), name_field) ||
          gtk_entry_get_text_length(GTK_ENTRY(focus->gobj())) == 0)
        return false;
      *pending = true;
      return true;
    },
    false);
  accept->property_sensitive().signal_changed().connect([&dialog, accept, pending] {
    if (!*pending || !accept->is_sensitive())
      return;
    *pending = false;
    dialog.response(Gtk::RESPONSE_ACCEPT);
  });
}

} // namespace

void MainWindow::init_action()
{
  CommandTarget commands{*this};
  ctrl_register_rows(commands, *this, command_rows());
  add_action_with_parameter("export-png", Glib::VARIANT_TYPE_STRING, [this](const Glib::VariantBase& parameter) {
    export_png(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get());
  });
  copy_action("export-png");
  add_named_action("key-setting", [this] { m_main_view->toggle_view(); });
}

void MainWindow::add_named_action(const std::string& name, const std::function<void()>& fn)
{
  add_action(name, [fn] { fn(); });
  copy_action(name);
}

void MainWindow::copy_action(const std::string& name)
{
  m_ctrl->void_action(name, {}, [this, name] { activate_action(name, std::nullopt); }, std::nullopt);
}

bool MainWindow::activate_action(const std::string& name, const std::optional<std::string>& parameter)
{
  const auto action = lookup_action(name);
  if (!action)
    return false;
  const auto type = action->get_parameter_type();
  if (type.gobj() && type.equal(Glib::VARIANT_TYPE_STRING)) {
    // A path-taking command reached by name (a menu, a button, a key)
    // comes without a path: as an empty one it asks for the path.
    action->activate(Glib::Variant<Glib::ustring>::create(parameter.value_or("")));
  } else {
    action->activate();
  }
  return true;
}

// ---------------------------------------------------------------------------
// Files

std::unique_ptr<Gtk::FileChooserDialog> MainWindow::new_file_chooser_dialog(const std::string& title,
                                                                          const std::string& accept_button_name,
                                                                          Gtk::FileChooserAction action)
{
  auto dialog = std::make_unique<Gtk::FileChooserDialog>(*this, title, action);
  dialog->add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog->add_button(accept_button_name, Gtk::RESPONSE_ACCEPT);
  add_filter(*dialog, "Velkaro data (XML)", "text/xml", nullptr);
  add_filter(*dialog, "All", nullptr, "*");
  dialog->set_do_overwrite_confirmation(true);
  accept_on_enter(*dialog);
  return dialog;
}

bool MainWindow::new_file()
{
  if (!confirm_to_save_update())
    return false;
  const bool replaced = replace_document(std::nullopt);
  queue_draw();
  return replaced;
}

bool MainWindow::open_file()
{
  g_debug("main_window:165: open file in application window");
  if (!confirm_to_save_update())
    return false;
  std::optional<std::string> path;
  {
    const auto dialog = new_file_chooser_dialog("Open file", "_Open", Gtk::FILE_CHOOSER_ACTION_OPEN);
    path = m_dialogs.run_file_chooser(*dialog);
  }
  bool replaced = false;
  if (path) {
    g_debug("main_window:174: open filename = %s", path->c_str());
    replaced = replace_document(*path);
  }
  queue_draw();
  return replaced;
}

bool MainWindow::replace_document(const std::optional<std::string>& path)
{
  if (m_ctrl->new_context(path))
    return true;
  report(m_ws->get_last_error());
  return false;
}

bool MainWindow::save_file(bool use_current_path)
{
  bool saved = false;
  if (use_current_path && !m_ws->get_file_path().empty()) {
    saved = m_ws->save();
  } else {
    std::optional<std::string> path;
    {
      const auto dialog = new_file_chooser_dialog("Save file", "_Save", Gtk::FILE_CHOOSER_ACTION_SAVE);
      path = m_dialogs.run_file_chooser(*dialog);
    }
    if (!path) {
      queue_draw();
      return false;
    }
    g_debug("main_window:196: save filename = %s", path->c_str());
    saved = m_ws->save(*path);
  }
  if (!saved)
    report(m_ws->get_last_error());
  queue_draw();
  return saved;
}

// ---------------------------------------------------------------------------
// Export

Rectangle MainWindow::export_rect() const
{
  std::shared_ptr<CellRange> range =
    m_ctrl->selected_range ? m_ctrl->selected_range->duplicate() : m_ws->get_cells()->get_exists_range();
  // A selection keeps the corners in the order they were made.
  range->ensure_consistency();
  return m_ws->grid->get_range_rect(*range);
}

std::shared_ptr<ViewExportingCnavas> MainWindow::new_exporting_canvas()
{
  return ViewExportingCnavas::create<SeqExportingCnavas>(m_ctrl, export_rect());
}

bool MainWindow::export_png(const std::string& file_path)
{
  // The rectangle is fixed before any dialog runs.
  const auto exporter = new_exporting_canvas();
  std::string target = file_path;
  if (target.empty()) {
    Gtk::FileChooserDialog dialog(*this, "Export PNG file", Gtk::FILE_CHOOSER_ACTION_SAVE);
    dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    dialog.add_button("_Export", Gtk::RESPONSE_ACCEPT);
    add_filter(dialog, "PNG image", "image/png", nullptr);
    add_filter(dialog, "All", nullptr, "*");
    dialog.set_do_overwrite_confirmation(true);
    accept_on_enter(dialog);
    target = m_dialogs.run_file_chooser(dialog).value_or("");
  }
  bool exported = false;
  if (!target.empty()) {
    exported = exporter->export_png(target);
    if (!exported)
      report(exporter->get_last_error());
  }
  queue_draw();
  return exported;
}

// ---------------------------------------------------------------------------
// Manual

void MainWindow::show_help()
{
  const std::string language = manual_language(manual_user_languages());
  const auto page = manual_page_path(language);
  if (!page) {
    report(Glib::ustring::compose(_("The manual page \"%1.html\" was not found."), language));
    return;
  }
  show_manual_page(*page);
}

void MainWindow::show_manual_page(const std::string& path)
{
  const auto report_failure = [this, path](const std::string& reason) {
    report(Glib::ustring::compose(_("The manual could not be opened: %1.\nIts page is %2"), reason, path));
  };
  std::string reason;
  // The watch's report is tied to the window: it is dropped when the
  // window goes before the opener ends.
  if (!manual_open(manual_uri(path), sigc::track_obj(report_failure, *this), reason))
    report_failure(reason);
}

} // namespace velkaro
