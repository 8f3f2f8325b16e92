#include "view/editor_kit_for_test.h"

#include <gtk/gtk.h>

#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/mode_scripts_for_test.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/document_for_test.h"
#include "model/workspace.h"
#include "view/canvas.h"

namespace velkaro::test {

EditorKit::EditorKit(std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<CtrlContext> ctx,
                     std::shared_ptr<ViewCanvas> canvas)
  : m_ws(std::move(ws)),
    m_ctx(std::move(ctx)),
    m_canvas(std::move(canvas))
{
  attach_to(*m_ctx);
  harness = std::make_unique<CanvasHarness>(*m_ctx, m_canvas);
  m_canvas->set_can_focus(true);
  m_canvas->grab_focus();
  for (const auto& mode : m_ctx->get_mode_list())
    if (const auto text = std::dynamic_pointer_cast<CtrlATextModeRoot>(mode))
      use_simple_input_method(*text->get_text_editor());
  settle();
  log->clear();
}

EditorKit::~EditorKit()
{
  // The modes go back to the cell mode while the canvas still stands; the
  // window goes before the context its canvas draws.
  m_ctx->change_to_cell_mode();
  settle();
  harness.reset();
}

void EditorKit::use_simple_input_method(CtrlTextEditor& editor)
{
  gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(editor.get_im_context()), "gtk-im-context-simple");
}

void EditorKit::keys(std::string_view pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  GtkWidget* widget = GTK_WIDGET(m_canvas->gobj());
  for (const auto& key : keys.get_keys()) {
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      auto event = key_event(type, m_canvas->get_window()->gobj(), key.get_keyval(), key.get_state());
      gtk_widget_event(widget, event.get());
    }
  }
}

void EditorKit::button(GdkEventType type, guint button, double x, double y, guint state)
{
  const double zoom = m_canvas->get_zoom();
  auto event = button_event(type, m_canvas->get_window()->gobj(), button, x * zoom, y * zoom, state);
  gtk_widget_event(GTK_WIDGET(m_canvas->gobj()), event.get());
}

void EditorKit::motion(double x, double y, guint state)
{
  const double zoom = m_canvas->get_zoom();
  auto event = motion_event(m_canvas->get_window()->gobj(), state, x * zoom, y * zoom);
  gtk_widget_event(GTK_WIDGET(m_canvas->gobj()), event.get());
}

void EditorKit::press_pt(const Point& pt) { button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y()); }

void EditorKit::release_pt(const Point& pt)
{
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void EditorKit::double_press_pt(const Point& pt)
{
  press_pt(pt);
  release_pt(pt);
  press_pt(pt);
  button(GDK_2BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void EditorKit::drag_pt(const Point& pt) { motion(pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK); }

void EditorKit::click(const CellPos& cell)
{
  press(cell);
  release(cell);
}

void EditorKit::right_press(const CellPos& cell)
{
  const Point pt = centre(cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_SECONDARY, pt.get_x(), pt.get_y());
}

Point EditorKit::centre(const CellPos& cell) const { return centre_of(*m_ws, cell); }

std::string EditorKit::doc() const { return document_of(*m_ws); }

size_t EditorKit::undo_steps() const { return m_ctx->get_action_proc()->get_undo_stack().size(); }

size_t EditorKit::redo_steps() const
{
  const auto& redo = m_ctx->get_action_proc()->get_redo_stack();
  return redo ? redo->size() : 0;
}

void EditorKit::undo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    m_ctx->get_action_proc()->undo(true);
}

void EditorKit::redo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    m_ctx->get_action_proc()->redo();
}

void EditorKit::undo_all()
{
  m_ctx->change_to_cell_mode();
  undo(undo_steps());
}

} // namespace velkaro::test
