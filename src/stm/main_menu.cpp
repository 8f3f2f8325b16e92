#include "stm/main_menu.h"

#include "common/i18n.h"
#include "common/joined_rows.h"
#include "stm/context.h"

namespace velkaro {

namespace {

// The state machine's own entries of "_Edit", between the shared groups.
constexpr ViewMenuRow OWN_ROWS[] = {
  {N_("Append _Text"), "append-text"},
  {nullptr},
  // The same text as the menu's title.
  {N_("_Edit"), "change"},
  {nullptr},
  {N_("Insert r_ow"), "insert-row"},
  {N_("Insert co_lumn"), "insert-col"},
  {N_("_Delete row"), "delete-row"},
  {N_("Delete co_lumn"), "delete-col"},
};

// Static: a menu table refers to its rows.
constexpr auto EDIT_ROWS = joined_rows(VIEW_EDIT_HISTORY_CLIPBOARD_ROWS, OWN_ROWS, VIEW_EDIT_SETTING_ROWS);

} // namespace

std::span<const ViewMenuRow> StmMainMenu::edit_rows() { return EDIT_ROWS; }

StmMainMenu::StmMainMenu(const std::shared_ptr<StmContext>& ctx) : ViewMainMenu(ctx, {{"_Edit", EDIT_ROWS}}) {}

} // namespace velkaro
