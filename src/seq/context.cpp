#include "seq/context.h"

#include "common/check.h"
#include "ctrl/text/mode_text.h"
#include "ctrl/modes/move_view_mode.h"
#include "seq/cell_vh_mode.h"
#include "seq/doc/life_head.h"
#include "seq/range_mode.h"
#include "seq/select_cell_mode.h"
#include "seq/select_mode.h"
#include "seq/doc/separator.h"
#include "seq/doc/workspace.h"

namespace velkaro {

std::shared_ptr<SeqContext> SeqContext::create(const std::shared_ptr<SeqWorkspace>& ws, const std::string& exename)
{
  VK_CHECK_VAL(ws, nullptr);
  return CtrlContext::create<SeqContext>(ws, exename);
}

SeqContext::SeqContext(Key key, const std::shared_ptr<SeqWorkspace>& ws, const std::string& exename)
  : CtrlContext(key, ws, exename), m_seq_ws(ws)
{
  theme_color = Gdk::RGBA(THEME_COLOR);
  set_modes({
    std::make_shared<SeqCellVHMode>(*this),
    std::make_shared<SeqRangeMode>(*this),
    std::make_shared<SeqSelectMode>(*this),
    std::make_shared<SeqSelectCellMode>(*this),
    CtrlNormalModeInCell::create(*this),
    CtrlVisualModeInCell::create(*this),
    CtrlInsertModeNormal::create(*this),
    CtrlInsertModeDirect::create(*this),
    std::make_shared<CtrlMoveViewMode>(*this),
  });
}

void SeqContext::next_elm() { move_next<SeqLifeHead>(true); }

void SeqContext::prev_elm() { move_next<SeqLifeHead>(false); }

bool SeqContext::special_paste(ElementPtr& copy)
{
  VK_CHECK_VAL(copy, false);
  if (!dynamic_cast<const SeqSeparator*>(copy.get()))
    return false;
  // Consumed either way: a separator belongs to the fragment it is pasted
  // on, never to the cell where its copy happens to land.
  m_seq_ws->insert_separator(get_now_cell(), copy);
  return true;
}

} // namespace velkaro
