#include "seq/select_cell_mode.h"

#include "common/cell_range.h"
#include "ctrl/keys/action_row.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"

namespace velkaro {

namespace {

using Mode = SeqSelectCellMode;
using Rows = CtrlActionRows<Mode>;

const Rows& key_rows()
{
  static const Rows rows = {
    {"insert-fragment", {"I"}, N_("Insert a fragment"), CtrlRecord::diff, [](Mode& m) { return m.insert_frag(); }},
  };
  return rows;
}

} // namespace

SeqSelectCellMode::SeqSelectCellMode(SeqContext& ctrl) : CtrlSelectCellMode(ctrl), m_ws(ctrl.get_seq_ws())
{
  ctrl_register_rows(*this, *this, key_rows());
}

bool SeqSelectCellMode::insert_frag()
{
  // Held: the switch to the cell mode drops the context's selection.
  const auto range = get_range();
  const bool done = range && m_ws->insert_frag(*range);
  if (done)
    get_ctrl().change_to_cell_mode();
  m_ws->clear_in_process();
  return done;
}

} // namespace velkaro
