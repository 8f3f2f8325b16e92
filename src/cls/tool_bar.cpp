#include "cls/tool_bar.h"

#include "cls/context.h"
#include "common/joined_rows.h"

namespace velkaro {

namespace {

// The class diagram's own buttons, between the shared groups.
constexpr ViewToolRow ELEMENT_ROWS[] = {
  {"Insert class element", "insert-class"},
  {"Insert block in class", "insert-block"},
  {"Delete block in class", "delete-block", true},
};

constexpr ViewToolRow CONNECTOR_TOOL_ROWS[] = {
  {"Connect as association", "connect-association"},
  {"Connect as dependency", "connect-dependency"},
  {"Connect as generalization", "connect-generalization"},
  {"Connect as aggregation", "connect-aggregation"},
  {"Connect as composition", "connect-composition", true},
};

constexpr auto ROWS =
  joined_rows(VIEW_TOOL_FILE_EDIT_ROWS, ELEMENT_ROWS, VIEW_TOOL_LINE_ROWS, CONNECTOR_TOOL_ROWS, VIEW_TOOL_HELP_ROWS);

} // namespace

std::span<const ViewToolRow> ClsToolBar::rows() { return ROWS; }

ClsToolBar::ClsToolBar(const std::shared_ptr<ClsContext>& ctx) : ViewToolBar(ctx, ROWS) {}

} // namespace velkaro
