#include "cls/cls_ctrl_kit_for_test.h"

#include <gtk/gtk.h>

#include "cls/doc/yank_buffer.h"
#include "common/rectangle.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/document_for_test.h"
#include "model/grid.h"

namespace velkaro::test {

ClsKit::ClsKit()
  : ws(ModelWorkspace::create<ClsWorkspace>()),
    ctx(ClsContext::create(ws)),
    main_view(std::make_shared<TestMainView>(log)),
    command_bar(std::make_shared<TestCommandBar>(log)),
    context_menu(std::make_shared<TestContextMenu>(log)),
    main_window(std::make_shared<TestMainWindow>(log)),
    canvas(std::make_shared<StandardCanvas>(*ctx))
{
  ctx->set_main_window(main_window);
  ctx->set_main_view(main_view);
  ctx->set_command_bar(command_bar);
  ctx->set_context_menu(context_menu);
  harness = std::make_unique<CanvasHarness>(*ctx, canvas);
  canvas->set_can_focus(true);
  canvas->grab_focus();
  // Typing goes through GTK's simple input method, which takes the keys
  // the tests send.
  for (const auto& mode : ctx->get_mode_list())
    if (const auto text = std::dynamic_pointer_cast<CtrlATextModeRoot>(mode))
      gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(text->get_text_editor()->get_im_context()),
                                         "gtk-im-context-simple");
  // The yank buffer is the process's: each test starts with nothing yanked.
  ClsYankBuffer::get().start();
  settle();
  log->clear();
}

ClsKit::~ClsKit()
{
  ctx->change_to_cell_mode();
  settle();
}

void ClsKit::keys(std::string_view pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  GtkWidget* widget = GTK_WIDGET(canvas->gobj());
  for (const auto& key : keys.get_keys())
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      auto event = key_event(type, canvas->get_window()->gobj(), key.get_keyval(), key.get_state());
      gtk_widget_event(widget, event.get());
    }
}

void ClsKit::button(GdkEventType type, guint button, double x, double y, guint state)
{
  const double zoom = canvas->get_zoom();
  auto event = button_event(type, canvas->get_window()->gobj(), button, x * zoom, y * zoom, state);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

void ClsKit::press_pt(const Point& pt) { button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y()); }

void ClsKit::release_pt(const Point& pt)
{
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void ClsKit::click(const CellPos& cell)
{
  press(cell);
  release(cell);
}

void ClsKit::double_press_pt(const Point& pt)
{
  press_pt(pt);
  release_pt(pt);
  press_pt(pt);
  button(GDK_2BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void ClsKit::drag_pt(const Point& pt)
{
  const double zoom = canvas->get_zoom();
  auto event = motion_event(canvas->get_window()->gobj(), GDK_BUTTON1_MASK, pt.get_x() * zoom, pt.get_y() * zoom);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

Point ClsKit::centre(const CellPos& cell) const
{
  const Rectangle rect = ws->grid->get_rect(cell.x, cell.y);
  return Point(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

std::string ClsKit::doc() const { return document_of(*ws); }

size_t ClsKit::undo_steps() const { return ctx->get_action_proc()->get_undo_stack().size(); }

size_t ClsKit::redo_steps() const
{
  const auto& redo = ctx->get_action_proc()->get_redo_stack();
  return redo ? redo->size() : 0;
}

} // namespace velkaro::test
