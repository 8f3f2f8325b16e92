#include "stm/points_drawer.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "common/check.h"
#include "stm/doc/elms.h"
#include "stm/doc/point_elms.h"
#include "view/drawer_context.h"

namespace velkaro {
namespace {

// What is drawn first, filled or stroked on its own.
enum class StmInner { none, disc, half_disc, two_thirds_disc, spokes, letter_h };
// What is stroked last.
enum class StmOutline { none, circle, diamond, cross };

struct StmFigure {
  std::string_view type;
  StmInner inner;
  StmOutline outline;
};

// By exact class name: a conditional pseudo state is a junction by class
// but has a figure of its own. A class not listed draws nothing.
constexpr std::array<StmFigure, 8> stm_figures{{
    {"StmBeginState", StmInner::disc, StmOutline::none},
    {"StmJunction", StmInner::half_disc, StmOutline::none},
    {"StmSinkState", StmInner::two_thirds_disc, StmOutline::circle},
    {"StmEntry", StmInner::none, StmOutline::circle},
    {"StmExit", StmInner::spokes, StmOutline::circle},
    {"StmHistory", StmInner::letter_h, StmOutline::circle},
    {"StmConditional", StmInner::none, StmOutline::diamond},
    {"StmTerminate", StmInner::none, StmOutline::cross},
}};

} // namespace

Point StmPointsDrawer::center(const Rectangle& gr)
{
  return Point(gr.x + 15, gr.get_bottom() - 15);
}

void StmPointsDrawer::circle(double x, double y, double r)
{
  const auto& cr = get_cr();
  // No line from wherever the path stood to the circle's start.
  cr->begin_new_sub_path();
  cr->arc(x, y, r, 0, 2 * std::numbers::pi);
}

void StmPointsDrawer::draw()
{
  each_target<StmPointElms>(get_clip_region(), [this] {
    const auto& cr = get_cr();
    const Cairo::Antialias before = cr->get_antialias();
    get_dc()->set_antialias_off(false);
    draw_elm();
    // Back to the setting of the canvas (none at zoom 1) or the export.
    cr->set_antialias(before);
  });
}

void StmPointsDrawer::draw_elm()
{
  if (!now_elm)
    return;
  const std::string_view type = now_elm->get_type_name();
  const StmFigure* figure = nullptr;
  for (const StmFigure& f : stm_figures)
    if (f.type == type)
      figure = &f;
  if (!figure)
    return;
  const auto& cr = get_cr();
  const Point c = center(now_rect);
  const double cx = c.get_x();
  const double cy = c.get_y();
  const double r = m_radius;

  switch (figure->inner) {
  case StmInner::none:
    break;
  case StmInner::disc:
    circle(cx, cy, r);
    cr->fill();
    break;
  case StmInner::half_disc:
    circle(cx, cy, r / 2);
    cr->fill();
    break;
  case StmInner::two_thirds_disc:
    circle(cx, cy, 2 * r / 3);
    cr->fill();
    break;
  case StmInner::spokes:
    // P0, c, P1, c, P2, c, P3, c with Pk on the circle at pi/4 + k pi/2
    // (angles turning downwards on the screen).
    for (int k = 0; k < 4; ++k) {
      const double a = std::numbers::pi / 4 + k * std::numbers::pi / 2;
      const double px = cx + r * std::cos(a);
      const double py = cy + r * std::sin(a);
      if (k == 0)
        cr->move_to(px, py);
      else
        cr->line_to(px, py);
      cr->line_to(cx, cy);
    }
    cr->stroke();
    break;
  case StmInner::letter_h:
    line(Point(cx - r / 2, cy - r / 2), Point(cx - r / 2, cy + r / 2));
    line(Point(cx + r / 2, cy - r / 2), Point(cx + r / 2, cy + r / 2));
    line(Point(cx - r / 2, cy), Point(cx + r / 2, cy));
    cr->stroke();
    break;
  }

  switch (figure->outline) {
  case StmOutline::none:
    break;
  case StmOutline::circle:
    circle(cx, cy, r);
    break;
  case StmOutline::diamond:
    cr->move_to(cx, cy - r);
    cr->rel_line_to(r, r);
    cr->rel_line_to(-r, r);
    cr->rel_line_to(-r, -r);
    cr->close_path();
    break;
  case StmOutline::cross:
    cr->move_to(cx - r, cy - r);
    cr->rel_line_to(2 * r, 2 * r);
    cr->move_to(cx + r, cy - r);
    cr->rel_line_to(-2 * r, 2 * r);
    break;
  }
  cr->stroke();
}

void StmPointsDrawer::draw_to_pixbuf(const std::shared_ptr<ViewDrawerContext>& dc, const std::string& name,
                                     const Rectangle& gr)
{
  VK_CHECK(dc != nullptr);
  const auto elm = StmElms::make(name);
  VK_CHECK(elm != nullptr);
  bind(dc);
  now_rect = gr;
  now_elm = elm;
  init();
  draw_elm();
}

} // namespace velkaro
