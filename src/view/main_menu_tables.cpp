// The menus of the menu bar as data: the bar's own File, View and Help menus
// and the class-diagram menus that the bar shows by default.

#include "common/i18n.h"
#include "common/joined_rows.h"
#include "view/main_menu.h"

namespace velkaro {

namespace {

using K = ViewMenuKind;

constexpr ViewMenuRow FILE_ROWS[] = {
  {N_("_Open"), "open-file"},
  {N_("_Save"), "save-file"},
  {N_("Save _as"), "save-as-file"},
  {N_("_Export PNG image"), "export-png-n"},
  {nullptr},
  {N_("E_xit"), "exit"},
};

constexpr ViewMenuRow VIEW_ROWS[] = {
  {N_("Use Overlay Scrolling"), "use-overlay-scrolling", K::check},
  {N_("Show Menubar"), "show-menubar", K::check},
  {N_("Show Toolbar"), "show-toolbar", K::check},
  {nullptr},
  {N_("Zoom In"), "zoom-in"},
  {N_("Zoom Out"), "zoom-out"},
  {N_("Zoom Reset"), "zoom-reset"},
  {N_("Show All"), "show-all"},
};

constexpr ViewMenuRow HELP_ROWS[] = {
  {N_("_Manual"), "manual"},
  {N_("_Version info."), "version"},
};

// The class diagram's own entries of "_Edit", between the shared groups.
constexpr ViewMenuRow CLASS_EDIT_OWN_ROWS[] = {
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

constexpr auto CLASS_EDIT_ROWS =
  joined_rows(VIEW_EDIT_HISTORY_CLIPBOARD_ROWS, CLASS_EDIT_OWN_ROWS, VIEW_EDIT_SETTING_ROWS);

constexpr ViewMenuRow CLASS_CONNECTOR_ROWS[] = {
  {N_("_Dependency"), "connect-dependency"},
  {N_("_Association"), "connect-association"},
  {N_("A_ggregation"), "connect-aggregation"},
  {N_("_Composition"), "connect-composition"},
};

} // namespace

std::vector<ViewMenuTable> ViewMainMenu::default_type_menus()
{
  return {{"_Edit", CLASS_EDIT_ROWS}, {"_Connector", CLASS_CONNECTOR_ROWS}};
}

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_file_menu() const { return new_sub_menu({"_File", FILE_ROWS}); }

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_view_menu() const
{
  return std::make_unique<ViewSubMenu>(ViewMenuTable{"_View", VIEW_ROWS}, activate_callback(), m_ctx);
}

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_help_menu() const { return new_sub_menu({"_Help", HELP_ROWS}); }

} // namespace velkaro
