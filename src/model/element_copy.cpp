// The three copies of an element: the shallow duplicate, the copy through
// the in-memory XML form, and the deep copy that carries copies of the
// children.

#include <unordered_set>
#include <vector>

#include <glib.h>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

ModelElement::ElementPtr ModelElement::dup() const
{
  complete_children();
  ElementPtr e = new_instance();
  e->stored = stored;
  e->m_cells = m_cells;
  e->relink_parent(m_parent);
  e->pos = pos;
  e->set_role(get_role());
  e->focus = focus;
  // Only constructors set mono, and a duplicate counts as made another way.
  e->mono = false;
  // The same children in a list of its own; they still name this element.
  e->m_children = m_children;
  e->m_children_copied = true;
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
  e->reconnect_in_cells_(cells, false, true);
  return e;
}

ModelElement::ElementPtr ModelElement::copy_all(ModelElementCells& cells, bool sub)
{
  // Depth first without recursion: a line of parents read from a document
  // can be deeper than the stack. Each element is copied when the walk
  // enters it; its copy is finished (carried copies, parent, reconnection)
  // when all its children are, so a child's copy finds the copy of its
  // parent and joins its children in order.
  struct Frame {
    ElementPtr source;
    ElementPtr copy;
    bool sub;
    std::vector<ElementPtr> children;
    size_t next = 0;
    std::vector<ElementPtr> copies;
  };
  std::vector<Frame> stack;
  // Children lists that lead back to an element being copied would never end.
  std::unordered_set<const ModelElement*> entered;
  const auto enter = [&](const ElementPtr& source, bool is_sub) {
    source->set_cells(cells);
    ElementPtr copy = source->copy_();
    source->m_latest_copy = copy;
    entered.insert(source.get());
    stack.push_back({source, std::move(copy), is_sub, source->get_children(), 0, {}});
  };
  enter(self(), sub);
  while (true) {
    Frame& frame = stack.back();
    if (frame.next < frame.children.size()) {
      const ElementPtr child = frame.children[frame.next++];
      if (!entered.contains(child.get()))
        enter(child, true);
      continue;
    }
    const ElementPtr copy = frame.copy;
    copy->subs = std::move(frame.copies);
    const ElementPtr parent = frame.source->m_parent.lock();
    copy->relink_parent(frame.sub && parent ? parent->m_latest_copy : std::weak_ptr<ModelElement>());
    copy->reconnect_in_cells_(cells, true, true);
    entered.erase(frame.source.get());
    stack.pop_back();
    if (stack.empty())
      return copy;
    stack.back().copies.push_back(copy);
  }
}

} // namespace velkaro
