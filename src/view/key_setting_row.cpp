// ViewKeyRow: one action of the key-binding editor's list.

#include <utility>

#include <glibmm/main.h>
#include <glibmm/markup.h>
#include <pangomm/attributes.h>
#include <pangomm/attrlist.h>

#include "common/i18n.h"
#include "ctrl/keys/action_wrapper.h"
#include "view/key_setting.h"

namespace velkaro {
namespace {

void set_underline(Gtk::Button& button, Pango::Underline underline)
{
  auto* label = dynamic_cast<Gtk::Label*>(button.get_child());
  if (!label)
    return;
  Pango::AttrList attrs;
  auto attr = Pango::Attribute::create_attr_underline(underline);
  attrs.insert(attr);
  label->set_attributes(attrs);
}

} // namespace

ViewKeyRow::ViewKeyRow(ViewKeySetting& ks, std::string group_name, WrapperPtr action)
  : m_ks(ks), m_group_name(std::move(group_name)), m_action(std::move(action))
{
  // A member function of the row: the connection dies with the row.
  m_action->signal_remapped().connect(sigc::mem_fun(*this, &ViewKeyRow::rebuild));
  m_box = make_box();
  add(*m_box);
}

ViewKeyRow::~ViewKeyRow() = default;

void ViewKeyRow::rebuild()
{
  if (m_box) {
    Gtk::Container::remove(*m_box);
    // The box may hold the button whose click led here.
    m_retired.push_back(std::move(m_box));
    Glib::signal_idle().connect_once(sigc::mem_fun(*this, &ViewKeyRow::drop_retired));
  }
  m_box = make_box();
  add(*m_box);
  show_all();
}

void ViewKeyRow::drop_retired() { m_retired.clear(); }

void ViewKeyRow::restore_cb()
{
  m_action->restore();
  grab_focus();
}

void ViewKeyRow::add_cb() { m_ks.show_key_editor(*this, "add", std::nullopt); }

void ViewKeyRow::key_cb(const std::string& key)
{
  m_action->rm_key(key);
  grab_focus();
}

Gtk::Button* ViewKeyRow::make_button(const std::string& label)
{
  auto* button = Gtk::manage(new Gtk::Button(label));
  button->set_relief(Gtk::RELIEF_NONE);
  button->signal_focus_in_event().connect([button](GdkEventFocus*) {
    set_underline(*button, Pango::UNDERLINE_SINGLE);
    return false;
  });
  button->signal_focus_out_event().connect([button](GdkEventFocus*) {
    set_underline(*button, Pango::UNDERLINE_NONE);
    return false;
  });
  return button;
}

std::unique_ptr<Gtk::Box> ViewKeyRow::make_box()
{
  auto vbox = std::make_unique<Gtk::Box>(Gtk::ORIENTATION_VERTICAL);
  auto* hbox = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL));
  vbox->add(*hbox);

  const auto& description = m_action->get_description();
  m_title_label = Gtk::manage(new Gtk::Label());
  // Descriptions come from translations, which may hold "&" or "<".
  m_title_label->set_markup("<b>" + Glib::Markup::escape_text(description ? *description : m_action->get_name()) +
                            "</b>");
  m_title_label->set_xalign(0);
  hbox->pack_start(*m_title_label, false, false, 0);

  // Packed from the right end inwards.
  m_restore_button = make_button(_("Restore"));
  m_restore_button->set_sensitive(m_action->get_user_remapped());
  m_restore_button->signal_clicked().connect(sigc::mem_fun(*this, &ViewKeyRow::restore_cb));
  hbox->pack_end(*m_restore_button, false, false, 0);

  m_add_button = make_button(_("Add"));
  m_add_button->signal_clicked().connect(sigc::mem_fun(*this, &ViewKeyRow::add_cb));
  hbox->pack_end(*m_add_button, false, false, 0);

  hbox->pack_end(*Gtk::manage(new Gtk::Label(" ")), false, false, 0);

  m_key_buttons.clear();
  for (const auto& key : m_action->get_assigned()) {
    Gtk::Button* button = make_button(key);
    button->signal_clicked().connect([this, key] { key_cb(key); });
    hbox->pack_end(*button, false, false, 0);
    m_key_buttons.push_back(button);
  }
  return vbox;
}

} // namespace velkaro
