#pragma once
// StmMainMenu: the state-machine editor's menu bar: the bar's File menu,
// the state-machine "_Edit" menu, then View and Help (ViewMainMenu).
//
// "_Edit", as (label, action); labels are translated, "---" separates:
//   _Undo undo, _Redo redo, ---, _Copy copy, Cu_t cut, _Paste paste, ---,
//   Append _Text append-text, ---, _Edit change, ---, Insert r_ow
//   insert-row, Insert co_lumn insert-col, _Delete row delete-row, Delete
//   co_lumn delete-col, ---, Toggle HV Mode toggle-hv, ---, _Key setting
//   key-setting.
// Nothing here inserts a state: that is "insert-element" (its key or the
// tool button), which opens the insert popup.
//
// Ownership: as ViewMainMenu (it holds the context).

#include <memory>
#include <span>

#include "view/main_menu.h"

namespace velkaro {

class StmContext;

class StmMainMenu : public ViewMainMenu {
public:
  // The rows of the "_Edit" menu.
  static std::span<const ViewMenuRow> edit_rows();

  explicit StmMainMenu(const std::shared_ptr<StmContext>& ctx);
};

} // namespace velkaro
