#include "cls/arrow_connector_end_drawer.h"

#include "common/check.h"
#include "view/drawer_context.h"

namespace velkaro {

const std::vector<Point>& ClsAbstractArrowConnectorEndDrawer::unit_points()
{
  static const std::vector<Point> points = {{0, 0}, {-0.5, 1}, {0.5, 1}};
  return points;
}

void ClsAbstractArrowConnectorEndDrawer::draw(ViewDrawerContext& dc, double width, double height,
                                              const Point& end_pt, MovingDir udlr)
{
  VK_CHECK(dc.cr);
  using Name = ClsAbstractArrowConnectorEndDrawerPointName;
  const auto p = place(unit_points(), width, height, end_pt, udlr);
  const Point& top = p[static_cast<int>(Name::TOP)];
  const Point& left = p[static_cast<int>(Name::LEFT_WING)];
  const Point& right = p[static_cast<int>(Name::RIGHT_WING)];
  const auto& cr = dc.cr;
  cr->move_to(top.get_x(), top.get_y());
  cr->line_to(left.get_x(), left.get_y());
  cr->move_to(top.get_x(), top.get_y());
  cr->line_to(right.get_x(), right.get_y());
  if (!is_open) {
    cr->move_to(left.get_x(), left.get_y());
    cr->line_to(right.get_x(), right.get_y());
  }
  cr->stroke();
}

} // namespace velkaro
