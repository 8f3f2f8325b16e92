#pragma once
// SeqExportingCnavas (the name is spelled so): the PNG exporter of the
// sequence-diagram editor. It draws the background, the life heads, the
// life lines, the messages, the free text and the fragments of its
// rectangle, with the light palette at zoom 1: no grid, cursor frame,
// selection or viewport. Writing is the base's: a file that cannot be
// written gives false and get_last_error(), and leaves the target as it
// was.
//
// Made by the window for each export, for the rectangle to export:
//   auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(ctx, rect);
//   if (!exporter->export_png(path)) show(exporter->get_last_error());

#include <memory>

#include "view/exporting_cnavas.h"

namespace velkaro {

class SeqExportingCnavas : public ViewExportingCnavas {
public:
  // ctrl must not be null: create() checks it.
  SeqExportingCnavas(const std::shared_ptr<CtrlContext>& ctrl, const Rectangle& rect)
    : ViewExportingCnavas(ctrl, rect)
  {
  }

protected:
  DrawerList new_drawers() override;
};

} // namespace velkaro
