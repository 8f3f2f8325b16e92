// The class-diagram document: "workspace" holding "element_cells" and then
// "connector_set"; reading rebuilds terminals, links, routes and layout.

#include "cls/doc/abstract_connector_element.h"
#include "cls/doc/element_cells.h"
#include "cls/doc/workspace.h"
#include "cls/route/router.h"
#include "cls/route/segment_layouter.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_measure.h"
#include "model/text_measure_batch.h"

namespace velkaro {

bool ClsWorkspace::write(SerializingWriter& writer)
{
  // Failures stay in the writer; whoever finishes it learns of them.
  writer.write_element("workspace", [&] {
    (void)get_cells()->write(writer);
    (void)m_connectors->write(writer);
  });
  return true;
}

bool ClsWorkspace::read(SerializingReader& reader)
{
  const ModelTextMeasure::Steady steady;
  {
    // The texts read are measured meanwhile on other threads.
    ModelTextMeasureBatch measuring;
    if (skip_to_workspace(reader)) {
      (void)reader.foreach_subtree([&] {
        if (!reader.get_is_start_element())
          return true;
        if (reader.get_name() == "element_cells")
          return get_cells()->read(reader);
        if (reader.get_name() == "connector_set")
          return m_connectors->read(reader);
        return true;
      });
    }
    measuring.finish();
  }
  if (reader.has_error())
    return false;

  const auto cells = get_cells();
  cells->foreach([this](int32_t x, int32_t y, const ElementPtr&) {
    register_terminal({x, y});
    return true;
  });
  m_connectors->update_linked_elem(*cells);
  for (const ConnectorPtr& c : *m_connectors)
    c->update_route(*route_of(*c));
  layouter_changed();
  update_layout_all();
  // Every group as laying it out from each of its members leaves it (each
  // run starts from the group's even spread, so the last one stands).
  get_layouter()->layout_every_group();
  layout_labels();
  return true;
}

} // namespace velkaro
