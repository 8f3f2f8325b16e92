// The text editor on its widget: activation with a mouse binder, the
// widget's key and focus handlers, the input method's commits and
// compositions.
#include <algorithm>
#include <utility>

#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <pango/pango.h>
#include <pangomm/attrlist.h>
#include <pangomm/layout.h>

#include "common/check.h"
#include "common/text_range.h"
#include "ctrl/keys/mouse_binder.h"
#include "ctrl/text/text_editor.h"
#include "ctrl/text/text_editor_text.h"
#include "ctrl/keys/widget_link.h"

namespace velkaro {

using text_editor_detail::cursor_of;
using text_editor_detail::length_of;

namespace {

// Height given to a cursor location nobody has measured yet, so that the
// input method has a place to show its window.
constexpr int FALLBACK_CURSOR_HEIGHT = 20;

using EventPtr = CPtr<GdkEvent, gdk_event_free>;
using IMContextRef = CPtr<GtkIMContext, g_object_unref>;

// The byte offset of character n of str, n clamped into 0..its length.
int32_t char_offset_in(const std::string& str, int n)
{
  const glong chars = g_utf8_strlen(str.c_str(), static_cast<gssize>(str.size()));
  const glong clamped = std::clamp<glong>(n, 0, chars);
  return static_cast<int32_t>(g_utf8_offset_to_pointer(str.c_str(), clamped) - str.c_str());
}

} // namespace

void CtrlTextEditor::activate()
{
  if (m_is_activated)
    return;
  const std::shared_ptr<CtrlTextEditor> self = keep_alive();
  Gtk::Widget* widget = get_widget();
  bind_widget(widget);

  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  cairo_rectangle_int_t location = ite->get_cursor_location();
  if (location.height == 0) {
    location.height = FALLBACK_CURSOR_HEIGHT;
    ite->set_cursor_location(location, 1.0);
  }
  tell_cursor_location();

  if (widget) {
    m_mouse_binder = CtrlMouseBinder::create(*widget, self);
    update_mouse_offset_pt();
    place_cursor_at_press(*widget);
  }
  if (m_can_edit)
    connect_widget_signals();
  get_ite()->set_is_editing(true);
  m_is_activated = true;
}

void CtrlTextEditor::deactivate()
{
  if (!m_is_activated)
    return;
  const std::shared_ptr<CtrlTextEditor> self = keep_alive();
  m_mouse_binder.reset();
  set_is_selecting(false);
  get_ite()->get_text_range()->clear();
  disconnect_widget_signals();
  get_ite()->set_is_editing(false);
  bind_widget(nullptr);
  m_is_activated = false;
}

void CtrlTextEditor::set_can_edit(bool on)
{
  const bool was = m_can_edit;
  m_can_edit = on;
  if (m_is_activated && on != was) {
    if (on)
      connect_widget_signals();
    else
      disconnect_widget_signals();
  }
  m_signal_notify.emit("can-edit");
}

std::optional<Point> CtrlTextEditor::get_drag_start_pt() const
{
  return m_mouse_binder ? m_mouse_binder->get_start_pt() : std::nullopt;
}

void CtrlTextEditor::set_drag_start_pt(const std::optional<Point>& pt)
{
  if (!m_mouse_binder)
    return;
  m_mouse_binder->set_start_pt(pt);
  m_signal_notify.emit("drag-start-pt");
}

void CtrlTextEditor::update_mouse_offset_pt()
{
  if (m_mouse_binder)
    m_mouse_binder->set_offset(m_mouse_offset_pt);
}

void CtrlTextEditor::tell_cursor_location()
{
  const cairo_rectangle_int_t location = get_ite()->get_cursor_location();
  GdkRectangle rect{location.x, location.y, location.width, location.height};
  gtk_im_context_set_cursor_location(m_im_context.get(), &rect);
}

void CtrlTextEditor::bind_widget(Gtk::Widget* widget)
{
  m_active_link.reset();
  m_active_widget = widget ? widget->gobj() : nullptr;
  if (widget) {
    m_active_link = std::make_unique<CtrlWidgetLink>(*widget, [this] {
      m_active_widget = nullptr;
      update_client_window();
    });
    // The input method must not keep a window that the widget destroys:
    // it lets go before the default handler destroys it.
    constexpr bool after_default_handler = false;
    m_active_link->add(
      widget->signal_realize().connect([this] { update_client_window(); }, after_default_handler));
    m_active_link->add(
      widget->signal_unrealize().connect([this] { set_client_window(nullptr); }, after_default_handler));
  }
  update_client_window();
}

void CtrlTextEditor::update_client_window()
{
  set_client_window(m_active_widget ? gtk_widget_get_window(m_active_widget) : nullptr);
}

void CtrlTextEditor::set_client_window(GdkWindow* window)
{
  // Unchanged, the input method is left alone: it needs a display even to
  // hear that it has no window.
  if (window == m_client_window)
    return;
  m_client_window = window;
  gtk_im_context_set_client_window(m_im_context.get(), window);
}

void CtrlTextEditor::place_cursor_at_press(Gtk::Widget& widget)
{
  const EventPtr event(gtk_get_current_event());
  if (!event || (event->type != GDK_BUTTON_PRESS && event->type != GDK_2BUTTON_PRESS))
    return;
  // A press elsewhere tells nothing about where in this text editing began.
  if (event->button.window != gtk_widget_get_window(widget.gobj()))
    return;
  // The new binder has not seen this press; the binder that reported it
  // recorded its point, divided by the same zoom.
  Point pt = CtrlMouseDispatcher::get_last_event_point();
  m_mouse_binder->set_start_pt(pt);
  pt.add(m_mouse_binder->get_offset());
  pt.sub(get_ite()->get_pango_layout_offset());
  move_cursor_at_xy(pt);
}

void CtrlTextEditor::connect_widget_signals()
{
  if (m_signals_connected)
    return;
  m_signals_connected = true;
  if (m_active_widget) {
    Gtk::Widget* widget = Glib::wrap(m_active_widget);
    widget->add_events(Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::FOCUS_CHANGE_MASK);
    widget->set_can_focus(true);
    m_widget_handlers = std::make_unique<CtrlWidgetLink>(*widget);
    // Ordinary handlers: they must see each key before a key binder, which
    // connects after the default handler.
    constexpr bool after_default_handler = false;
    m_widget_handlers->add(widget->signal_focus_in_event().connect(
      [this](GdkEventFocus* event) { return event && focus_in_cb(*event); }, after_default_handler));
    m_widget_handlers->add(widget->signal_focus_out_event().connect(
      [this](GdkEventFocus* event) { return event && focus_out_cb(*event); }, after_default_handler));
    m_widget_handlers->add(widget->signal_key_press_event().connect(
      [this](GdkEventKey* event) { return event && key_press_cb(*event); }, after_default_handler));
    m_widget_handlers->add(widget->signal_key_release_event().connect(
      [this](GdkEventKey* event) { return event && key_release_cb(*event); }, after_default_handler));
  }
  GtkIMContext* im = m_im_context.get();
  m_im_handlers = {
    g_signal_connect(im, "commit", G_CALLBACK(&CtrlTextEditor::on_im_commit), this),
    g_signal_connect(im, "preedit-start", G_CALLBACK(&CtrlTextEditor::on_im_preedit), this),
    g_signal_connect(im, "preedit-changed", G_CALLBACK(&CtrlTextEditor::on_im_preedit), this),
    g_signal_connect(im, "preedit-end", G_CALLBACK(&CtrlTextEditor::on_im_preedit), this),
  };
  if (m_active_widget && gtk_widget_has_focus(m_active_widget))
    gtk_im_context_focus_in(im);
}

void CtrlTextEditor::disconnect_widget_signals()
{
  // Handled while the input method's handlers still listen, so that it
  // reports the end of its composition the usual way.
  end_preedit();
  if (!m_signals_connected)
    return;
  m_signals_connected = false;
  m_widget_handlers.reset();
  GtkIMContext* im = m_im_context.get();
  if (m_active_widget && gtk_widget_has_focus(m_active_widget))
    gtk_im_context_focus_out(im);
  for (const gulong id : std::exchange(m_im_handlers, {}))
    g_signal_handler_disconnect(im, id);
  // An input method that said nothing leaves its composition in the text.
  cancel_preedit();
}

void CtrlTextEditor::end_preedit()
{
  if (!m_preedit_active)
    return;
  gtk_im_context_reset(m_im_context.get());
  cancel_preedit();
}

void CtrlTextEditor::shut_down_input()
{
  m_mouse_binder.reset();
  m_widget_handlers.reset();
  GtkIMContext* im = m_im_context.get();
  for (const gulong id : std::exchange(m_im_handlers, {}))
    g_signal_handler_disconnect(im, id);
  if (m_signals_connected && m_active_widget && gtk_widget_has_focus(m_active_widget))
    gtk_im_context_focus_out(im);
  m_signals_connected = false;
  m_active_link.reset();
  m_active_widget = nullptr;
  set_client_window(nullptr);
  // Only the explicit target: the context may be going as well.
  if (m_is_activated && m_ite)
    m_ite->set_is_editing(false);
  m_is_activated = false;
}

bool CtrlTextEditor::focus_in_cb(GdkEventFocus& /*event*/)
{
  if (m_can_edit)
    gtk_im_context_focus_in(m_im_context.get());
  return true;
}

bool CtrlTextEditor::focus_out_cb(GdkEventFocus& /*event*/)
{
  if (m_can_edit)
    gtk_im_context_focus_out(m_im_context.get());
  return true;
}

bool CtrlTextEditor::key_press_cb(GdkEventKey& event)
{
  if (!m_can_edit)
    return false;
  // A commit may end with the last owner of the editor letting go.
  const std::shared_ptr<CtrlTextEditor> self = keep_alive();
  const IMContextRef im(GTK_IM_CONTEXT(g_object_ref(m_im_context.get())));
  tell_cursor_location();
  return gtk_im_context_filter_keypress(im.get(), &event);
}

bool CtrlTextEditor::key_release_cb(GdkEventKey& event)
{
  if (!m_can_edit)
    return false;
  const std::shared_ptr<CtrlTextEditor> self = keep_alive();
  const IMContextRef im(GTK_IM_CONTEXT(g_object_ref(m_im_context.get())));
  return gtk_im_context_filter_keypress(im.get(), &event);
}

void CtrlTextEditor::on_im_commit(GtkIMContext* /*im*/, const char* str, gpointer self)
{
  VK_CHECK(str);
  auto* editor = static_cast<CtrlTextEditor*>(self);
  const std::shared_ptr<CtrlTextEditor> keep = editor->keep_alive();
  editor->commit_cb(str);
}

void CtrlTextEditor::on_im_preedit(GtkIMContext* /*im*/, gpointer self)
{
  auto* editor = static_cast<CtrlTextEditor*>(self);
  const std::shared_ptr<CtrlTextEditor> keep = editor->keep_alive();
  editor->preedit_cb();
}

void CtrlTextEditor::preedit_cb()
{
  tell_cursor_location();
  gchar* raw_str = nullptr;
  PangoAttrList* raw_attrs = nullptr;
  gint cursor_pos = 0;
  gtk_im_context_get_preedit_string(m_im_context.get(), &raw_str, &raw_attrs, &cursor_pos);
  const GCharPtr str(raw_str);
  // Takes over the reference it was given.
  const Pango::AttrList attrs(raw_attrs, false);
  const std::string prev = str && *str ? start_preedit(str.get(), attrs, cursor_pos) : cancel_preedit();
  emit_update_text(prev);
}

std::string CtrlTextEditor::start_preedit(const std::string& pre_str, const Pango::AttrList& attrs, int cursor_pos)
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  if (!m_preedit_active) {
    m_preedit_saved_text = ite->get_text();
    m_preedit_saved_cursor = cursor_of(*ite);
    m_preedit_active = true;
  }
  std::string text = m_preedit_saved_text;
  text.insert(static_cast<size_t>(m_preedit_saved_cursor), pre_str);
  std::string prev = ite->get_text();
  ite->set_text(text);

  if (const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout()) {
    const CPtr<PangoAttrList, pango_attr_list_unref> shifted(pango_attr_list_new());
    // splice() only copies from the list it is given.
    if (attrs.gobj())
      pango_attr_list_splice(shifted.get(), const_cast<PangoAttrList*>(attrs.gobj()), m_preedit_saved_cursor,
                             length_of(text));
    pango_layout_set_attributes(layout->gobj(), shifted.get());
  }
  ite->set_cursor_index(m_preedit_saved_cursor + char_offset_in(pre_str, cursor_pos));
  update_cursor_point_x();
  return prev;
}

} // namespace velkaro
