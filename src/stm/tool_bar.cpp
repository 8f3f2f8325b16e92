#include "stm/tool_bar.h"

#include "common/joined_rows.h"
#include "stm/context.h"

namespace velkaro {

namespace {

// The one element button: it opens the insert popup.
constexpr ViewToolRow ELEMENT_ROWS[] = {
  {"Insert element", "insert-element", true},
};

constexpr auto ROWS = joined_rows(VIEW_TOOL_FILE_EDIT_ROWS, ELEMENT_ROWS, VIEW_TOOL_LINE_ROWS, VIEW_TOOL_HELP_ROWS);

} // namespace

std::span<const ViewToolRow> StmToolBar::rows() { return ROWS; }

StmToolBar::StmToolBar(const std::shared_ptr<StmContext>& ctx) : ViewToolBar(ctx, ROWS) {}

} // namespace velkaro
