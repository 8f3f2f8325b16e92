#include "seq/seq_modes_for_test.h"

#include <gtk/gtk.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_with_action.h"
#include "model/grid.h"

namespace velkaro::test {

SeqKit::SeqKit()
  : ws(new_ws()),
    ctx(SeqContext::create(ws)),
    main_view(std::make_shared<SeqTestMainView>()),
    command_bar(std::make_shared<SeqTestCommandBar>()),
    context_menu(std::make_shared<SeqTestContextMenu>()),
    main_window(std::make_shared<SeqTestMainWindow>()),
    canvas(std::make_shared<StandardCanvas>(*ctx))
{
  main_view->log = log;
  context_menu->log = log;
  main_window->log = log;
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
  settle();
  log->clear();
}

SeqKit::~SeqKit()
{
  // The modes go back to the cell mode while the canvas still stands.
  ctx->change_to_cell_mode();
  settle();
}

void SeqKit::keys(std::string_view pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  GtkWidget* widget = GTK_WIDGET(canvas->gobj());
  for (const auto& key : keys.get_keys()) {
    for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      auto event = key_event(type, canvas->get_window()->gobj(), key.get_keyval(), key.get_state());
      gtk_widget_event(widget, event.get());
    }
  }
}

void SeqKit::button(GdkEventType type, guint button, double x, double y, guint state)
{
  const double zoom = canvas->get_zoom();
  auto event = button_event(type, canvas->get_window()->gobj(), button, x * zoom, y * zoom, state);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

void SeqKit::motion(double x, double y, guint state)
{
  const double zoom = canvas->get_zoom();
  auto event = motion_event(canvas->get_window()->gobj(), state, x * zoom, y * zoom);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

void SeqKit::press(const CellPos& cell)
{
  const auto pt = cell_centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void SeqKit::release(const CellPos& cell)
{
  const auto pt = cell_centre(*ws, cell);
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void SeqKit::click(const CellPos& cell)
{
  press(cell);
  release(cell);
}

void SeqKit::double_press(const CellPos& cell)
{
  const auto pt = cell_centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
  button(GDK_2BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void SeqKit::drag_to(const CellPos& cell)
{
  const auto pt = cell_centre(*ws, cell);
  motion(pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void SeqKit::right_press(const CellPos& cell)
{
  const auto pt = cell_centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_SECONDARY, pt.get_x(), pt.get_y());
}

void SeqTestContextMenu::show_menu(CtrlContext& ctx)
{
  const auto& mode = ctx.get_now_mode();
  log->push_back("menu:show " + (mode ? mode->get_name() : std::string("(none)")));
}

bool SeqTestMainWindow::raise_delete_request()
{
  log->push_back("window:delete_request");
  return true;
}

bool SeqTestMainWindow::activate_action(const std::string& name, const std::optional<std::string>&)
{
  log->push_back("window:activate " + name);
  return false;
}

Point cell_centre(ModelWorkspace& ws, const CellPos& cell)
{
  const Rectangle rect = ws.grid->get_rect(cell.x, cell.y);
  return Point(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

size_t SeqKit::undo_steps() const { return ctx->get_action_proc()->get_undo_stack().size(); }

void SeqKit::undo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    ctx->get_action_proc()->undo(true);
}

void SeqKit::redo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    ctx->get_action_proc()->redo();
}

void SeqKit::undo_all()
{
  ctx->change_to_cell_mode();
  undo(undo_steps());
}

int marked_in_process(ModelWorkspace& ws)
{
  int n = 0;
  ws.get_cells()->foreach([&n](int32_t, int32_t, const ElementPtr& head) {
    head->foreach([&n](const ElementPtr& e) { n += e->in_process ? 1 : 0; });
    return true;
  });
  return n;
}

std::shared_ptr<SeqMessage> add_message(SeqWorkspace& ws, int32_t x, int32_t y, const CellRange& range, int32_t point)
{
  int32_t right = 1;
  auto msg = ws.insert_message({x, y}, right, &range, point);
  ws.clear_in_process();
  return msg;
}

std::shared_ptr<SeqExecSpec> add_exec_spec(SeqWorkspace& ws, int32_t x, int32_t y, int32_t step, const CellRange* range)
{
  auto es = ws.insert_execspec({x, y}, step, range, true);
  ws.clear_in_process();
  return es;
}

void add_fragment(SeqWorkspace& ws, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
  const CellRange r{{x0, y0}, {x1, y1}};
  EXPECT_TRUE(ws.insert_frag(r));
  ws.clear_in_process();
}

} // namespace velkaro::test
