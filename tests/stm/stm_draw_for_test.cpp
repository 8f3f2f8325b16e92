#include "stm/stm_draw_for_test.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "stm/doc/elms.h"
#include "view/cairo_guard.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {

StmDrawContext::StmDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws) : CtrlContext(key, std::move(ws), "stm")
{
  set_modes({std::make_shared<StmPlainMode>(*this)});
}

StmDrawKit::StmDrawKit() : ctx(CtrlContext::create<StmDrawContext>(ws))
{
  ctx->set_pos({40, 40});
}

std::shared_ptr<ModelElement> StmDrawKit::add(const std::string& name, int32_t x, int32_t y, int32_t dh, int32_t dv)
{
  auto elm = StmElms::make(name);
  EXPECT_TRUE(elm) << name;
  if (!elm)
    return nullptr;
  elm->dh = dh;
  elm->dv = dv;
  ws->move_hv(x, y);
  EXPECT_TRUE(ws->store(elm)) << name;
  elm->in_process = false;
  return elm;
}

void StmDrawKit::finish()
{
  ws->clear_in_process();
  ws->update_layout_all();
}

StmImage StmDrawKit::draw(const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& rect,
                          const std::shared_ptr<ViewColorMap>& palette)
{
  const auto dc = ViewDrawerContext::create_make_surface(rect);
  dc->color_map = palette;
  ViewFillingBackgroundDrawer background;
  background.draw_for(dc, ctx);
  for (const auto& drawer : drawers) {
    const CairoSaveGuard guard(dc->cr);
    drawer->draw_for(dc, ctx);
  }
  EXPECT_EQ(cairo_status(dc->cr->cobj()), CAIRO_STATUS_SUCCESS);
  return dc->surface;
}

double StmProbe::ink(double x, double y) const
{
  const int px = static_cast<int>(std::floor(x - ox));
  const int py = static_cast<int>(std::floor(y - oy));
  if (px < 0 || py < 0 || px >= image->get_width() || py >= image->get_height())
    return 0;
  const Pixel p = pixel_at(image, px, py);
  return 1.0 - (p.r + p.g + p.b) / (3.0 * 255.0);
}

double StmProbe::spot(double x, double y) const
{
  double most = 0;
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i)
      most = std::max(most, ink(x + i, y + j));
  return most;
}

namespace {

// The first and last pixel a line 1 wide centred on c covers.
std::pair<int, int> stm_covered_pixels(double c)
{
  return {static_cast<int>(std::floor(c - 0.5)), static_cast<int>(std::ceil(c + 0.5)) - 1};
}

} // namespace

double StmProbe::hline(double x, double y) const
{
  const auto [first, last] = stm_covered_pixels(y);
  double sum = 0;
  for (int j = first; j <= last; ++j)
    sum += ink(x, j + 0.5);
  return sum;
}

double StmProbe::vline(double x, double y) const
{
  const auto [first, last] = stm_covered_pixels(x);
  double sum = 0;
  for (int i = first; i <= last; ++i)
    sum += ink(i + 0.5, y);
  return sum;
}

double StmProbe::width_v(double x, double y) const
{
  double sum = 0;
  for (int i = -2; i <= 2; ++i)
    sum += ink(x + i, y);
  return sum;
}

double StmProbe::width_h(double x, double y) const
{
  double sum = 0;
  for (int j = -2; j <= 2; ++j)
    sum += ink(x, y + j);
  return sum;
}

int StmProbe::inked(const Rectangle& r) const
{
  const int x0 = static_cast<int>(std::floor(r.x - ox));
  const int y0 = static_cast<int>(std::floor(r.y - oy));
  const int x1 = static_cast<int>(std::ceil(r.get_right() - ox));
  const int y1 = static_cast<int>(std::ceil(r.get_bottom() - oy));
  return count_unlike(image, x0, y0, x1 - x0, y1 - y0, rgb(255, 255, 255));
}

} // namespace velkaro::test
