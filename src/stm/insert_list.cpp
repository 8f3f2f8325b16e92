#include "stm/insert_list.h"

#include <cmath>

#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gdkmm/pixbuf.h>
#include <gtkmm/image.h>
#include <gtkmm/imagemenuitem.h>

#include "common/c_resource.h"
#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/ports/icanvas.h"
#include "stm/context.h"
#include "stm/doc/elms.h"
#include "stm/doc/workspace.h"
#include "stm/points_drawer.h"
#include "stm/vk_menu.h"
#include "view/color_map.h"
#include "view/drawer_context.h"

namespace velkaro {

namespace {

// The side of a point item's icon, in pixels.
constexpr double ICON_SIZE = 30.0;

// Runs the work of an item as one step of its context's history, when the
// context still lives.
template <class Work>
void on_activate(Gtk::MenuItem& item, const StmContext& ctrl, Work work)
{
  std::weak_ptr<const CtrlContext> weak = ctrl.shared_from_this();
  item.signal_activate().connect([weak, work] {
    if (const auto locked = std::const_pointer_cast<CtrlContext>(weak.lock()))
      work(locked->get_c<StmContext>());
  });
}

Gtk::Image* drawn_icon(const std::string& name)
{
  const Rectangle gr{0, 0, ICON_SIZE, ICON_SIZE};
  const auto dc = ViewDrawerContext::create_make_surface(gr);
  dc->color_map = ViewColorMap::create_light();
  StmPointsDrawer drawer;
  drawer.draw_to_pixbuf(dc, name, gr);
  dc->surface->flush();
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_surface(dc->surface->cobj(), 0, 0, int(ICON_SIZE), int(ICON_SIZE));
  return Gtk::manage(new Gtk::Image(Glib::wrap(pixbuf)));
}

// The menu goes once GTK has finished with it (the chosen item's
// activation comes after the menu's deactivation).
void destroy_later(VKMenu* menu)
{
  // Held until then, so that a second request destroys nothing twice.
  GtkWidget* widget = GTK_WIDGET(g_object_ref(menu->gobj()));
  Glib::signal_idle().connect_once([widget] {
    gtk_widget_destroy(widget);
    g_object_unref(widget);
  });
}

struct PositionBlock {
  std::weak_ptr<const CtrlContext> ctrl;
};

void position_menu(GtkMenu*, gint* x, gint* y, gboolean* push_in, gpointer data)
{
  *push_in = FALSE;
  const auto* block = static_cast<const PositionBlock*>(data);
  const auto ctrl = block->ctrl.lock();
  if (!ctrl)
    return;
  if (const auto at = StmInsertList::screen_position(dynamic_cast<const StmContext&>(*ctrl))) {
    *x = at->first;
    *y = at->second;
  }
}

} // namespace

std::optional<std::pair<int, int>> StmInsertList::screen_position(const StmContext& ctrl)
{
  const auto& canvas = ctrl.get_canvas();
  Gtk::Widget* widget = canvas ? canvas->get_widget() : nullptr;
  if (!widget || !widget->get_realized())
    return std::nullopt;
  Gtk::Widget* top = widget->get_toplevel();
  if (!top || !top->get_realized())
    return std::nullopt;
  int ox = 0;
  int oy = 0;
  top->get_window()->get_origin(ox, oy);
  // The canvas's place in its window, its scroll position included.
  int cx = 0;
  int cy = 0;
  if (!widget->translate_coordinates(*top, 0, 0, cx, cy))
    return std::nullopt;
  Point corner = ctrl.get_now_cell_bottom_right_pt();
  ctrl.translate_pt_ws_to_wnd(corner);
  return std::pair{ox + cx + int(std::trunc(corner.get_x())), oy + cy + int(std::trunc(corner.get_y()))};
}

Gtk::MenuItem* StmInsertList::make_line_item(StmContext& ctrl, const std::string& name, const std::string& label)
{
  auto* item = Gtk::manage(new Gtk::MenuItem(label, true));
  on_activate(*item, ctrl, [name](StmContext& ctx) {
    ctx.with_diff_if([&ctx, &name] { return ctx.insert_elm(name); });
  });
  return item;
}

Gtk::MenuItem* StmInsertList::make_point_item(StmContext& ctrl, const std::string& name, const std::string& label)
{
  auto* item = Gtk::manage(new Gtk::ImageMenuItem(*drawn_icon(name), label, true));
  item->set_always_show_image(true);
  on_activate(*item, ctrl, [name](StmContext& ctx) {
    // A cell that refuses the state leaves no step behind.
    ctx.with_diff_if([&ctx, &name] { return ctx.get_stm_ws()->insert_elm(ctx.get_now_cell(), name); });
  });
  return item;
}

VKMenu* StmInsertList::show_menu(StmContext& ctrl, bool with_transition)
{
  if (!screen_position(ctrl))
    return nullptr;
  auto* menu = Gtk::manage(new VKMenu());
  if (with_transition)
    menu->append(*make_line_item(ctrl, "transaction", "_Transaction"));
  else
    menu->append(*make_line_item(ctrl, "concurrent", "_Concurrent"));
  for (const auto& row : StmElms::point_kinds())
    menu->append(*make_point_item(ctrl, row.name, row.label));
  menu->show_all();

  guint button = 0;
  guint32 time = GDK_CURRENT_TIME;
  if (GdkEvent* event = gtk_get_current_event()) {
    const CPtr<GdkEvent, gdk_event_free> owned(event);
    (void)gdk_event_get_button(event, &button);
    time = gdk_event_get_time(event);
  }
  menu->signal_deactivate().connect([menu] { destroy_later(menu); });
  // The position's block lives as long as the menu, whether or not GTK
  // keeps the position function.
  auto* block = new PositionBlock{ctrl.shared_from_this()};
  g_object_set_data_full(G_OBJECT(menu->gobj()), "velkaro-insert-list-position", block,
                         [](gpointer data) { delete static_cast<PositionBlock*>(data); });
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_menu_popup_for_device(menu->gobj(), nullptr, nullptr, nullptr, position_menu, block, nullptr, button, time);
  G_GNUC_END_IGNORE_DEPRECATIONS
  if (!menu->get_mapped()) {
    // No grab to be had: nothing is shown, and nothing is kept.
    destroy_later(menu);
    return nullptr;
  }
  return menu;
}

} // namespace velkaro
