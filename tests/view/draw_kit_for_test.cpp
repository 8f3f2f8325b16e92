#include "view/draw_kit_for_test.h"

#include <gtest/gtest.h>

#include "view/cairo_guard.h"
#include "view/drawer_context.h"
#include "view/filling_drawer.h"

namespace velkaro::test {

PlainDrawContext::PlainDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws, const std::string& exename,
                                   std::string name)
  : CtrlContext(key, std::move(ws), exename), m_name(std::move(name))
{
  set_modes({std::make_shared<DrawPlainMode>(*this)});
}

DrawImage draw_on_background(const std::shared_ptr<CtrlContext>& ctx,
                             const std::vector<std::shared_ptr<ViewDrawer>>& drawers, const Rectangle& rect,
                             const std::shared_ptr<ViewColorMap>& palette, const std::optional<Rectangle>& update,
                             bool shows_editor)
{
  const auto dc = ViewDrawerContext::create_make_surface(rect);
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

double grey_ink(const Pixel& p) { return 1.0 - (p.r + p.g + p.b) / (3.0 * 255.0); }

double blue_ink(const Pixel& p) { return (255 - p.b) / 255.0; }

} // namespace velkaro::test
