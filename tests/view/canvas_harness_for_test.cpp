#include "view/canvas_harness_for_test.h"

#include <gtk/gtk.h>

#include "ctrl/context.h"
#include "ctrl/gdk_events_for_test.h"
#include "view/cell_cursor_drawer.h"
#include "view/grid_drawer.h"
#include "view/selected_range_drawer.h"
#include "view/viewport_drawer.h"

namespace velkaro::test {

StandardCanvas::StandardCanvas(CtrlContext& ctrl) : ViewCanvas(ctrl)
{
  drawers.push_back(std::make_shared<ViewHVGridDrawer>());
  drawers.push_back(std::make_shared<ViewCellCursorDrawer>());
  drawers.push_back(std::make_shared<ViewSelectedRangeDrawer>());
  drawers.push_back(std::make_shared<ViewViewportDrawer>());
}

CanvasHarness::CanvasHarness(CtrlContext& ctrl, std::shared_ptr<ViewCanvas> canvas, int width, int height)
  : canvas(std::move(canvas))
{
  sw.set_size_request(width, height);
  // Scroll bars that take room (no overlay), as on a desktop without
  // overlay scrolling.
  sw.set_overlay_scrolling(false);
  sw.set_policy(Gtk::POLICY_ALWAYS, Gtk::POLICY_ALWAYS);
  sw.add(*this->canvas);
  window.add(sw);
  this->canvas->set_scrolled_window(sw);
  ctrl.set_canvas(this->canvas);
  window.show_all();
  settle();
  this->canvas->update();
  settle();
}

CanvasHarness::~CanvasHarness()
{
  // The canvas outlives the window (the controller holds it): take it out
  // before the window destroys what it holds.
  if (Gtk::Container* parent = canvas->get_parent())
    parent->remove(*canvas);
}

void CanvasHarness::settle() { test::settle(); }

Cairo::RefPtr<Cairo::ImageSurface> CanvasHarness::render()
{
  settle();
  const int width = static_cast<int>(sw.get_hadjustment()->get_page_size());
  const int height = static_cast<int>(sw.get_vadjustment()->get_page_size());
  auto image = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
  auto cr = Cairo::Context::create(image);
  cr->translate(-sw.get_hadjustment()->get_value(), -sw.get_vadjustment()->get_value());
  gtk_widget_draw(GTK_WIDGET(canvas->gobj()), cr->cobj());
  image->flush();
  return image;
}

} // namespace velkaro::test
