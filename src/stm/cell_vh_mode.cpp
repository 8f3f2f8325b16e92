#include "stm/cell_vh_mode.h"

#include <glib.h>

#include "common/any.h"
#include "ctrl/text/mode_text.h"
#include "model/exp_stack.h"
#include "stm/context.h"
#include "stm/doc/point_elms.h"
#include "stm/doc/text_element.h"
#include "stm/doc/transaction.h"
#include "stm/doc/workspace.h"
#include "stm/insert_list.h"

namespace velkaro {

StmCellVHMode::StmCellVHMode(StmContext& ctrl) : CtrlCellMode(ctrl), m_ws(ctrl.get_stm_ws()) {}

StmContext& StmCellVHMode::stm_ctrl() const { return get_ctrl().get_c<StmContext>(); }

bool StmCellVHMode::insert_elm(int32_t direction, bool to_end)
{
  auto& ctx = stm_ctrl();
  if (ctx.get_in_test())
    return true;
  const CellPos cell = ctx.get_now_cell();
  const auto exp = ctx.get_now_exp();
  if (!exp) {
    StmInsertList::show_menu(ctx, false);
    return false;
  }
  // A path goes on, or ends on a new state, where a transition ends; this
  // comes before the state of the cell.
  if (const auto tr = exp->seek<StmTransaction>(ANY_ROLE); tr && tr->get_endpos() == cell) {
    StmInsertList::show_menu(ctx, true);
    return false;
  }
  const auto head = ctx.get_now_elm();
  if (!head)
    return false;
  if (std::dynamic_pointer_cast<StmPointElms>(head)) {
    g_debug("mode_cell:26: add line");
    if (ctx.insert_elm("transaction"))
      return true;
  }
  if (head->has<StmTextElement>(ANY_ROLE))
    return !mod_text(direction, to_end);
  return false;
}

bool StmCellVHMode::append_(bool to_end)
{
  auto& ctx = stm_ctrl();
  const CellPos cell = ctx.get_now_cell();
  if (const auto exp = ctx.get_now_exp()) {
    if (const auto tr = exp->seek<StmTransaction>(ANY_ROLE); tr && tr->get_endpos() == cell)
      return ctx.insert_elm("transaction");
  }
  if (insert_text())
    return true;
  // Typing into a text there records nothing by itself.
  if (mod_text(1, to_end))
    return false;
  return insert_elm(1, to_end);
}

bool StmCellVHMode::copy_(bool) { return false; }

bool StmCellVHMode::change_()
{
  const auto head = get_ctrl().get_now_elm();
  if (!head || !head->has<StmTextElement>(ANY_ROLE))
    return false;
  return change_to<CtrlNormalModeInCell>();
}

bool StmCellVHMode::on_double_press_left_button(const Point&)
{
  if (!change_to<CtrlInsertModeDirect>())
    with_diff_if([this] { return insert() || append(); });
  return true;
}

} // namespace velkaro
