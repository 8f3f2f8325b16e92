#include "seq/select_mode.h"

#include <string_view>

#include "common/any.h"
#include "seq/context.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/life_line.h"
#include "seq/doc/message.h"
#include "seq/range_mode.h"
#include "seq/doc/workspace.h"

namespace velkaro {

SeqSelectMode::SeqSelectMode(SeqContext& ctrl) : CtrlSelectMode(ctrl), m_ws(ctrl.get_seq_ws()) {}

std::shared_ptr<SeqLifeLine> SeqSelectMode::get_ll() const
{
  return std::dynamic_pointer_cast<SeqLifeLine>(get_ctrl().edit_elm);
}

std::shared_ptr<SeqExecSpec> SeqSelectMode::get_es() const
{
  const auto ll = get_ll();
  return ll ? ll->seek<SeqExecSpec>(aux) : nullptr;
}

std::shared_ptr<SeqMessage> SeqSelectMode::get_msg() const
{
  const auto ll = get_ll();
  return ll ? ll->seek<SeqMessage>(aux) : nullptr;
}

void SeqSelectMode::to_endes(int32_t step)
{
  aux = step;
  while (get_is_es())
    aux += step;
  aux -= step;
}

void SeqSelectMode::on_enter_switch()
{
  std::vector<ElementPtr> found;
  aux = -1;
  if (const auto msg = get_msg())
    found.push_back(msg);
  if (mode != CtrlSelectModeModes::yank) {
    bool nested = false;
    for (const int32_t side : {-1, 1}) {
      to_endes(side);
      if (aux != 0 && get_is_es()) {
        found.push_back(get_es());
        nested = true;
      }
    }
    if (!nested) {
      aux = 0;
      if (const auto es = get_es())
        found.push_back(es);
    }
  }
  aux = 1;
  if (const auto msg = get_msg())
    found.push_back(msg);
  candidates = std::move(found);
  sel_index = static_cast<int>(candidates.size() / 2);
}

bool SeqSelectMode::finish()
{
  auto& ctx = get_ctrl();
  ctx.edit_elm = nullptr;
  ctx.change_to_cell_mode();
  ctx.update_view();
  return true;
}

bool SeqSelectMode::settle()
{
  auto& ctx = get_ctrl();
  const auto selected = get_selected();
  if (!selected) {
    // Nothing to act on: back to the cell mode, nothing recorded.
    finish();
    return false;
  }
  const std::string_view type = selected->get_type_name();
  switch (mode) {
  case CtrlSelectModeModes::del:
    selected->set_in_process(false);
    if (type == "SeqExecSpec") {
      m_ws->rm_es(std::static_pointer_cast<SeqExecSpec>(selected));
    } else if (type == "SeqMessage") {
      // Kept in the copy buffer, so a paste can put it back.
      ctx.copy(selected, false);
      m_ws->remove_all(selected, false);
    }
    return finish();
  case CtrlSelectModeModes::yank:
    ctx.copy(selected, false);
    return finish();
  case CtrlSelectModeModes::chg_es:
  case CtrlSelectModeModes::chg_msg: {
    const auto purpose = mode == CtrlSelectModeModes::chg_msg ? CtrlRangeModeModes::change
                                                               : CtrlRangeModeModes::change_selected;
    ctx.edit_elm = selected;
    change_to<SeqRangeMode>([purpose](SeqRangeMode& range) { range.mode = purpose; });
    return false;
  }
  }
  return false;
}

} // namespace velkaro
