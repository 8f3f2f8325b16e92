#include "view/viewport_drawer.h"

#include "ctrl/context.h"
#include "ctrl/modes/move_view_mode.h"
#include "view/cairo_guard.h"

namespace velkaro {

void ViewViewportDrawer::draw()
{
  const auto ctrl = get_ctrl();
  const auto* mode = ctrl ? dynamic_cast<const CtrlMoveViewMode*>(ctrl->get_now_mode().get()) : nullptr;
  if (!mode)
    return;
  const auto& cr = get_cr();
  const CairoSaveGuard saved(cr);
  cr->set_line_width(3.0);
  cr->rectangle(mode->view_x, mode->view_y, mode->get_width(), mode->get_height());
  set_source(ViewColor::viewport_fill);
  cr->fill_preserve();
  set_source(ViewColor::in_working_line);
  cr->stroke();
}

} // namespace velkaro
