// CtrlContext: the cursor cell, the axis of insertion and point conversions.

#include <optional>

#include "common/cell_range.h"
#include "common/check.h"
#include "common/point.h"
#include "ctrl/context.h"
#include "ctrl/ports/icanvas.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

// Column-major order: a before b.
bool is_before(const CellPos& a, const CellPos& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }

} // namespace

CellPos CtrlContext::get_now_cell() const { return m_in_test ? m_test_cell : m_now_cell; }

CellPos CtrlContext::set_pos(const CellPos& pos)
{
  (m_in_test ? m_test_cell : m_now_cell) = pos;
  update_cell_pos();
  return pos;
}

void CtrlContext::update_cell_pos()
{
  if (m_in_test)
    return;
  if (const auto& canvas = m_ports.canvas)
    canvas->show_cell_pos();
  queue_state_changed();
}

void CtrlContext::move_pos(MovingDir dir)
{
  const auto exp = in_cell_mode ? get_now_exp() : nullptr;
  const auto mono = exp ? exp->get_mono_elm() : nullptr;
  if (!mono) {
    CellPos pos = get_now_cell();
    set_pos(pos.move(dir, 1));
    return;
  }
  for (;;) {
    const CellPos from = get_now_cell();
    CellPos to = from;
    // At the grid's edge the clamped step goes nowhere: the cursor stays on
    // the element's last cell there.
    if (to.move(dir, 1) == from)
      return;
    set_pos(to);
    const auto covering = m_ws->exp_at(to);
    if (!covering || !covering->has_elm(*mono))
      return;
  }
}

void CtrlContext::move_next(bool forward, const std::function<bool(const ModelElement& head)>& holds)
{
  const CellPos now = get_now_cell();
  std::optional<CellPos> found;
  m_ws->get_cells()->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    const CellPos pos{x, y};
    if (pos == now || !head || !holds(*head))
      return true;
    if (forward ? is_before(now, pos) && (!found || is_before(pos, *found))
                : is_before(pos, now) && (!found || is_before(*found, pos)))
      found = pos;
    return true;
  });
  if (!found)
    return;
  set_pos(*found);
  update_view();
}

void CtrlContext::cell_to_end(bool to_end)
{
  CellPos pos = get_now_cell();
  const CellDir turned = get_turned_dir();
  int32_t value = 0;
  if (to_end) {
    const auto used = m_ws->get_cells()->get_exists_range();
    value = turned == CellDir::v ? used->end.y : used->end.x;
  }
  pos.set(turned, value);
  set_pos(pos);
}

void CtrlContext::now_cell_to(const ElementPtr& elm)
{
  VK_CHECK(elm);
  set_pos(m_ws->get_cells()->get_pos(elm));
}

void CtrlContext::set_now_dir(CellDir dir)
{
  m_now_dir = dir;
  // A dry run puts the axis back unannounced, so it announces nothing.
  if (m_in_test)
    return;
  update_view();
  signal_notify().emit("now-dir");
}

CtrlContext::ElementPtr CtrlContext::get_now_elm() const { return m_ws->elm_at(get_now_cell()); }

std::shared_ptr<ModelExpStack> CtrlContext::get_now_exp() const { return m_ws->exp_at(get_now_cell()); }

std::shared_ptr<ModelTextElement> CtrlContext::get_now_text_elm()
{
  const auto head = get_now_elm();
  return head ? head->seek<ModelTextElement>(ANY_ROLE) : nullptr;
}

std::string CtrlContext::get_now_text()
{
  const auto text = get_now_text_elm();
  return text ? text->get_text() : "";
}

CellPos CtrlContext::get_epos() const { return edit_elm ? m_ws->anchor_of(edit_elm) : CellPos{-1, -1}; }

Point CtrlContext::get_now_cell_top_left_pt() const
{
  return m_ws->grid->get_top_left_point(get_now_cell());
}

Point CtrlContext::get_now_cell_bottom_right_pt() const
{
  return m_ws->grid->get_top_left_point(get_now_cell().add({1, 1}));
}

Point CtrlContext::get_now_cell_center_pt() const
{
  return Point::create_median(get_now_cell_top_left_pt(), get_now_cell_bottom_right_pt());
}

Point& CtrlContext::translate_pt_wnd_to_cell(Point& pt) const { return pt.sub(get_now_cell_top_left_pt()); }

Point& CtrlContext::translate_pt_ws_to_wnd(Point& pt) const
{
  return pt.multiply(m_ports.canvas ? m_ports.canvas->get_zoom() : 1.0);
}

CellPos CtrlContext::point_to_cell_pos(const Point& pt) const { return m_ws->grid->get_cell_pos_at_xy(pt); }

} // namespace velkaro
