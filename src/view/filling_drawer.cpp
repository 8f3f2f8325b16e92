#include "view/filling_drawer.h"

#include "view/cairo_guard.h"

namespace velkaro {

void ViewFillingDrawer::draw()
{
  const CairoSaveGuard saved(get_cr());
  set_source(color);
  get_cr()->paint();
}

void ViewFillingBackgroundDrawer::draw()
{
  color = get_color(ViewColor::background);
  ViewFillingDrawer::draw();
}

} // namespace velkaro
