// The text editor: construction, target, settings, selection and
// notification. Motions are in text_editor_motion.cpp, edits and the
// clipboard in text_editor_edit.cpp, activation and the input method in
// text_editor_input.cpp.
#include "ctrl/text/text_editor.h"

#include <algorithm>
#include <utility>

#include <gdk/gdk.h>
#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <pango/pangocairo.h>
#include <pangomm/layout.h>

#include "common/check.h"
#include "common/text_range.h"
#include "ctrl/keys/mouse_binder.h"
#include "ctrl/text/text_editor_clipboard.h"
#include "ctrl/text/text_editor_text.h"
#include "ctrl/keys/widget_link.h"

namespace velkaro {

using text_editor_detail::char_start_of;
using text_editor_detail::cursor_of;
using text_editor_detail::length_of;

namespace {

// What an editor edits when it has nothing else: an empty text of its own,
// shared by every editor of the process.
class CtrlTextEditorDummyTextEditable : public CtrlITextEditable {
public:
  // Laid out on GDK's default context, or on PangoCairo's without a display.
  Glib::RefPtr<Pango::Layout> new_pango_layout() override
  {
    GdkScreen* screen = gdk_screen_get_default();
    PangoContext* context = screen ? gdk_pango_context_get_for_screen(screen)
                                   : pango_font_map_create_context(pango_cairo_font_map_get_default());
    Glib::RefPtr<Pango::Layout> layout = Glib::wrap(pango_layout_new(context));
    g_object_unref(context);
    return layout;
  }
  CtrlDataForITextEditable& get_data_ite() override { return *m_data; }

private:
  std::shared_ptr<CtrlDataForITextEditable> m_data = CtrlDataForITextEditable::create();
};

const std::shared_ptr<CtrlITextEditable>& dummy_ite()
{
  static const std::shared_ptr<CtrlITextEditable> dummy = std::make_shared<CtrlTextEditorDummyTextEditable>();
  return dummy;
}

} // namespace

std::shared_ptr<CtrlTextEditor> CtrlTextEditor::create(Gtk::Widget* widget,
                                                       const std::shared_ptr<CtrlITextEditable>& ite)
{
  return std::shared_ptr<CtrlTextEditor>(new CtrlTextEditor(widget, ite));
}

std::shared_ptr<CtrlTextEditor> CtrlTextEditor::create_with_ctrl(const std::shared_ptr<CtrlContext>& ctrl,
                                                                 CtrlTextEditorContextLink link)
{
  VK_CHECK_VAL(ctrl, nullptr);
  return std::shared_ptr<CtrlTextEditor>(new CtrlTextEditor(ctrl, std::move(link)));
}

CtrlTextEditor::CtrlTextEditor(Gtk::Widget* widget, const std::shared_ptr<CtrlITextEditable>& ite)
  : m_clipboard(CtrlTextEditorClipboard::get_default()), m_im_context(gtk_im_multicontext_new())
{
  watch_widget(widget);
  set_ite(ite);
  if (ite)
    update_cursor_point_x();
}

CtrlTextEditor::CtrlTextEditor(const std::shared_ptr<CtrlContext>& ctrl, CtrlTextEditorContextLink link)
  : m_ctrl(ctrl),
    m_link(std::move(link)),
    m_clipboard(CtrlTextEditorClipboard::get_default()),
    m_im_context(gtk_im_multicontext_new())
{
  // The context may still be under construction: nothing is asked of it but
  // its canvas.
  watch_widget(m_link.get_canvas ? m_link.get_canvas() : nullptr);
}

CtrlTextEditor::~CtrlTextEditor()
{
  shut_down_input();
  unwatch_widget();
}

std::shared_ptr<CtrlITextEditable> CtrlTextEditor::get_ite()
{
  if (m_ite)
    return m_ite;
  if (std::shared_ptr<CtrlITextEditable> ite = get_context_ite())
    return ite;
  return dummy_ite();
}

std::shared_ptr<CtrlITextEditable> CtrlTextEditor::get_context_ite() const
{
  return m_link.get_now_text_elm ? m_link.get_now_text_elm() : nullptr;
}

void CtrlTextEditor::set_ite(const std::shared_ptr<CtrlITextEditable>& ite)
{
  // A composition belongs to the text it began in: finished here, it would
  // put that text into the next one.
  end_preedit();
  if (const std::shared_ptr<CtrlITextEditable> old = m_ite ? m_ite : get_context_ite())
    old->set_is_editing(false);
  m_ite = ite;
  if (ite)
    ite->set_is_editing(m_is_activated);
  m_signal_notify.emit("ite");
}

Gtk::Widget* CtrlTextEditor::get_widget() const
{
  if (m_widget)
    return Glib::wrap(m_widget);
  return m_link.get_canvas ? m_link.get_canvas() : nullptr;
}

void CtrlTextEditor::set_widget(Gtk::Widget* widget)
{
  unwatch_widget();
  watch_widget(widget);
}

void CtrlTextEditor::watch_widget(Gtk::Widget* widget)
{
  if (!widget)
    return;
  m_widget = widget->gobj();
  g_object_add_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
}

void CtrlTextEditor::unwatch_widget()
{
  if (m_widget)
    g_object_remove_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
  m_widget = nullptr;
}

int32_t CtrlTextEditor::get_cursor_point_x()
{
  return get_ite()->get_data_ite().get_cursor_point_x();
}

void CtrlTextEditor::set_cursor_point_x(int32_t x)
{
  get_ite()->get_data_ite().set_cursor_point_x(x);
}

void CtrlTextEditor::set_mouse_offset_pt(const Point& pt)
{
  m_mouse_offset_pt = pt;
  update_mouse_offset_pt();
  m_signal_notify.emit("mouse-offset-pt");
}

void CtrlTextEditor::set_clipboard(const std::shared_ptr<CtrlTextEditorClipboard>& clipboard)
{
  VK_CHECK(clipboard);
  m_clipboard = clipboard;
}

void CtrlTextEditor::set_is_selecting(bool on)
{
  if (on && !m_is_selecting)
    m_selection_anchor = cursor_of(*get_ite());
  m_is_selecting = on;
  update_text_range();
  m_signal_notify.emit("is-selecting");
}

void CtrlTextEditor::update_text_range()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const std::shared_ptr<TextRange> range = ite->get_text_range();
  if (!m_is_selecting) {
    range->clear();
    return;
  }
  const int32_t anchor =
    m_selection_anchor == -1 ? length_of(ite->get_text()) : char_start_of(*ite, m_selection_anchor);
  const int32_t cursor = cursor_of(*ite);
  if (anchor > cursor)
    range->set_range(cursor, ite->get_next_or_prev_char(anchor, true));
  else
    range->set_range(anchor, ite->get_next_or_prev_char(cursor, true));
}

void CtrlTextEditor::select(int32_t start, int32_t end)
{
  get_ite()->get_text_range()->set_range(start, end);
}

void CtrlTextEditor::update_cursor_point_x()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout();
  if (!layout)
    return;
  const Pango::Rectangle pos = layout->index_to_pos(cursor_of(*ite));
  // Integer division truncates toward zero, as whole pixels should.
  ite->get_data_ite().set_cursor_point_x(pos.get_x() / PANGO_SCALE);
}

void CtrlTextEditor::emit_update_text(const std::string& /*prev*/)
{
  update_text_range();
  m_signal_update.emit(get_ite(), true);
}

void CtrlTextEditor::emit_update_cursor()
{
  update_text_range();
  m_signal_update.emit(get_ite(), false);
}

void CtrlTextEditor::emit_overstep(int dx, int dy)
{
  m_signal_overstep_cursor_limit.emit(dx, dy, get_cursor_point_x());
}

void CtrlTextEditor::commit_text(CtrlITextEditable& ite, const std::string& text, const std::function<void()>& finish)
{
  // A text larger than its holder may hold is not made: the change does
  // nothing.
  if (!ite.get_accepts_text(text))
    return;
  const std::string prev = ite.get_text();
  ite.set_text(text);
  if (finish)
    finish();
  emit_update_text(prev);
}

std::string CtrlTextEditor::cancel_preedit()
{
  const std::shared_ptr<CtrlITextEditable> ite = get_ite();
  std::string before = ite->get_text();
  if (!m_preedit_active)
    return before;
  m_preedit_active = false;
  commit_text(*ite, m_preedit_saved_text, [&] {
    if (const Glib::RefPtr<Pango::Layout> layout = ite->get_pango_layout())
      pango_layout_set_attributes(layout->gobj(), nullptr);
    ite->set_cursor_index(m_preedit_saved_cursor);
    update_cursor_point_x();
  });
  return before;
}

bool CtrlTextEditor::on_press_left_button(const Point& pt)
{
  Point at = pt;
  at.sub(get_ite()->get_pango_layout_offset());
  move_cursor_at_xy(at);
  set_is_selecting(false);
  return true;
}

bool CtrlTextEditor::on_drag_with_left_button(const Point&, const Point& now_pt)
{
  set_is_selecting(true);
  Point at = now_pt;
  at.sub(get_ite()->get_pango_layout_offset());
  move_cursor_at_xy(at);
  return true;
}

bool CtrlTextEditor::on_release_left_button(const Point&) { return true; }

double CtrlTextEditor::get_zoom() const
{
  return m_link.get_zoom ? m_link.get_zoom() : 1.0;
}

} // namespace velkaro
