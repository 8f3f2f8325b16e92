// CtrlContext: the copy buffer with copy, cut and paste relative to the
// cursor, and the replacement of the document for new and open.

#include "common/cell_range.h"
#include "common/check.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "model/element_cells.h"
#include "model/workspace.h"

namespace velkaro {

namespace {

// The flags with which the copy buffer asks the workspace what a range cut
// takes: no sliding, and the axis of rows.
constexpr bool COPY_SLIDE = false;
constexpr CellDir COPY_AXIS = CellDir::v;

// Some element of the chain from head is one that a range cut takes.
bool holds_cut_target(ModelWorkspace& ws, const ModelElement& head)
{
  for (auto elm = head.shared_from_this(); elm; elm = elm->get_next()) {
    if (ws.range_cut_target(*elm, COPY_SLIDE, COPY_AXIS))
      return true;
  }
  return false;
}

} // namespace

void CtrlContext::copy(const ElementPtr& elm, bool remove)
{
  const CellPos now = get_now_cell();
  m_yank_elms.emplace();
  m_yank_pos = now;
  const auto cells = m_ws->get_cells();
  if (elm) {
    m_yank_pos = cells->get_pos(elm);
    m_yank_elms->push_back(elm->copy_all(*cells, false));
    if (remove)
      m_ws->remove_all(elm, false);
    return;
  }
  // A selection, else the cursor cell: the copy takes what a range cut
  // takes there, and a cut removes exactly what was copied, no more.
  const auto range = selected_range ? selected_range : CellRange::create(now, now);
  if (!selected_range && !m_ws->elm_at(now))
    return;
  *m_yank_elms = m_ws->range_cut(*m_yank_pos, *range, remove, COPY_SLIDE, COPY_AXIS);
}

bool CtrlContext::remove(const ElementPtr& elm)
{
  copy(elm, true);
  return true;
}

bool CtrlContext::paste()
{
  if (!m_yank_elms)
    return false;
  const CellPos now = get_now_cell();
  std::vector<ElementPtr> fresh;
  for (ElementPtr copy : *m_yank_elms) {
    if (!copy)
      continue;
    const CellPos target = now.add(copy->origpos.substract(*m_yank_pos));
    // Without consuming, the workspace leaves a fresh copy in the variable,
    // so the buffer can be pasted again.
    if (!special_paste(copy))
      m_ws->paste(copy, target, false);
    fresh.push_back(copy);
  }
  m_yank_pos = now;
  m_yank_elms = std::move(fresh);
  return true;
}

bool CtrlContext::special_paste(ElementPtr& copy)
{
  VK_CHECK_VAL(copy, false);
  return false;
}

bool CtrlContext::get_check_copy()
{
  const auto cells = m_ws->get_cells();
  if (!selected_range) {
    const auto head = get_now_elm();
    return head && holds_cut_target(*m_ws, *head);
  }
  bool found = false;
  cells->foreach_range(*selected_range, [&](int32_t, int32_t, const ElementPtr& head) {
    found = head && holds_cut_target(*m_ws, *head);
    return !found;
  });
  return found;
}

} // namespace velkaro
