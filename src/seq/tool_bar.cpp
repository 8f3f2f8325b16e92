#include "seq/tool_bar.h"

#include "seq/context.h"

namespace velkaro {

namespace {

constexpr ViewToolRow ROWS[] = {
  {"New", "new-file"},
  {"Open", "open-file"},
  {"Save", "save-file"},
  {"Export PNG image", "export-png-n", true},
  {"Undo", "undo"},
  {"Redo", "redo", true},
  // The menu entry says "Mode".
  {"Toggle HV Modes", "toggle-hv", true},
  {"Copy", "copy"},
  {"Cut", "cut"},
  {"Paste", "paste", true},
  {"Insert element", "insert-element", true},
  {"Insert row", "insert-row"},
  {"Insert column", "insert-col"},
  {"Delete row", "delete-row"},
  {"Delete column", "delete-col", true},
  {"Help", "manual"},
};

} // namespace

std::span<const ViewToolRow> SeqToolBar::rows() { return ROWS; }

SeqToolBar::SeqToolBar(const std::shared_ptr<SeqContext>& ctx) : ViewToolBar(ctx, ROWS) {}

} // namespace velkaro
