// The menus of the menu bar as data: the bar's own File, View and Help
// menus.

#include "common/i18n.h"
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

} // namespace

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_file_menu() const { return new_sub_menu({"_File", FILE_ROWS}); }

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_view_menu() const
{
  return std::make_unique<ViewSubMenu>(ViewMenuTable{"_View", VIEW_ROWS}, activate_callback(), m_ctx);
}

std::unique_ptr<ViewSubMenu> ViewMainMenu::new_help_menu() const { return new_sub_menu({"_Help", HELP_ROWS}); }

} // namespace velkaro
