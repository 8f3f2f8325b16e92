#include "cls/context.h"

#include "cls/cell_mode.h"
#include "cls/connect_mode.h"
#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace.h"
#include "cls/edit_connector_mode.h"
#include "cls/mode_text.h"
#include "cls/select_cell_mode.h"
#include "cls/select_connector_mode.h"
#include "common/check.h"
#include "ctrl/modes/move_view_mode.h"
#include "model/text_element.h"

namespace velkaro {

std::shared_ptr<ClsContext> ClsContext::create(const std::shared_ptr<ClsWorkspace>& ws, const std::string& exename)
{
  VK_CHECK_VAL(ws, nullptr);
  return CtrlContext::create<ClsContext>(ws, exename);
}

ClsContext::ClsContext(Key key, const std::shared_ptr<ClsWorkspace>& ws, const std::string& exename)
  : CtrlContext(key, ws, exename), m_cls_ws(ws)
{
  set_modes({
    std::make_shared<ClsCellMode>(*this),
    std::make_shared<ClsSelectCellMode>(*this),
    std::make_shared<ClsSelectConnectorMode>(*this),
    std::make_shared<ClsConnectMode>(*this),
    ClsNormalModeInClass::create(*this),
    ClsVisualModeInClass::create(*this),
    ClsInsertModeNormal::create(*this),
    ClsInsertModeDirect::create(*this),
    ClsEditConnectorMode::create(*this),
    std::make_shared<CtrlMoveViewMode>(*this),
  });
  m_ws_updated = ws->signal_updated().connect([this] { forget_gone_connector(); });
}

void ClsContext::next_elm() { move_next<ClsClassElement>(true); }

void ClsContext::prev_elm() { move_next<ClsClassElement>(false); }

std::shared_ptr<ModelTextElement> ClsContext::get_now_text_elm()
{
  ElementPtr elm = get_now_elm();
  if (const auto klass = std::dynamic_pointer_cast<ClsClassElement>(elm))
    return klass->active_text_elem;
  return std::dynamic_pointer_cast<ModelTextElement>(elm);
}

bool ClsContext::get_check_copy()
{
  if (get_focused_connector())
    return true;
  return get_now_elm() != nullptr;
}

ClsContext::ConnectorPtr ClsContext::get_focused_connector()
{
  forget_gone_connector();
  return m_focused_connector;
}

void ClsContext::forget_gone_connector()
{
  if (m_focused_connector && !m_cls_ws->get_connectors()->contains(*m_focused_connector))
    m_focused_connector.reset();
}

} // namespace velkaro
