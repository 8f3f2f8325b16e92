#pragma once
// ClsMainMenu: the class editor's menu bar: the bar's File menu, the class
// "_Edit" and "_Connector" menus, then View and Help (ViewMainMenu). The
// right-click popup offers the entries of the same two menus.
//
// "_Edit", as (label, action); labels are translated, "---" separates:
//   _Undo undo, _Redo redo, ---, _Copy copy, Cu_t cut, _Paste paste, ---,
//   _Insert class element insert-class, Insert _block in class
//   insert-block, Delete black i_n class delete-block, ---, Insert r_ow
//   insert-row, Insert co_lumn insert-col, _Delete row delete-row,
//   D_elete column delete-col, ---, Toggle HV Mode toggle-hv, ---,
//   _Key setting key-setting.
// "_Connector": _Dependency connect-dependency, _Association
//   connect-association, A_ggregation connect-aggregation, _Composition
//   connect-composition (generalizations are drawn from the key "G" or the
//   tool bar).
//
// Ownership: as ViewMainMenu (it holds the context).

#include <memory>
#include <vector>

#include "view/main_menu.h"

namespace velkaro {

class ClsContext;

class ClsMainMenu : public ViewMainMenu {
public:
  // The class diagram's menus: "_Edit" and "_Connector".
  static std::vector<ViewMenuTable> type_menus();

  explicit ClsMainMenu(const std::shared_ptr<ClsContext>& ctx);
};

} // namespace velkaro
