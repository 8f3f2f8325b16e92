#include "cls/main_menu.h"

#include "cls/context.h"
#include "common/i18n.h"
#include "common/joined_rows.h"

namespace velkaro {

namespace {

// The class diagram's own entries of "_Edit", between the shared groups.
constexpr ViewMenuRow OWN_ROWS[] = {
  {N_("_Insert class element"), "insert-class"},
  {N_("Insert _block in class"), "insert-block"},
  // The label's spelling is the one users know.
  {N_("Delete black i_n class"), "delete-block"},
  {nullptr},
  {N_("Insert r_ow"), "insert-row"},
  {N_("Insert co_lumn"), "insert-col"},
  {N_("_Delete row"), "delete-row"},
  {N_("D_elete column"), "delete-col"},
};

// Static: a menu table refers to its rows.
constexpr auto EDIT_ROWS = joined_rows(VIEW_EDIT_HISTORY_CLIPBOARD_ROWS, OWN_ROWS, VIEW_EDIT_SETTING_ROWS);

constexpr ViewMenuRow CONNECTOR_MENU_ROWS[] = {
  {N_("_Dependency"), "connect-dependency"},
  {N_("_Association"), "connect-association"},
  {N_("A_ggregation"), "connect-aggregation"},
  {N_("_Composition"), "connect-composition"},
};

} // namespace

std::vector<ViewMenuTable> ClsMainMenu::type_menus() { return {{"_Edit", EDIT_ROWS}, {"_Connector", CONNECTOR_MENU_ROWS}}; }

ClsMainMenu::ClsMainMenu(const std::shared_ptr<ClsContext>& ctx) : ViewMainMenu(ctx, type_menus()) {}

} // namespace velkaro
