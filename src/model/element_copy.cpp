// The three copies of an element: the shallow duplicate, the copy through
// the in-memory XML form, and the deep copy that carries copies of the
// children.

#include <glib.h>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

ModelElement::ElementPtr ModelElement::dup() const
{
  ElementPtr e = new_instance();
  e->stored = stored;
  e->m_cells = m_cells;
  e->m_parent = m_parent;
  e->pos = pos;
  e->set_role(get_role());
  e->focus = focus;
  // Only constructors set mono, and a duplicate counts as made another way.
  e->mono = false;
  // The children stay with this element: they name it as their parent, and
  // a child is listed only by the element it names.
  return e;
}

ModelElement::ElementPtr ModelElement::copy_() const
{
  const ElementPtr source = self();
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)source->write(*writer);
  (void)writer->finish();
  const auto reader = SerializingReader::create_memory_for_copy(writer->get_text());
  const auto cells = get_cells();
  if (!reader->next() || !reader->get_is_start_element()) {
    g_critical("%s: the copy of a %s cannot be read back: %s", G_STRFUNC, get_type_name(),
               reader->get_error().c_str());
    ElementPtr e = new_instance();
    e->stored = true;
    return e;
  }
  // Without a cell map there is no factory; the element's own class stands in.
  ElementPtr e = cells ? cells->bear(reader->get_name()) : new_instance();
  const bool ok = cells ? e->read_in_cells(*cells, *reader) : e->read(*reader);
  e->stored = true;
  if (!ok)
    g_critical("%s: the copy of a %s cannot be read back: %s", G_STRFUNC, get_type_name(),
               reader->get_error().c_str());
  return e;
}

ModelElement::ElementPtr ModelElement::copy(ModelElementCells& cells)
{
  ElementPtr e = copy_();
  e->reconnect_in_cells(cells, false);
  return e;
}

ModelElement::ElementPtr ModelElement::copy_all(ModelElementCells& cells, bool sub)
{
  set_cells(cells);
  m_latest_copy = copy_();
  const ElementPtr copy = m_latest_copy;
  std::vector<ElementPtr> copies;
  for (const auto& child : get_children())
    copies.push_back(child->copy_all(cells, true));
  copy->subs = std::move(copies);
  const ElementPtr parent = m_parent.lock();
  copy->m_parent = sub && parent ? parent->m_latest_copy : nullptr;
  copy->reconnect_in_cells(cells, true);
  return copy;
}

} // namespace velkaro
