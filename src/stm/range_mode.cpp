#include "stm/range_mode.h"

#include <string_view>

#include <glib.h>

#include "common/cell_range.h"
#include "stm/context.h"
#include "stm/doc/workspace.h"

namespace velkaro {

namespace {

// The classes this mode stretches.
constexpr std::string_view STRETCHED[] = {"StmComposite", "StmTransaction", "StmConcurrent", "StmTextElement"};

} // namespace

StmRangeMode::StmRangeMode(StmContext& ctrl) : CtrlRangeMode(ctrl), m_ws(ctrl.get_stm_ws()) {}

void StmRangeMode::on_enter_for(const std::string&) {}

void StmRangeMode::update_element(CellPos epos)
{
  const auto& elm = get_ctrl().edit_elm;
  if (!elm || !get_range())
    return;
  const std::string_view type = elm->get_type_name();
  for (const std::string_view name : STRETCHED) {
    if (name == type) {
      update_stm_element(epos);
      return;
    }
  }
  if (type == "ModelTextElement") {
    g_debug("mode_range:27: todo model text element is updated");
    return;
  }
  // No way into this mode sets such an element; should one arrive, the
  // preview stays empty and the user can settle or cancel as usual.
  g_warning("mode_range:30: unknown update type : %s", elm->get_type_name());
}

void StmRangeMode::update_stm_element(CellPos epos)
{
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (mode == CtrlRangeModeModes::insert) {
    // After a preview that stored nothing (a negative extent) the element
    // stands nowhere; it starts again where the range is anchored, which is
    // the cell the element was started on.
    const CellPos at = epos.get_is_valid() ? epos : anchor;
    ctx.edit_elm = m_ws->resize(ctx.edit_elm, *range, at);
    return;
  }
  const CellPos from = ctx.get_epos();
  const CellPos to = ctx.get_now_cell();
  g_debug("mode_range:20: epos %s end %s", from.to_string().c_str(), range->end.to_string().c_str());
  // Not kept: the next preview puts the stored element back first.
  (void)m_ws->resize(ctx.edit_elm, CellRange{from, to}, {-1, -1});
}

} // namespace velkaro
