#include "stm/doc/transaction.h"

#include "model/exp_stack.h"
#include "model/workspace.h"
#include "stm/doc/point_elms.h"

namespace velkaro {

void StmTransaction::pick_parent(ModelWorkspace& ws, const ElementPtr& /*head*/)
{
  const auto stack = ws.get_c_exp();
  set_parent(stack ? stack->seek<StmTransaction>(ANY_ROLE) : nullptr);
}

bool StmTransaction::get_is_start() const
{
  return get_first()->has<StmPointElms>(ANY_ROLE);
}

bool StmTransaction::get_is_end() const
{
  return a_child_of<StmTransaction>(ANY_ROLE) == nullptr;
}

MovingDir StmTransaction::get_mdir() const
{
  if (get_dir() == CellDir::h)
    return dh < 1 ? MovingDir::left : MovingDir::right;
  return dv < 1 ? MovingDir::up : MovingDir::down;
}

} // namespace velkaro
