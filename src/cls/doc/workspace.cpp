// The class workspace: construction, its parts and accessors, the terminal
// registrations and the layouter kept in the order of the connector set.

#include "cls/doc/workspace.h"

#include <glib.h>

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/yank_buffer.h"
#include "cls/route/route.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "common/check.h"
#include "common/i18n.h"
#include "model/grid.h"

namespace velkaro {

ClsWorkspace::ClsWorkspace(Key key) : ModelWorkspace(key)
{
  // The workspace owns the signal: the handler cannot outlive it.
  signal_notify().connect([this](const char* name) {
    if (std::string(name) == "diff")
      on_diff_changed();
  });
  g_debug("workspace:845: %s", _("workspace is cls!"));
}

ClsWorkspace::~ClsWorkspace() = default;

void ClsWorkspace::init()
{
  ModelWorkspace::init();
  set_cells(ClsElementCells::create());
  tmp_cells = ClsElementCells::create();
  m_router = ClsRouter::create();
  m_layouter = ClsSegmentLayouter::create(grid);
  m_layouter_stale = false;
  m_floating_connector = nullptr;
  m_connectors = ClsConnectors::create();
  m_terminals.clear();
}

void ClsWorkspace::take_document(ModelWorkspace& doc)
{
  auto* other = dynamic_cast<ClsWorkspace*>(&doc);
  VK_CHECK(other && other != this);
  // Taken before the base takes the cells and the grid (the layouter works
  // on that grid) and leaves doc empty.
  m_router = std::move(other->m_router);
  m_layouter = std::move(other->m_layouter);
  m_layouter_stale = other->m_layouter_stale;
  m_connectors = std::move(other->m_connectors);
  m_floating_connector = std::move(other->m_floating_connector);
  m_floating_start = other->m_floating_start;
  m_floating_end = other->m_floating_end;
  m_terminals = std::move(other->m_terminals);
  ModelWorkspace::take_document(doc);
}

std::shared_ptr<ModelWorkspaceDiff> ClsWorkspace::new_diff()
{
  return ClsWorkspaceDiff::create();
}

// --- accessors ---------------------------------------------------------------------

std::shared_ptr<ClsWorkspaceDiff> ClsWorkspace::get_cls_diff() const
{
  return std::dynamic_pointer_cast<ClsWorkspaceDiff>(get_diff());
}

std::shared_ptr<ClsElementCells> ClsWorkspace::get_cls_cells() const
{
  return std::dynamic_pointer_cast<ClsElementCells>(get_cells());
}

bool ClsWorkspace::get_has_yanked() const
{
  return ClsYankBuffer::get().get_has_yanked();
}

const std::shared_ptr<ClsSegmentLayouter>& ClsWorkspace::get_layouter()
{
  if (m_layouter_stale) {
    // In the order of the set: a group's members, its sort and its end
    // elements then never depend on the order the segments came in.
    auto layouter = ClsSegmentLayouter::create(grid);
    for (const ConnectorPtr& c : *m_connectors)
      layouter->add_all(c->get_segments());
    if (m_floating_connector)
      layouter->add_all(m_floating_connector->get_segments());
    m_layouter = std::move(layouter);
    m_layouter_stale = false;
  }
  return m_layouter;
}

// --- terminals ---------------------------------------------------------------------

void ClsWorkspace::register_terminal(const CellPos& pos)
{
  // One registration per cell, whatever came and went there.
  if (!pos.get_is_valid() || m_terminals.count(pos))
    return;
  m_terminals.insert(pos);
  m_router->add_terminatable_node(pos);
}

void ClsWorkspace::unregister_terminal(const CellPos& pos)
{
  if (m_terminals.erase(pos))
    m_router->rm_terminatable_node(pos);
}

void ClsWorkspace::shift_terminals(CellDir dir, int32_t index, int32_t delta)
{
  Terminals moved;
  for (const CellPos& p : m_terminals) {
    const int32_t c = p.get(dir);
    if (delta < 0 && c == index)
      continue;
    CellPos q = p;
    if (c >= index + (delta < 0 ? 1 : 0))
      q.set(dir, c + delta);
    moved.insert(q);
  }
  m_terminals = std::move(moved);
}

void ClsWorkspace::chain_changed(const CellPos& pos, const ModelElement& elm)
{
  (void)elm;
  // An element that leaves through the base operations (a text emptied and
  // left in a text mode) takes its cell's registration with it when the
  // cell is left empty.
  if (!is_tmp && !elm_at(pos))
    unregister_terminal(pos);
}

// --- routes ------------------------------------------------------------------------

std::shared_ptr<const ClsRoute> ClsWorkspace::route_of(ClsAbstractConnectorElement& con)
{
  if (!con.start.get_is_valid() || !con.end.get_is_valid()) {
    // An end nowhere: no route, and the ends stay as they are.
    auto none = ClsRoute::create();
    none->start = con.start;
    none->goal = con.end;
    return none;
  }
  con.searched_route = m_router->shortest_route(con.start, con.end, con.searched_route);
  return con.searched_route;
}

} // namespace velkaro
