#include "cls/doc/workspace_diff.h"

#include "cls/doc/abstract_connector_element.h"
#include "common/check.h"

namespace velkaro {

void ClsWorkspaceDiff::add_connector(const ConnectorPtr& con)
{
  VK_CHECK(con != nullptr);
  if (!added_connectors)
    added_connectors = ClsConnectors::create();
  added_connectors->add(con);
}

void ClsWorkspaceDiff::rm_connector(const ConnectorPtr& con)
{
  VK_CHECK(con != nullptr);
  if (!removed_connectors)
    removed_connectors = ClsConnectors::create();
  removed_connectors->add(con);
}

bool ClsWorkspaceDiff::get_is_empty() const
{
  return ModelWorkspaceDiff::get_is_empty() && (!added_connectors || added_connectors->empty()) &&
         (!removed_connectors || removed_connectors->empty()) && !to->order;
}

std::shared_ptr<ModelWorkspaceDiff> ClsWorkspaceDiff::reverse() const
{
  const auto r = ModelWorkspaceDiff::reverse();
  auto* c = dynamic_cast<ClsWorkspaceDiff*>(r.get());
  VK_CHECK_VAL(c != nullptr, r);
  c->added_connectors = removed_connectors;
  c->removed_connectors = added_connectors;
  c->from = to;
  c->to = from;
  return r;
}

void ClsWorkspaceDiff::assign(const ModelWorkspaceDiff& other)
{
  ModelWorkspaceDiff::assign(other);
  const auto* o = dynamic_cast<const ClsWorkspaceDiff*>(&other);
  added_connectors = o && o->added_connectors ? o->added_connectors->duplicate() : nullptr;
  removed_connectors = o && o->removed_connectors ? o->removed_connectors->duplicate() : nullptr;
  from = std::make_shared<ClsWorkspaceDiffSide>(o ? *o->from : ClsWorkspaceDiffSide{});
  to = std::make_shared<ClsWorkspaceDiffSide>(o ? *o->to : ClsWorkspaceDiffSide{});
}

} // namespace velkaro
