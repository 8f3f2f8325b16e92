#include "cls/actions.h"

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "model/text_element.h"

namespace velkaro {

ClsAction::ClsAction(const std::shared_ptr<ClsWorkspace>& ws) : CtrlAction(ws), m_ws(ws) {}

// --- Recorded actions

bool ClsAddClassAction::execute()
{
  return with_diff([this] { return get_cls_ws()->add_class(m_pos); });
}

bool ClsRemovePosAction::execute()
{
  return with_diff([this] {
    const auto& ws = get_cls_ws();
    if (!ws->yank(CellRange{m_pos, m_pos}))
      return false;
    return ws->rm_pos(m_pos);
  });
}

bool ClsRemoveCellRangeAction::execute()
{
  return with_diff([this] {
    const auto& ws = get_cls_ws();
    if (!ws->yank(m_range))
      return false;
    return ws->rm_class_range(m_range);
  });
}

bool ClsFixFloatingConnector::execute()
{
  return with_diff([this] { return get_cls_ws()->fix_floating_connector(); });
}

ClsRemoveConnector::ClsRemoveConnector(const std::shared_ptr<ClsWorkspace>& ws,
                                       const std::shared_ptr<ClsAbstractConnectorElement>& con)
  : ClsAction(ws), m_con(con)
{
  if (m_con)
    m_con->focus = false;
}

bool ClsRemoveConnector::execute()
{
  return with_diff([this] {
    const auto& ws = get_cls_ws();
    if (!m_con || !ws->get_connectors()->contains(*m_con))
      return false;
    if (!ws->remove_connector(m_con))
      return false;
    ws->signal_update();
    return true;
  });
}

bool ClsInsertLineAction::execute()
{
  return with_diff([this] { return get_cls_ws()->insert_line(m_dir, m_index); });
}

bool ClsRemoveLineAction::execute()
{
  return with_diff([this] { return get_cls_ws()->remove_line(m_dir, m_index); });
}

// --- Block actions

std::shared_ptr<ClsClassElement> ClsABlockAction::get_target() const
{
  return std::dynamic_pointer_cast<ClsClassElement>(get_cls_ws()->elm_at(m_target_cell_pos));
}

void ClsABlockAction::relayout()
{
  const auto& ws = get_cls_ws();
  ws->update_layout(m_target_cell_pos);
  ws->signal_update();
}

bool ClsInsertBlockInClass::execute()
{
  const auto klass = get_target();
  if (!klass)
    return false;
  const int i = klass->get_text_elem_index(*klass->active_text_elem);
  if (!klass->insert_block(i + 1))
    return false;
  m_block_index = i + 1;
  relayout();
  return true;
}

void ClsInsertBlockInClass::undo()
{
  const auto klass = get_target();
  if (klass && klass->rm_block(m_block_index))
    relayout();
}

void ClsInsertBlockInClass::redo()
{
  const auto klass = get_target();
  if (klass && klass->insert_block(m_block_index))
    relayout();
}

bool ClsRemoveBlockInClass::execute()
{
  const auto klass = get_target();
  if (!klass)
    return false;
  const std::string text = klass->active_text_elem->get_text();
  const int i = klass->get_text_elem_index(*klass->active_text_elem);
  if (!klass->rm_block(i))
    return false;
  m_removed_text = text;
  m_block_index = i;
  relayout();
  return true;
}

void ClsRemoveBlockInClass::undo()
{
  const auto klass = get_target();
  if (!klass || !klass->insert_block(m_block_index))
    return;
  if (const auto text = klass->get_text_elem_at(m_block_index))
    text->set_text(m_removed_text.value_or(""));
  relayout();
}

void ClsRemoveBlockInClass::redo()
{
  const auto klass = get_target();
  if (klass && klass->rm_block(m_block_index))
    relayout();
}

} // namespace velkaro
