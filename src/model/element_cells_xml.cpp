// The "element_cells" layer of a document: one "cell" element per anchor
// cell, holding the chain stored there.

#include <string>

#include <glib.h>

#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {
namespace {

void write_int(SerializingWriter& writer, const std::string& name, int32_t value)
{
  (void)writer.write_attribute(name, std::to_string(value));
}

} // namespace

bool ModelElementCells::write(SerializingWriter& writer)
{
  writer.write_element("element_cells", [&] {
    foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
      writer.write_element("cell", [&] {
        write_int(writer, "h", x);
        write_int(writer, "v", y);
        head->foreach([&](const ElementPtr& e) { (void)e->write_in_cells(*this, writer); });
      });
      return true;
    });
  });
  // The writer keeps its own failures; the caller's finish() reports them.
  return true;
}

bool ModelElementCells::read(SerializingReader& reader)
{
  if (reader.skip_to_element("element_cells")) {
    (void)reader.foreach_subtree([&] {
      if (!reader.get_is_start_element() || reader.get_name() != "cell")
        return true;
      const auto h = reader.get_attribute_int_checked("h", "");
      const auto v = h ? reader.get_attribute_int_checked("v", "") : std::nullopt;
      if (!v)
        return false;
      if (!CellPos{*h, *v}.get_is_valid()) {
        reader.fail_here("the cell " + CellPos{*h, *v}.to_string() + " lies outside the grid");
        return false;
      }
      read_each_elms(reader, *h, *v);
      return !reader.has_error();
    });
  }
  // Elements appended to existing chains change the map without set().
  updated();
  // Every reference is resolved against the complete map, so the order in
  // which the cells came does not matter.
  foreach([this](int32_t, int32_t, const ElementPtr& head) {
    head->foreach([this](const ElementPtr& e) { e->reconnect_in_cells(*this, false); });
    return true;
  });
  return !reader.has_error();
}

void ModelElementCells::read_each_elms(SerializingReader& reader, int32_t h, int32_t v)
{
  // Kept so that a long chain is not walked again for every element.
  ElementPtr tail;
  (void)reader.foreach_subtree([&] {
    if (!reader.get_is_start_element())
      return true;
    const ElementPtr elm = bear(reader.get_name());
    if (!elm) {
      g_critical("%s: no element is made for <%s>", G_STRFUNC, reader.get_name().c_str());
      return true;
    }
    // The anchor is known before the element reads itself, so that it can
    // check that it fits in the grid from there.
    elm->pos = {h, v};
    if (!elm->read_in_cells(*this, reader))
      return false;
    if (!tail)
      if (const ElementPtr head = get(h, v))
        tail = head->get_last();
    if (tail)
      tail->add(elm);
    else
      set(h, v, elm);
    tail = elm;
    return true;
  });
}

} // namespace velkaro
