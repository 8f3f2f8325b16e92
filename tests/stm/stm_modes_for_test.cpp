#include "stm/stm_modes_for_test.h"

#include <gtk/gtk.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/window.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/key_action_map_key_pattern.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/text/text_editor_with_action.h"
#include "ctrl/undo/action_processor.h"
#include "model/grid.h"
#include "view/bars_for_test.h"

namespace velkaro::test {

namespace {

Point centre(ModelWorkspace& ws, const CellPos& cell)
{
  const Rectangle rect = ws.grid->get_rect(cell.x, cell.y);
  return Point(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

} // namespace

StmKit::StmKit()
  : ws(new_stm_ws()),
    ctx(StmContext::create(ws)),
    main_view(std::make_shared<TestMainView>(log)),
    command_bar(std::make_shared<TestCommandBar>(log)),
    context_menu(std::make_shared<TestContextMenu>(log)),
    main_window(std::make_shared<TestMainWindow>(log)),
    canvas(std::make_shared<StmCanvas>(*ctx))
{
  ctx->set_main_window(main_window);
  ctx->set_main_view(main_view);
  ctx->set_command_bar(command_bar);
  ctx->set_context_menu(context_menu);
  harness = std::make_unique<CanvasHarness>(*ctx, canvas);
  canvas->set_can_focus(true);
  canvas->grab_focus();
  for (const auto& mode : ctx->get_mode_list())
    if (const auto text = std::dynamic_pointer_cast<CtrlATextModeRoot>(mode))
      gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(text->get_text_editor()->get_im_context()),
                                         "gtk-im-context-simple");
  settle();
  log->clear();
}

StmKit::~StmKit()
{
  close_popups();
  ctx->change_to_cell_mode();
  settle();
}

void StmKit::keys(std::string_view pattern)
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

void StmKit::button(GdkEventType type, guint button, double x, double y, guint state)
{
  const double zoom = canvas->get_zoom();
  auto event = button_event(type, canvas->get_window()->gobj(), button, x * zoom, y * zoom, state);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

void StmKit::motion(double x, double y, guint state)
{
  const double zoom = canvas->get_zoom();
  auto event = motion_event(canvas->get_window()->gobj(), state, x * zoom, y * zoom);
  gtk_widget_event(GTK_WIDGET(canvas->gobj()), event.get());
}

void StmKit::press(const CellPos& cell)
{
  const auto pt = centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void StmKit::release(const CellPos& cell)
{
  const auto pt = centre(*ws, cell);
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void StmKit::click(const CellPos& cell)
{
  press(cell);
  release(cell);
}

void StmKit::double_press(const CellPos& cell)
{
  const auto pt = centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
  button(GDK_BUTTON_RELEASE, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
  button(GDK_2BUTTON_PRESS, GDK_BUTTON_PRIMARY, pt.get_x(), pt.get_y());
}

void StmKit::drag_to(const CellPos& cell)
{
  const auto pt = centre(*ws, cell);
  motion(pt.get_x(), pt.get_y(), GDK_BUTTON1_MASK);
}

void StmKit::right_press(const CellPos& cell)
{
  const auto pt = centre(*ws, cell);
  button(GDK_BUTTON_PRESS, GDK_BUTTON_SECONDARY, pt.get_x(), pt.get_y());
}

size_t StmKit::undo_steps() const { return ctx->get_action_proc()->get_undo_stack().size(); }

void StmKit::undo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    ctx->get_action_proc()->undo(true);
}

void StmKit::redo(size_t n)
{
  for (size_t i = 0; i < n; ++i)
    ctx->get_action_proc()->redo();
}

VKMenu* StmKit::popup_by_keys(std::string_view pattern)
{
  for (int attempt = 0; attempt < 100; ++attempt) {
    keys(pattern);
    settle();
    if (VKMenu* menu = shown_popup())
      return menu;
    g_usleep(20000);
  }
  return nullptr;
}

VKMenu* shown_popup()
{
  for (Gtk::Window* top : Gtk::Window::list_toplevels()) {
    if (!top->get_mapped())
      continue;
    if (auto* menu = dynamic_cast<VKMenu*>(top->get_child()))
      return menu;
  }
  return nullptr;
}

void menu_keys(VKMenu& menu, std::string_view pattern)
{
  const CtrlKeyActionMapKeyPattern keys(pattern);
  for (const auto& key : keys.get_keys()) {
    GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(menu.gobj()));
    auto event = key_event(GDK_KEY_PRESS, window, key.get_keyval(), key.get_state());
    // GTK's menu keys are key bindings, which go by the hardware key.
    GdkKeymapKey* entries = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_window_get_display(window)),
                                          key.get_keyval(), &entries, &n) &&
        n > 0) {
      event->key.hardware_keycode = static_cast<guint16>(entries[0].keycode);
      event->key.group = static_cast<guint8>(entries[0].group);
    }
    g_free(entries);
    gtk_widget_event(GTK_WIDGET(menu.gobj()), event.get());
  }
}

std::vector<std::string> labels_of(VKMenu& menu)
{
  std::vector<std::string> labels;
  for (Gtk::MenuItem* item : items_of(menu))
    labels.push_back(item->get_label());
  return labels;
}

std::string selected_label(VKMenu& menu)
{
  GtkWidget* selected = gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(menu.gobj()));
  return selected ? gtk_menu_item_get_label(GTK_MENU_ITEM(selected)) : "";
}

int in_process_count(ModelWorkspace& ws)
{
  int n = 0;
  ws.get_cells()->foreach([&n](int32_t, int32_t, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&n](const std::shared_ptr<ModelElement>& e) { n += e->in_process ? 1 : 0; });
    return true;
  });
  return n;
}

void close_popups()
{
  while (VKMenu* menu = shown_popup())
    menu->deactivate();
  run_main_loop_for(5);
}

} // namespace velkaro::test
