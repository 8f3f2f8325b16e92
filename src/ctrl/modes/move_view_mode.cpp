#include "ctrl/modes/move_view_mode.h"

#include <algorithm>

#include "common/check.h"
#include "common/point.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/ports/icanvas.h"
#include "ctrl/keys/action_row.h"

namespace velkaro {

namespace {

using Mode = CtrlMoveViewMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"settle", {"<Enter>", "<Tab>"}, N_("Settle"), CtrlRecord::none,
     [](Mode& m) {
       m.settle();
       return true;
     }},
  };
  return rows;
}

} // namespace

CtrlMoveViewMode::CtrlMoveViewMode(CtrlContext& ctrl) : CtrlMode(ctrl)
{
  include(CtrlBaseMode::create(ctrl));
  replace_void("up", [this] { move_up(); });
  replace_void("down", [this] { move_down(); });
  replace_void("left", [this] { move_left(); });
  replace_void("right", [this] { move_right(); });
  replace_void("cancel", [this] { cancel(); });
  // The overview has its own zoom; the user's is restored on leaving.
  for (const char* name : {"zoom-in", "zoom-out", "zoom-reset"})
    replace_void(name, do_nothing, never_actionable);
  ctrl_register_rows(*this, *this, key_rows());
}

double CtrlMoveViewMode::saved_extent(bool horizontal) const
{
  const auto& canvas = get_ctrl().get_canvas();
  if (!canvas)
    return 0;
  const double page = horizontal ? canvas->get_page_width() : canvas->get_page_height();
  return page * canvas->get_zoom() / m_saved_zoom;
}

double CtrlMoveViewMode::get_width() const { return saved_extent(true); }

double CtrlMoveViewMode::get_height() const { return saved_extent(false); }

void CtrlMoveViewMode::move_up()
{
  view_y -= get_ystep();
  moved_check();
}

void CtrlMoveViewMode::move_down()
{
  view_y += get_ystep();
  moved_check();
}

void CtrlMoveViewMode::move_left()
{
  view_x -= get_xstep();
  moved_check();
}

void CtrlMoveViewMode::move_right()
{
  view_x += get_xstep();
  moved_check();
}

void CtrlMoveViewMode::moved_check()
{
  auto& ctx = get_ctrl();
  if (const auto& canvas = ctx.get_canvas()) {
    // Each upper bound is applied last, so it wins over the lower one.
    view_y = std::max(view_y, 0.0);
    view_y = std::min(view_y, canvas->get_page_height() - get_height());
    view_x = std::max(view_x, 0.0);
    view_x = std::min(view_x, canvas->get_page_width() - get_width());
  }
  ctx.update_view();
}

void CtrlMoveViewMode::settle()
{
  auto& ctx = get_ctrl();
  ctx.change_to_cell_mode();
  if (const auto canvas = ctx.get_canvas()) {
    canvas->pull_cursor(CellDir::h);
    canvas->pull_cursor(CellDir::v);
  }
}

void CtrlMoveViewMode::cancel()
{
  view_x = m_saved_x;
  view_y = m_saved_y;
  get_ctrl().change_to_cell_mode();
}

// --- Mode

void CtrlMoveViewMode::on_enter()
{
  CtrlMode::on_enter();
  auto& ctx = get_ctrl();
  if (const auto& canvas = ctx.get_canvas()) {
    m_saved_x = view_x = canvas->get_page_x();
    m_saved_y = view_y = canvas->get_page_y();
    m_saved_zoom = canvas->get_zoom();
    canvas->zoom_fit();
  }
  ctx.update_view();
}

void CtrlMoveViewMode::on_exit()
{
  CtrlMode::on_exit();
  auto& ctx = get_ctrl();
  if (const auto& canvas = ctx.get_canvas()) {
    canvas->set_zoom(m_saved_zoom);
    // The offsets are set even when the canvas refused the zoom.
    canvas->set_offset(CellDir::h, view_x);
    canvas->set_offset(CellDir::v, view_y);
  }
  ctx.update_view();
}

// --- Pointer

bool CtrlMoveViewMode::on_press_left_button(const Point& pt)
{
  view_x = pt.get_x() - get_width() / 2;
  view_y = pt.get_y() - get_height() / 2;
  moved_check();
  return true;
}

bool CtrlMoveViewMode::on_drag_with_left_button(const Point&, const Point& now_pt)
{
  on_press_left_button(now_pt);
  return true;
}

bool CtrlMoveViewMode::on_release_left_button(const Point&)
{
  settle();
  return true;
}

bool CtrlMoveViewMode::on_double_press_left_button(const Point&)
{
  settle();
  return true;
}

} // namespace velkaro
