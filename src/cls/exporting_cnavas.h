#pragma once
// ClsExportingCnavas (the name is spelled so): the PNG exporter of the
// class-diagram editor. It draws the background, the class boxes, the
// fixed connectors with their labels and end shapes, and the free texts of
// its rectangle, with the light palette at zoom 1: no grid, cursor frame,
// selection, viewport or connector being drawn. Writing is the base's: a
// file that cannot be written gives false and get_last_error(), and leaves
// the target as it was.
//
// Made for each export, for the rectangle to export:
//   auto exporter = ViewExportingCnavas::create<ClsExportingCnavas>(ctx, rect);
//   if (!exporter->export_png(path)) show(exporter->get_last_error());

#include <memory>

#include "view/exporting_cnavas.h"

namespace velkaro {

class ClsExportingCnavas : public ViewExportingCnavas {
public:
  // ctrl must not be null: create() checks it.
  ClsExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect)
    : ViewExportingCnavas(ctrl, rect)
  {
  }

protected:
  DrawerList new_drawers() override;
};

} // namespace velkaro
