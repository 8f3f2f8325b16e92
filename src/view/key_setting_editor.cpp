// ViewKeyEditor: the key-binding editor's page that captures a key
// sequence to add, or offers the keys to remove.

#include <gtk/gtk.h>
#include <glibmm/markup.h>

#include "ctrl/keys/action_wrapper.h"
#include "ctrl/keys/key_action_map.h"
#include "ctrl/keys/key_action_map_key.h"
#include "view/key_setting.h"

namespace velkaro {

ViewKeyEditor::ViewKeyEditor(ViewKeySetting& ks) : m_ks(ks)
{
  signal_key_press_event().connect(sigc::mem_fun(*this, &ViewKeyEditor::on_key), false);
}

void ViewKeyEditor::set_editor(ViewKeyRow& row, const std::string& type, const std::optional<std::string>& key)
{
  m_action = row.get_action();
  m_type = type;
  m_key = key;
  if (type == "remove")
    make_remove_box();
  else if (type == "add" || type == "change")
    make_add_box();
}

void ViewKeyEditor::make_add_box()
{
  m_keys.clear();
  if (m_add_box)
    remove(*m_add_box);

  m_key_line = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
  // Packed at the end in this order, they read "Type a key", "OK", "Cancel".
  m_cancel_button = Gtk::manage(new Gtk::Button("Cancel"));
  m_cancel_button->signal_clicked().connect(sigc::mem_fun(m_ks, &ViewKeySetting::show_list));
  m_key_line->pack_end(*m_cancel_button, false, false, 0);
  m_ok_button = Gtk::manage(new Gtk::Button("OK"));
  m_ok_button->set_sensitive(false);
  m_ok_button->signal_clicked().connect(sigc::mem_fun(*this, &ViewKeyEditor::settle));
  m_key_line->pack_end(*m_ok_button, false, false, 0);
  m_type_button = Gtk::manage(new Gtk::Button("Type a key"));
  m_key_line->pack_end(*m_type_button, false, false, 10);

  auto* message_box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL));
  m_message = Gtk::manage(new Gtk::Label(""));
  message_box->pack_start(*m_message, false, false, 0);
  message_box->pack_end(*m_key_line, false, false, 0);
  auto* column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL));
  column->pack_end(*message_box, true, false, 0);
  m_add_box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
  m_add_box->pack_end(*column, true, false, 0);

  add(*m_add_box, "add");
  m_add_box->show_all();
  // A page the stack does not show cannot take the focus.
  set_visible_child(*m_add_box);
  m_type_button->grab_focus();
}

void ViewKeyEditor::make_remove_box()
{
  if (m_remove_box)
    remove(*m_remove_box);
  m_remove_buttons.clear();

  auto* line = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
  auto* cancel = Gtk::manage(new Gtk::Button("Cancel"));
  cancel->signal_clicked().connect(sigc::mem_fun(m_ks, &ViewKeySetting::show_list));
  line->pack_end(*cancel, false, false, 9);
  m_remove_buttons.push_back(cancel);
  for (const auto& key : m_action->get_assigned()) {
    auto* button = Gtk::manage(new Gtk::Button("Remove [" + key + "]"));
    button->signal_clicked().connect([this, key] { remove_key(key); });
    line->pack_end(*button, false, false, 0);
    m_remove_buttons.push_back(button);
  }
  auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
  row->pack_end(*line, true, false, 0);
  m_remove_box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL));
  m_remove_box->pack_end(*row, true, false, 0);

  add(*m_remove_box, "remove");
  m_remove_box->show_all();
  set_visible_child(*m_remove_box);
  cancel->grab_focus();
}

void ViewKeyEditor::add_key(const std::string& key)
{
  show_message("");
  m_keys.push_back(key);
  if (!m_key_line)
    return;
  auto* label = Gtk::manage(new Gtk::Label());
  label->set_markup("<big><b>[" + Glib::Markup::escape_text(key) + "]</b></big>");
  // After the keys captured before, ahead of the buttons.
  m_key_line->pack_start(*label, false, false, 0);
  m_key_line->show_all();
  m_ok_button->set_sensitive(true);
  m_ok_button->grab_focus();
}

void ViewKeyEditor::settle()
{
  if (!m_action)
    return;
  std::string text;
  for (const auto& key : m_keys)
    text += key;
  if (m_action->add_key(text)) {
    if (m_key)
      m_action->rm_key(*m_key);
    m_ks.show_list();
  } else {
    show_message("Duplicated keys!");
  }
}

void ViewKeyEditor::remove_key(const std::string& key)
{
  if (m_action)
    m_action->rm_key(key);
  m_ks.show_list();
}

void ViewKeyEditor::show_message(const std::string& msg)
{
  if (m_message)
    m_message->set_markup("<b><big>" + msg + "</big></b>");
}

bool ViewKeyEditor::on_key(GdkEventKey* event)
{
  if (!event)
    return false;
  if (m_type_button && m_type_button->is_focus()) {
    const KeyEvent key = to_key_event(*event);
    if (!key.is_modifier)
      add_key(CtrlKeyActionMap::e2str(key));
    return true;
  }
  switch (event->keyval) {
  case GDK_KEY_h:
  case GDK_KEY_k:
    move_focus(GTK_DIR_LEFT);
    return true;
  case GDK_KEY_j:
  case GDK_KEY_l:
    move_focus(GTK_DIR_RIGHT);
    return true;
  case GDK_KEY_Escape:
    m_ks.show_list();
    return true;
  default:
    return false;
  }
}

void ViewKeyEditor::move_focus(GtkDirectionType dir)
{
  g_signal_emit_by_name(GTK_WIDGET(gobj()), "move-focus", dir);
}

} // namespace velkaro
