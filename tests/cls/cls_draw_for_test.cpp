#include "cls/cls_draw_for_test.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "view/cairo_guard.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {

ClsDrawContext::ClsDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws) : CtrlContext(key, std::move(ws), "cls")
{
  set_modes({std::make_shared<ClsPlainMode>(*this)});
}

ClsDrawKit::ClsDrawKit() : ctx(CtrlContext::create<ClsDrawContext>(ws))
{
  ctx->set_pos({60, 60});
}

ClsImage ClsDrawKit::draw(const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& image,
                          const std::shared_ptr<ViewColorMap>& palette, const std::optional<Rectangle>& update,
                          bool shows_editor)
{
  const auto dc = ViewDrawerContext::create_make_surface(image);
  dc->color_map = palette;
  dc->shows_editor = shows_editor;
  ViewFillingBackgroundDrawer background;
  background.draw_for(dc, ctx);
  if (update)
    dc->update_rect = {int(update->x), int(update->y), int(update->width), int(update->height)};
  for (const auto& drawer : drawers) {
    const CairoSaveGuard guard(dc->cr);
    drawer->draw_for(dc, ctx);
  }
  EXPECT_EQ(cairo_status(dc->cr->cobj()), CAIRO_STATUS_SUCCESS);
  return dc->surface;
}

double ClsProbe::ink(double x, double y) const
{
  const int px = static_cast<int>(std::floor(x - ox));
  const int py = static_cast<int>(std::floor(y - oy));
  if (px < 0 || py < 0 || px >= image->get_width() || py >= image->get_height())
    return 0;
  return (255 - pixel_at(image, px, py).b) / 255.0;
}

double ClsProbe::spot(double x, double y) const
{
  double most = 0;
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i)
      most = std::max(most, ink(x + i, y + j));
  return most;
}

double ClsProbe::width_h(double x, double y) const
{
  double sum = 0;
  for (int j = -2; j <= 2; ++j)
    sum += ink(x, y + j);
  return sum;
}

double ClsProbe::width_v(double x, double y) const
{
  double sum = 0;
  for (int i = -2; i <= 2; ++i)
    sum += ink(x + i, y);
  return sum;
}

int ClsProbe::inked(const Rectangle& r) const
{
  const int x0 = static_cast<int>(std::floor(r.x - ox));
  const int y0 = static_cast<int>(std::floor(r.y - oy));
  const int x1 = static_cast<int>(std::ceil(r.get_right() - ox));
  const int y1 = static_cast<int>(std::ceil(r.get_bottom() - oy));
  return count_unlike(image, x0, y0, x1 - x0, y1 - y0, rgb(255, 255, 255));
}

} // namespace velkaro::test
