#pragma once
// StmExportingCnavas (the name is spelled so): the PNG exporter of the
// state-machine editor. It draws the background, the composite states, the
// point states, the transitions and concurrency lines and the free texts
// of its rectangle, with the light palette at zoom 1: no grid, cursor
// frame, range, selection or viewport. Writing is the base's: a file that
// cannot be written gives false and get_last_error(), and leaves the
// target as it was.
//
// Made for each export, for the rectangle to export:
//   auto exporter = ViewExportingCnavas::create<StmExportingCnavas>(ctx, rect);
//   if (!exporter->export_png(path)) show(exporter->get_last_error());

#include <memory>

#include "view/exporting_cnavas.h"

namespace velkaro {

class StmExportingCnavas : public ViewExportingCnavas {
public:
  // ctrl must not be null: create() checks it.
  StmExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect)
    : ViewExportingCnavas(ctrl, rect)
  {
  }

  // The drawers of an export, in drawing order.
  DrawerList new_drawers() override;
};

} // namespace velkaro
