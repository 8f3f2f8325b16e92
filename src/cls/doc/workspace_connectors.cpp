// Connector operations of the class workspace and the floating connector.

#include <unordered_set>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/workspace.h"
#include "cls/route/related_segments.h"
#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment.h"
#include "cls/route/segment_layouter.h"
#include "common/check.h"
#include "model/text_measure.h"

namespace velkaro {

bool ClsWorkspace::add_connector(const ConnectorPtr& con)
{
  VK_CHECK_VAL(con != nullptr, false);
  m_connectors->add(con);
  layouter_changed();
  if (const auto d = get_cls_diff())
    d->add_connector(con);
  return true;
}

bool ClsWorkspace::remove_connector_without_layout(const ConnectorPtr& con)
{
  VK_CHECK_VAL(con != nullptr, false);
  m_connectors->remove(*con);
  layouter_changed();
  if (const auto d = get_cls_diff())
    d->rm_connector(con);
  return true;
}

bool ClsWorkspace::remove_connector(const ConnectorPtr& con)
{
  const ModelTextMeasure::Steady steady;
  VK_CHECK_VAL(con != nullptr, false);
  remove_connector_without_layout(con);
  const auto& layouter = get_layouter();
  for (const auto& s : con->get_segments())
    layouter->set_related_seg_laid_out(s, false);
  layouter->layout_not_laid_out_segs();
  return true;
}

bool ClsWorkspace::update_connector_route(const ConnectorPtr& con)
{
  VK_CHECK_VAL(con != nullptr, false);
  const auto route = route_of(*con);
  // The same cells give segments like the present ones: those stand for
  // them, renewed, and the layouter keeps them.
  if (con->holds_route(*route)) {
    con->renew_route();
    return true;
  }
  con->update_route(*route);
  layouter_changed();
  return true;
}

ClsWorkspace::Members ClsWorkspace::enum_related_connectors(const Members& con_set)
{
  std::unordered_set<const ModelElement*> given;
  for (const ConnectorPtr& c : con_set)
    given.insert(c.get());
  std::unordered_set<const ModelElement*> related;
  const auto& layouter = get_layouter();
  for (const ConnectorPtr& c : con_set)
    for (const auto& s : c->get_segments()) {
      const auto group = layouter->new_related_segments(s);
      for (const auto& r : group->get_segments()) {
        const auto owner = r->connector.lock();
        if (owner && !given.count(owner.get()) &&
            dynamic_cast<const ClsAbstractConnectorElement*>(owner.get()))
          related.insert(owner.get());
      }
    }
  Members found;
  for (const ConnectorPtr& c : *m_connectors)
    if (related.erase(c.get()))
      found.push_back(c);
  return found;
}

// --- the floating connector ----------------------------------------------------------

bool ClsWorkspace::new_floating_connector(const CellPos& start, const std::string& type_name)
{
  if (!start.get_is_valid() || !elm_at(start))
    return false;
  ConnectorPtr con = ClsAbstractConnectorElement::make(type_name);
  VK_CHECK_VAL(con != nullptr, false);
  rm_floating_connector();
  con->set_grid(grid);
  m_floating_connector = std::move(con);
  m_floating_start = start;
  m_floating_connector->start_elem = elm_at(start);
  m_floating_end = start;
  m_router->add_terminatable_node(m_floating_end);
  return true;
}

bool ClsWorkspace::update_floating_connector(const CellPos& end)
{
  const ModelTextMeasure::Steady steady;
  if (!m_floating_connector || !end.get_is_valid())
    return false;
  const ConnectorPtr& f = m_floating_connector;
  m_router->rm_terminatable_node(m_floating_end);
  m_floating_end = end;
  // An empty cell has route nodes only while it is registered.
  m_router->add_terminatable_node(m_floating_end);
  f->end_elem = elm_at(end);
  f->update_route(*m_router->new_shortest_route(m_floating_start, m_floating_end));
  layouter_changed();
  const auto& layouter = get_layouter();
  for (const auto& s : f->get_segments())
    layouter->layout(s);
  f->layout({});
  layout_labels();
  return true;
}

bool ClsWorkspace::fix_floating_connector()
{
  if (!m_floating_connector || !elm_at(m_floating_end) || m_floating_end == m_floating_start)
    return false;
  // Its segments stay in the layouter, now among the fixed connectors'.
  const ConnectorPtr con = std::move(m_floating_connector);
  m_floating_connector = nullptr;
  m_connectors->add(con);
  layouter_changed();
  if (const auto d = get_cls_diff())
    d->add_connector(con);
  m_router->rm_terminatable_node(m_floating_end);
  return true;
}

bool ClsWorkspace::rm_floating_connector()
{
  if (m_floating_connector) {
    m_floating_connector = nullptr;
    layouter_changed();
    m_router->rm_terminatable_node(m_floating_end);
  }
  return true;
}

} // namespace velkaro
