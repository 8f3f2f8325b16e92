#include "cls/doc/yank_buffer.h"

#include "cls/doc/abstract_connector_element.h"
#include "cls/route/route.h"

namespace velkaro {

ClsYankBuffer& ClsYankBuffer::get()
{
  static ClsYankBuffer buffer;
  return buffer;
}

bool ClsYankBuffer::get_has_yanked() const
{
  return m_cells && !m_cells->get_rows().empty();
}

void ClsYankBuffer::start()
{
  m_cells = ClsElementCells::create();
  m_connectors.clear();
}

void ClsYankBuffer::add_element(int32_t x, int32_t y, const ModelElement& elm)
{
  if (!m_cells)
    start();
  m_cells->set(x, y, elm.dup());
}

void ClsYankBuffer::add_connector(const ClsAbstractConnectorElement& con)
{
  auto copy = std::static_pointer_cast<ClsAbstractConnectorElement>(con.dup());
  // A route of its own, empty: the shared segments would keep the source's
  // elements and neighbours alive.
  auto none = ClsRoute::create();
  none->start = con.start;
  none->goal = con.end;
  copy->update_route(*none);
  copy->start_elem = nullptr;
  copy->end_elem = nullptr;
  copy->set_grid(nullptr);
  m_connectors.push_back({std::move(copy), con.end_elem});
}

} // namespace velkaro
