#include "cls/diamond_connector_end_drawer.h"

#include "common/check.h"
#include "view/drawer_context.h"

namespace velkaro {

const std::vector<Point>& ClsAbstractDiamondConnectorEndDrawer::unit_points()
{
  static const std::vector<Point> points = {{0, 0}, {-0.5, 0.5}, {0, 1}, {0.5, 0.5}};
  return points;
}

void ClsAbstractDiamondConnectorEndDrawer::draw(ViewDrawerContext& dc, double width, double height,
                                                const Point& end_pt, MovingDir udlr)
{
  VK_CHECK(dc.cr);
  const auto p = place(unit_points(), width, height, end_pt, udlr);
  const auto& cr = dc.cr;
  cr->move_to(p[0].get_x(), p[0].get_y());
  for (size_t i = 1; i < p.size(); ++i)
    cr->line_to(p[i].get_x(), p[i].get_y());
  cr->close_path();
  if (is_black) {
    cr->stroke_preserve();
    cr->fill();
  } else {
    cr->stroke();
  }
}

} // namespace velkaro
