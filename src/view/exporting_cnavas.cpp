#include "view/exporting_cnavas.h"

#include <exception>

#include <glibmm/ustring.h>

#include "common/check.h"
#include "common/i18n.h"
#include "ctrl/context.h"
#include "view/color_map.h"
#include "view/drawer.h"
#include "view/drawer_context.h"

namespace velkaro {

bool ViewExportingCnavas::check_ctrl(const CtrlContext* ctrl)
{
  VK_CHECK_VAL(ctrl != nullptr, false);
  return true;
}

ViewExportingCnavas::ViewExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect)
  : ctrl(ctrl), ws(ctrl->get_ws()), dc(ViewDrawerContext::create_make_surface(rect))
{
  rect.debug_print("");
  dc->color_map = ViewColorMap::create_light();
}

ViewExportingCnavas::~ViewExportingCnavas() = default;

ViewExportingCnavas::DrawerList ViewExportingCnavas::new_drawers() { return {}; }

bool ViewExportingCnavas::export_png(const std::string& file_path)
{
  if (file_path.empty())
    return fail(file_path, _("no file name is given"));
  std::string error;
  if (!draw_all(error) || !write_file(file_path, error))
    return fail(file_path, error);
  m_last_error.clear();
  return true;
}

bool ViewExportingCnavas::draw_all(std::string& error)
{
  if (dc->get_status() != CAIRO_STATUS_SUCCESS) {
    error = Glib::ustring::compose(_("an image of %1 by %2 pixels cannot be made (%3)"), dc->update_rect.width,
                                   dc->update_rect.height, cairo_status_to_string(dc->get_status()));
    return false;
  }
  try {
    // No save or restore between drawers: one drawer's style carries over.
    for (const auto& drawer : new_drawers())
      drawer->draw_for(dc, ctrl);
  } catch (const std::exception& e) {
    // cairomm throws where cairo reports an error.
    error = Glib::ustring::compose(_("drawing failed (%1)"), e.what());
    return false;
  }
  cairo_surface_flush(dc->surface->cobj());
  if (dc->get_status() != CAIRO_STATUS_SUCCESS) {
    error = Glib::ustring::compose(_("drawing failed (%1)"), cairo_status_to_string(dc->get_status()));
    return false;
  }
  return true;
}

bool ViewExportingCnavas::fail(const std::string& file_path, const std::string& error)
{
  m_last_error = Glib::ustring::compose(_("Cannot export %1: %2"), file_path, error);
  g_debug("exporter: %s", m_last_error.c_str());
  return false;
}

} // namespace velkaro
