#include "view/drawer.h"

#include "common/check.h"
#include "common/point.h"
#include "ctrl/context.h"
#include "view/drawer_context.h"

namespace velkaro {

ViewDrawer::ViewDrawer(const std::shared_ptr<ViewDrawerContext>& dc)
{
  VK_CHECK(dc != nullptr);
  bind(dc);
}

void ViewDrawer::bind(const std::shared_ptr<ViewDrawerContext>& dc)
{
  m_dc = dc;
  m_update_region = dc->get_region();
  m_clip_region = m_update_region;
}

void ViewDrawer::draw_for(const std::shared_ptr<ViewDrawerContext>& dc, const std::shared_ptr<CtrlContext>& ctrl)
{
  VK_CHECK(dc != nullptr);
  bind(dc);
  m_ctrl = ctrl;
  draw();
}

Cairo::RefPtr<Cairo::Region> ViewDrawer::get_dirty()
{
  if (!m_dirty)
    m_dirty = m_clip_region;
  return m_dirty;
}

const Cairo::RefPtr<Cairo::Context>& ViewDrawer::get_cr() const
{
  static const Cairo::RefPtr<Cairo::Context> none;
  return m_dc ? m_dc->cr : none;
}

void ViewDrawer::line(const Point& from, const Point& to)
{
  const auto& cr = get_cr();
  cr->move_to(from.get_x(), from.get_y());
  cr->line_to(to.get_x(), to.get_y());
}

GdkRGBA ViewDrawer::get_color(ViewColor color) const
{
  return m_dc && m_dc->color_map ? m_dc->color_map->get(color) : GdkRGBA{0, 0, 0, 0};
}

void ViewDrawer::set_source(ViewColor color) { set_source(get_color(color)); }

void ViewDrawer::set_source(const GdkRGBA& rgba) { get_cr()->set_source_rgba(rgba.red, rgba.green, rgba.blue, rgba.alpha); }

} // namespace velkaro
