#pragma once
// SeqMainMenu: the sequence editor's menu bar: the bar's File menu, the
// sequence "_Edit" menu, then View and Help (ViewMainMenu). The right-click
// popup offers the entries of the same "_Edit" menu.
//
// "_Edit", as (label, action); labels are translated, "---" separates:
//   _Undo undo, _Redo redo, ---, _Copy copy, Cu_t cut, _Paste paste, ---,
//   _Insert LifeLine insert-life-line, Insert _Message insert-message,
//   Insert Combined _Fragment insert-fragment, Append _Text append-text,
//   ---, _Edit change, ---, Insert r_ow insert-row, Insert co_lumn
//   insert-col, _Delete row delete-row, Delete co_lumn delete-col, ---,
//   Toggle HV Mode toggle-hv, ---, _Key setting key-setting.
//
// Ownership: as ViewMainMenu (it holds the context).

#include <memory>
#include <span>

#include "view/main_menu.h"

namespace velkaro {

class SeqContext;

class SeqMainMenu : public ViewMainMenu {
public:
  // The rows of the "_Edit" menu.
  static std::span<const ViewMenuRow> edit_rows();

  explicit SeqMainMenu(const std::shared_ptr<SeqContext>& ctx);
};

} // namespace velkaro
