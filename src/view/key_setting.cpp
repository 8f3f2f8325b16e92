#include "view/key_setting.h"

#include <algorithm>
#include <typeinfo>
#include <utility>

#include <glibmm/markup.h>
#include <gtk/gtk.h>

#include "common/i18n.h"
#include "ctrl/context.h"
#include "ctrl/keys/iaction_handler.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

ViewKeySetting::ViewKeySetting(const std::shared_ptr<CtrlContext>& ctrl, std::function<void()> leave)
  : m_ctrl(ctrl),
    m_leave(std::move(leave)),
    m_viewport(Glib::RefPtr<Gtk::Adjustment>(), Glib::RefPtr<Gtk::Adjustment>()),
    m_editor(*this)
{
  set_transition_type(Gtk::STACK_TRANSITION_TYPE_SLIDE_LEFT_RIGHT);
  // The list box scrolls its cursor by pages through the viewport's
  // adjustment, which it finds as its parent.
  m_viewport.add(m_list_box);
  m_scrolled.add(m_viewport);
  add(m_scrolled, "list");
  add(m_editor, "editor");
  if (ctrl)
    init_lb(*ctrl);
  signal_key_press_event().connect(sigc::mem_fun(*this, &ViewKeySetting::on_key), false);
}

ViewKeySetting::~ViewKeySetting() = default;

void ViewKeySetting::show_list() { set_visible_child("list"); }

void ViewKeySetting::show_key_editor(ViewKeyRow& row, const std::string& type, const std::optional<std::string>& key)
{
  // The page first: while the slide back to the list still runs, showing
  // the editor again hides the page it leaves, and with it a focus that the
  // editor had just placed there.
  set_visible_child("editor");
  m_editor.set_editor(row, type, key);
}

bool ViewKeySetting::get_is_editor_active() const
{
  return !get_visible() || get_visible_child_name() == "editor";
}

void ViewKeySetting::make_action_list(const std::string& name, const std::vector<WrapperPtr>& list)
{
  for (const auto& action : list) {
    if (!action)
      continue;
    auto* row = Gtk::manage(new ViewKeyRow(*this, name, action));
    m_list_box.append(*row);
  }
}

bool ViewKeySetting::contains(const std::vector<HandlerPtr>& handlers, const CtrlIActionHandler& handler)
{
  return std::any_of(handlers.begin(), handlers.end(),
                     [&handler](const HandlerPtr& h) { return h && typeid(*h) == typeid(handler); });
}

void ViewKeySetting::to_unique(const HandlerPtr& target, const std::vector<HandlerPtr>& collected)
{
  const auto it = std::find_if(collected.begin(), collected.end(),
                               [&target](const HandlerPtr& h) { return h && typeid(*h) == typeid(*target); });
  if (it == collected.end())
    return;
  const HandlerPtr& first = *it;
  // A handler included by two modes is met twice: as its own dup every key
  // change would apply to it again without end. Listed twice, it would get
  // each change twice.
  const auto& dups = first->get_data_ah().dups;
  if (first == target || std::find(dups.begin(), dups.end(), target) != dups.end())
    return;
  first->add_dup(target);
}

std::vector<ViewKeyRow*> ViewKeySetting::get_rows()
{
  std::vector<ViewKeyRow*> rows;
  for (Gtk::Widget* child : m_list_box.get_children()) {
    if (auto* row = dynamic_cast<ViewKeyRow*>(child))
      rows.push_back(row);
  }
  return rows;
}

void ViewKeySetting::init_lb(CtrlContext& ctrl)
{
  m_list_box.set_header_func(sigc::mem_fun(*this, &ViewKeySetting::update_header));
  std::vector<HandlerPtr> collected;
  for (const auto& mode : ctrl.get_mode_list()) {
    for (const auto& handler : mode->get_included_modes()) {
      if (!handler)
        continue;
      if (!contains(collected, *handler))
        collected.push_back(handler);
      else
        to_unique(handler, collected);
    }
    make_action_list(mode->get_name(), mode->enum_actions());
  }
  for (const auto& handler : collected)
    make_action_list(_("Common : ") + handler->get_name(), handler->enum_actions());
}

void ViewKeySetting::update_header(Gtk::ListBoxRow* row, Gtk::ListBoxRow* before)
{
  const auto* key_row = dynamic_cast<ViewKeyRow*>(row);
  if (!key_row)
    return;
  const auto* key_before = dynamic_cast<ViewKeyRow*>(before);
  if (key_before && key_before->get_group_name() == key_row->get_group_name())
    return;
  auto* label = Gtk::manage(new Gtk::Label());
  // Translations and handler names may hold markup characters.
  label->set_markup("<big><b>" + Glib::Markup::escape_text(key_row->get_group_name()) + "</b></big>");
  row->set_header(*label);
}

bool ViewKeySetting::on_key(GdkEventKey* event)
{
  if (!event || get_is_editor_active())
    return false;
  GtkWidget* list = GTK_WIDGET(m_list_box.gobj());
  switch (event->keyval) {
  case GDK_KEY_h:
    g_signal_emit_by_name(list, "move-focus", GTK_DIR_LEFT);
    return true;
  case GDK_KEY_j:
    g_signal_emit_by_name(list, "move-focus", GTK_DIR_DOWN);
    return true;
  case GDK_KEY_k:
    g_signal_emit_by_name(list, "move-focus", GTK_DIR_UP);
    return true;
  case GDK_KEY_l:
    g_signal_emit_by_name(list, "move-focus", GTK_DIR_RIGHT);
    return true;
  case GDK_KEY_d:
    g_signal_emit_by_name(list, "move-cursor", GTK_MOVEMENT_PAGES, 1);
    return true;
  case GDK_KEY_u:
    g_signal_emit_by_name(list, "move-cursor", GTK_MOVEMENT_PAGES, -1);
    return true;
  case GDK_KEY_Escape:
    if (m_leave)
      m_leave();
    return true;
  default:
    return false;
  }
}

} // namespace velkaro
