#include "stm/context.h"

#include "common/check.h"
#include "ctrl/modes/move_view_mode.h"
#include "ctrl/text/mode_text.h"
#include "stm/cell_vh_mode.h"
#include "stm/doc/point_elms.h"
#include "stm/doc/workspace.h"
#include "stm/range_mode.h"
#include "stm/select_cell_mode.h"
#include "stm/select_mode.h"

namespace velkaro {

std::shared_ptr<StmContext> StmContext::create(const std::shared_ptr<StmWorkspace>& ws, const std::string& exename)
{
  VK_CHECK_VAL(ws, nullptr);
  return CtrlContext::create<StmContext>(ws, exename);
}

StmContext::StmContext(Key key, const std::shared_ptr<StmWorkspace>& ws, const std::string& exename)
  : CtrlContext(key, ws, exename), m_stm_ws(ws)
{
  theme_color = Gdk::RGBA(THEME_COLOR);
  set_modes({
    std::make_shared<StmCellVHMode>(*this),
    std::make_shared<StmRangeMode>(*this),
    std::make_shared<StmSelectMode>(*this),
    std::make_shared<StmSelectCellMode>(*this),
    CtrlNormalModeInCell::create(*this),
    CtrlVisualModeInCell::create(*this),
    CtrlInsertModeNormal::create(*this),
    CtrlInsertModeDirect::create(*this),
    std::make_shared<CtrlMoveViewMode>(*this),
  });
}

void StmContext::next_elm() { move_next<StmPointElms>(true); }

void StmContext::prev_elm() { move_next<StmPointElms>(false); }

bool StmContext::insert_elm(const std::string& name)
{
  edit_elm = m_stm_ws->insert_elm_4_edit(get_now_cell(), name);
  if (!edit_elm)
    return false;
  change_to<StmRangeMode>([](StmRangeMode& range) { range.mode = CtrlRangeModeModes::insert; });
  return true;
}

} // namespace velkaro
