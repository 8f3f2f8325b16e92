#include "seq/tool_bar.h"

#include "common/joined_rows.h"
#include "seq/context.h"

namespace velkaro {

namespace {

// The sequence diagram's own button, between the shared groups.
constexpr ViewToolRow ELEMENT_ROWS[] = {
  {"Insert element", "insert-element", true},
};

constexpr auto ROWS = joined_rows(VIEW_TOOL_FILE_EDIT_ROWS, ELEMENT_ROWS, VIEW_TOOL_LINE_ROWS, VIEW_TOOL_HELP_ROWS);

} // namespace

std::span<const ViewToolRow> SeqToolBar::rows() { return ROWS; }

SeqToolBar::SeqToolBar(const std::shared_ptr<SeqContext>& ctx) : ViewToolBar(ctx, ROWS) {}

} // namespace velkaro
