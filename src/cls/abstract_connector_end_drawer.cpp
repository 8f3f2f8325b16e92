#include "cls/abstract_connector_end_drawer.h"

#include "view/transform_matrix.h"

namespace velkaro {

std::vector<Point> ClsAbstractConnectorEndDrawer::place(const std::vector<Point>& unit, double width, double height,
                                                        const Point& end_pt, MovingDir udlr)
{
  const auto m = ViewTransformMatrix::new_dir(static_cast<int32_t>(udlr), width, height, end_pt.get_x(),
                                              end_pt.get_y());
  std::vector<Point> placed = unit;
  for (Point& p : placed)
    m.transform(p);
  return placed;
}

} // namespace velkaro
