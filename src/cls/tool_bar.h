#pragma once
// ClsToolBar: the class editor's tool bar (ViewToolBar), left to right, as
// (tooltip, action), "|" for a separator:
//   New new-file, Open open-file, Save save-file, Export PNG image
//   export-png-n | Undo undo, Redo redo | Toggle HV Modes toggle-hv |
//   Copy copy, Cut cut, Paste paste | Insert class element insert-class,
//   Insert block in class insert-block, Delete block in class delete-block |
//   Insert row insert-row, Insert column insert-col, Delete row delete-row,
//   Delete column delete-col | Connect as association connect-association,
//   Connect as dependency connect-dependency, Connect as generalization
//   connect-generalization, Connect as aggregation connect-aggregation,
//   Connect as composition connect-composition | Help manual.
// Each button's icon is the one named after its action, tinted with the
// context's theme colour; the bar is right (sensitivity from the context's
// actionable set) as soon as it is built.
//
// Ownership: as ViewToolBar (it holds the context).

#include <memory>
#include <span>

#include "view/tool_bar.h"

namespace velkaro {

class ClsContext;

class ClsToolBar : public ViewToolBar {
public:
  // The buttons, in order.
  static std::span<const ViewToolRow> rows();

  explicit ClsToolBar(const std::shared_ptr<ClsContext>& ctx);
};

} // namespace velkaro
