#include "seq/main_menu.h"

#include "common/i18n.h"
#include "seq/context.h"

namespace velkaro {

namespace {

// Static: a menu table refers to its rows.
constexpr ViewMenuRow EDIT_ROWS[] = {
  {N_("_Undo"), "undo"},
  {N_("_Redo"), "redo"},
  {nullptr},
  {N_("_Copy"), "copy"},
  {N_("Cu_t"), "cut"},
  {N_("_Paste"), "paste"},
  {nullptr},
  {N_("_Insert LifeLine"), "insert-life-line"},
  {N_("Insert _Message"), "insert-message"},
  {N_("Insert Combined _Fragment"), "insert-fragment"},
  {N_("Append _Text"), "append-text"},
  {nullptr},
  // The same text as the menu's title.
  {N_("_Edit"), "change"},
  {nullptr},
  {N_("Insert r_ow"), "insert-row"},
  {N_("Insert co_lumn"), "insert-col"},
  {N_("_Delete row"), "delete-row"},
  {N_("Delete co_lumn"), "delete-col"},
  {nullptr},
  {N_("Toggle HV Mode"), "toggle-hv"},
  {nullptr},
  {N_("_Key setting"), "key-setting"},
};

} // namespace

std::span<const ViewMenuRow> SeqMainMenu::edit_rows() { return EDIT_ROWS; }

SeqMainMenu::SeqMainMenu(const std::shared_ptr<SeqContext>& ctx) : ViewMainMenu(ctx, {{"_Edit", EDIT_ROWS}}) {}

} // namespace velkaro
