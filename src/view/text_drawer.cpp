#include "view/text_drawer.h"

#include <algorithm>
#include <typeinfo>

#include <pango/pango.h>
#include <pangomm/layout.h>

#include "common/text_range.h"
#include "ctrl/context.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/text/mode_text.h"
#include "model/text_element.h"
#include "view/cairo_guard.h"
#include "view/drawer_context.h"

namespace velkaro {

// --- the holder of a bare layout ---------------------------------------------

ViewTextDrawerIntegrationLayoutAndIte::ViewTextDrawerIntegrationLayoutAndIte(
  const Glib::RefPtr<Pango::Layout>& layout, int32_t cursor_index, const std::shared_ptr<TextRange>& range)
{
  set_pango_layout(layout);
  if (cursor_index >= 0) {
    set_cursor_index(cursor_index);
    set_is_editing(true);
  } else {
    set_is_editing(false);
  }
  set_text_range(range);
}

// --- the drawer -----------------------------------------------------------------

bool ViewTextDrawer::add_ite(const std::shared_ptr<CtrlITextEditable>& ite)
{
  if (!ite || std::find(m_ites.begin(), m_ites.end(), ite) != m_ites.end())
    return false;
  m_ites.push_back(ite);
  return true;
}

bool ViewTextDrawer::add_layout(const Glib::RefPtr<Pango::Layout>& layout, int32_t cursor_index,
                                const std::shared_ptr<TextRange>& range)
{
  if (!layout)
    return false;
  return add_ite(std::make_shared<ViewTextDrawerIntegrationLayoutAndIte>(layout, cursor_index, range));
}

void ViewTextDrawer::draw()
{
  const auto& clip = get_clip_region();
  if (!clip)
    return;
  for (const auto& ite : m_ites) {
    Rectangle rect = ite->get_pango_layout_rect();
    rect.x += offset.get_x();
    rect.y += offset.get_y();
    if (!rect.is_intersect_region(clip->cobj()))
      continue;
    const auto own = ite->get_pango_layout();
    if (!own)
      continue;
    // The selection must not reach the holder's own layout; without one the
    // own layout is drawn as it is, shaped once for every draw.
    const auto range = shows_editor() ? ite->get_text_range() : nullptr;
    auto layout = own;
    if (range && std::max(0, range->end) > std::max(0, range->start)) {
      layout = own->copy();
      set_attr_select_range(layout, *range);
    }
    const Cursor cursor = cursor_for(*ite);
    m_now_ite = ite;
    draw_pango_layout(layout, Point(rect.x, rect.y), cursor.color, cursor.index, cursor.normal, cursor.visual);
  }
}

bool ViewTextDrawer::shows_editor() const { return !get_dc() || get_dc()->shows_editor; }

ViewTextDrawer::Cursor ViewTextDrawer::cursor_for(CtrlITextEditable& ite) const
{
  Cursor cursor{get_color(ViewColor::active_text_cursor), ite.get_cursor_index(), false, false};
  if (!shows_editor()) {
    cursor.index = -1;
    return cursor;
  }
  const auto ctrl = get_ctrl();
  if (!ctrl) {
    if (!ite.get_is_editing())
      cursor.index = -1;
    return cursor;
  }
  const auto text = ctrl->get_now_text_elm();
  if (!text || static_cast<CtrlITextEditable*>(text.get()) != &ite) {
    cursor.index = -1;
    return cursor;
  }
  const auto& mode = ctrl->get_now_mode();
  if (const auto* text_mode = dynamic_cast<const CtrlATextModeRoot*>(mode.get())) {
    // The role is the mode's exact class, never a class derived from it.
    const std::type_index type(typeid(*mode));
    cursor.normal = type == text_mode->get_normal_mode();
    cursor.visual = type == text_mode->get_visual_mode();
  } else {
    cursor.color = get_color(ViewColor::inactive_text_cursor);
  }
  return cursor;
}

void ViewTextDrawer::set_attr_select_range(const Glib::RefPtr<Pango::Layout>& layout, const TextRange& range)
{
  const GdkRGBA c = get_color(ViewColor::selected_text);
  const auto channel = [](double v) { return static_cast<guint16>(v * 65535); };
  PangoAttribute* background = pango_attr_background_new(channel(c.red), channel(c.green), channel(c.blue));
  background->start_index = static_cast<guint>(std::max(0, range.start));
  background->end_index = static_cast<guint>(std::max(0, range.end));
  // A new list: a layout does not notice a change made inside its own one.
  PangoAttrList* old = pango_layout_get_attributes(layout->gobj());
  PangoAttrList* list = old ? pango_attr_list_copy(old) : pango_attr_list_new();
  pango_attr_list_insert(list, background);
  pango_layout_set_attributes(layout->gobj(), list);
  pango_attr_list_unref(list);
}

void ViewTextDrawer::draw_pango_layout(const Glib::RefPtr<Pango::Layout>& layout, const Point& pt,
                                       const GdkRGBA& cursor_color, int32_t cursor_index, bool normal, bool visual)
{
  const auto& cr = get_cr();
  const CairoSaveGuard saved(cr);
  set_source(ViewColor::text);
  cr->move_to(pt.get_x(), pt.get_y());
  layout->show_in_cairo_context(cr);
  if (cursor_index < 0)
    return;
  const int32_t length = static_cast<int32_t>(layout->get_text().bytes());
  const Pango::Rectangle pos = layout->index_to_pos(std::min(cursor_index, length));
  const double scale = PANGO_SCALE;
  double x = pt.get_x() + 0.5 + pos.get_x() / scale;
  double y = pt.get_y() - 0.5 + pos.get_y() / scale;
  double width = 2.0;
  double height = pos.get_height() / scale;
  if (normal) {
    // A block that inverts what lies under it.
    cairo_set_operator(cr->cobj(), CAIRO_OPERATOR_DIFFERENCE);
    cr->set_source_rgb(1, 1, 1);
  } else {
    set_source(cursor_color);
  }
  if (normal || visual) {
    width = pos.get_width() / scale;
    // An empty glyph, as at the end of the text.
    if (width < 1)
      width = visual ? 10 : 6;
  }
  if (visual) {
    y += height - 3;
    height = 3;
  }
  cr->rectangle(x, y, width, height);
  cr->fill();
  if (!m_now_ite)
    return;
  const auto ctrl = get_ctrl();
  const auto& canvas = ctrl ? ctrl->get_canvas() : nullptr;
  cairo_rectangle_int_t location{static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                                 static_cast<int>(height)};
  m_now_ite->set_cursor_location(location, canvas ? canvas->get_zoom() : 1.0);
}

} // namespace velkaro
