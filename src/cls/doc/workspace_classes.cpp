// Class operations of the class workspace: classes and texts added and
// removed, yank and paste, and the lookup of a compartment's class.

#include <unordered_set>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/class_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/doc/yank_buffer.h"
#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "common/c_resource.h"
#include "common/check.h"
#include "model/text_element.h"
#include "model/text_measure.h"

namespace velkaro {

// --- chains ------------------------------------------------------------------------

void ClsWorkspace::put_chain(const CellPos& pos, const ElementPtr& head)
{
  const auto cells = get_cells();
  cells->set(pos.x, pos.y, head);
  for (ElementPtr e = head; e; e = e->get_next())
    e->inserted(*cells, pos);
}

ModelWorkspace::ElementPtr ClsWorkspace::take_chain(const CellPos& pos)
{
  const auto cells = get_cells();
  const ElementPtr head = cells->get(pos.x, pos.y);
  if (!head)
    return nullptr;
  // Each element of the chain, so that undo and redo can tell a whole chain
  // that left from an element that left it alone.
  if (const auto d = get_cls_diff())
    for (ElementPtr e = head; e; e = e->get_next())
      d->rm_element(pos, e);
  (void)cells->remove(pos.x, pos.y);
  for (ElementPtr e = head; e; e = e->get_next())
    e->stored = false;
  return head;
}

// --- classes and texts ---------------------------------------------------------------

bool ClsWorkspace::add_class(const CellPos& pos, const std::shared_ptr<ClsClassElement>& elem)
{
  const ModelTextMeasure::Steady steady;
  if (!pos.get_is_valid() || elm_at(pos))
    return false;
  const std::shared_ptr<ClsClassElement> klass = elem ? elem : ClsClassElement::create();
  put_chain(pos, klass);
  if (const auto d = get_cls_diff())
    d->add_element(pos, klass);
  register_terminal(pos);
  update_layout(pos);
  signal_update();
  return true;
}

bool ClsWorkspace::rm_pos(const CellPos& pos)
{
  const ModelTextMeasure::Steady steady;
  if (!elm_at(pos))
    return false;
  const Members attached = m_connectors->enum_connectors_has_term_at(pos);
  // While the attached connectors still have their segments.
  const Members related = m_replaying ? Members() : enum_related_connectors(attached);
  for (const ConnectorPtr& c : attached)
    remove_connector_without_layout(c);
  take_chain(pos);
  unregister_terminal(pos);
  for (const ConnectorPtr& c : related)
    update_connector_route(c);
  update_layout(pos);
  signal_update();
  return true;
}

bool ClsWorkspace::add_text(const CellPos& pos, const std::shared_ptr<ModelTextElement>& elem)
{
  if (!pos.get_is_valid())
    return false;
  move_to(pos);
  std::shared_ptr<ModelTextElement> text = elem;
  if (!text) {
    text = ModelTextElement::create();
    text->align = ModelAlign::CENTER;
  }
  if (!store(text))
    return false;
  // A chain that undo gives back comes whole.
  for (ElementPtr e = text->get_next(); e; e = e->get_next())
    e->inserted(*get_cells(), pos);
  signal_update();
  return true;
}

bool ClsWorkspace::rm_class_range(const CellRange& range)
{
  const ModelTextMeasure::Steady steady;
  std::vector<CellPos> cells;
  Members collected;
  std::unordered_set<const ClsAbstractConnectorElement*> seen;
  get_cells()->foreach_range(range, [&](int32_t x, int32_t y, const ElementPtr&) {
    cells.push_back({x, y});
    for (const ConnectorPtr& c : m_connectors->enum_connectors_has_term_at({x, y}))
      if (seen.insert(c.get()).second)
        collected.push_back(c);
    return true;
  });
  for (const CellPos& p : cells) {
    take_chain(p);
    unregister_terminal(p);
    if (m_pasting)
      layout_lines(p.x, p.y);
    else
      update_layout(p);
  }
  // A paste routes every connector again and lays everything out once it
  // is done: what the related connectors would get here never stands.
  const Members related = m_pasting ? Members() : enum_related_connectors(collected);
  for (const ConnectorPtr& c : collected)
    remove_connector_without_layout(c);
  for (const ConnectorPtr& c : related)
    update_connector_route(c);
  signal_update();
  return true;
}

bool ClsWorkspace::get_klass_has_text_elem(const ModelTextElement& text_elem,
                                           std::shared_ptr<ClsClassElement>& klass,
                                           CellPos& pos) const
{
  klass = nullptr;
  pos = {0, 0};
  get_cells()->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    const auto k = std::dynamic_pointer_cast<ClsClassElement>(head);
    if (!k || !k->has_text_elem(text_elem))
      return true;
    klass = k;
    pos = {x, y};
    return false;
  });
  return klass != nullptr;
}

// --- yank and paste ---------------------------------------------------------------------

bool ClsWorkspace::yank(const CellRange& range)
{
  if (!range.get_is_valid())
    return false;
  ClsYankBuffer& buffer = ClsYankBuffer::get();
  buffer.start();
  const auto cells = get_cells();
  cells->foreach_range(range, [&](int32_t x, int32_t y, const ElementPtr& head) {
    buffer.add_element(x, y, *head);
    return true;
  });
  // The connectors that start at a yanked element, in set order.
  for (const ConnectorPtr& c : *m_connectors)
    if (range.is_pos_inside(c->start) && cells->get(c->start.x, c->start.y))
      buffer.add_connector(*c);
  return true;
}

CellPos ClsWorkspace::pasted_end(const CellPos& end, const std::weak_ptr<ModelElement>& end_elem,
                                 const CellRange& origin, const CellPos& offset) const
{
  if (origin.is_pos_inside(end))
    return end.add(offset);
  // An end outside the block stays at the element it was at, where that
  // element stands now; nowhere when this workspace does not hold it.
  const ElementPtr elem = end_elem.lock();
  return elem ? get_cells()->get_pos(elem) : CellPos{-1, -1};
}

bool ClsWorkspace::paste_to(const CellPos& pos)
{
  const ModelTextMeasure::Steady steady;
  const ClsYankBuffer& buffer = ClsYankBuffer::get();
  // Nothing to paste changes nothing: the cell at pos keeps its class.
  if (!buffer.get_has_yanked() || !pos.get_is_valid())
    return false;
  const CellRange origin = *buffer.get_cells()->get_exists_range();
  const CellPos offset = origin.start.delta(pos);
  const CellRange target{origin.start.add(offset), origin.end.add(offset)};
  if (!target.get_is_valid())
    return false;
  {
    m_pasting = true;
    const ScopeGuard pasted([this] { m_pasting = false; });
    rm_class_range(target);
  }
  std::unordered_set<const ClsAbstractConnectorElement*> kept;
  for (const ConnectorPtr& c : *m_connectors)
    kept.insert(c.get());
  const auto cells = get_cells();
  buffer.get_cells()->foreach([&](int32_t x, int32_t y, const ElementPtr& yanked) {
    const CellPos q = CellPos{x, y}.add(offset);
    const ElementPtr copy = yanked->dup();
    put_chain(q, copy);
    if (const auto d = get_cls_diff())
      d->add_element(q, copy);
    register_terminal(q);
    return true;
  });
  for (const ClsYankBuffer::Connector& y : buffer.get_connectors()) {
    const auto d = std::static_pointer_cast<ClsAbstractConnectorElement>(y.con->dup());
    d->start = y.con->start.add(offset);
    d->end = pasted_end(y.con->end, y.end_elem, origin, offset);
    if (!d->end.get_is_valid())
      continue;
    d->set_grid(grid);
    m_connectors->add(d);
    layouter_changed();
    if (const auto rec = get_cls_diff())
      rec->add_connector(d);
  }
  m_connectors->update_linked_elem(*cells);
  // Every connector routed again. A connector that was there before keeps
  // its segments when the route is the one they run on: new ones would be
  // the same, and the layout below leaves every group where laying out
  // everything afresh would.
  for (const ConnectorPtr& c : Members(m_connectors->get_members())) {
    const auto route = route_of(*c);
    if (kept.count(c.get()) && c->holds_route(*route))
      continue;
    c->update_route(*route);
    layouter_changed();
  }
  size_lines_range(target);
  const auto& layouter = get_layouter();
  layouter->set_seg_laid_out_on_cross_area(target, false);
  layouter->layout_every_group_as_new();
  layout_labels();
  signal_update();
  return true;
}

} // namespace velkaro
