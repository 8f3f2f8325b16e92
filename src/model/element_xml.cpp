// The XML form that every element shares: the common attributes, the
// calling structure for a kind's own content, and the resolution of parent
// references once a whole cell map has been read.

#include <cstdlib>
#include <string>
#include <unordered_set>

#include <glib.h>

#include "common/check.h"
#include "common/text_join.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

// --- writing ----------------------------------------------------------------

bool ModelElement::write(SerializingWriter& writer)
{
  m_writer = &writer;
  vwrite();
  m_writer = nullptr;
  return true;
}

bool ModelElement::write_in_cells(ModelElementCells& cells, SerializingWriter& writer)
{
  set_cells(cells);
  m_writer = &writer;
  vwrite();
  m_writer = nullptr;
  return true;
}

void ModelElement::write_element(const std::string& name, const std::function<void()>& content)
{
  SerializingWriter* writer = m_writer;
  VK_CHECK(writer != nullptr);
  writer->write_element(name, [&] {
    if (writer->get_for_copy()) {
      const ModelElementElmPos own = elm2pos(*this);
      writer->write_int_attribute("h", own.h);
      writer->write_int_attribute("v", own.v);
    }
    if (content)
      content();
  });
}

void ModelElement::write_base(const std::string& name, const std::function<void()>& content)
{
  write_element(name, [&] {
    SerializingWriter& writer = *m_writer;
    if (const int32_t role = get_role())
      writer.write_int_attribute("role", role);
    if (dh != 0)
      writer.write_int_attribute("width", dh);
    if (dv != 0)
      writer.write_int_attribute("height", dv);
    if (const ElementPtr parent = m_parent.lock())
      write_parent_reference(writer, *parent);
    if (content)
      content();
  });
}

void ModelElement::write_parent_reference(SerializingWriter& writer, const ModelElement& parent) const
{
  const ModelElementElmPos own = elm2pos(*this);
  const ModelElementElmPos ref = elm2pos(parent);
  // A parent that has left the map (removed, and kept alive only by the
  // undo history) has no place to name: written as (-1, -1), the reference
  // would read back as one into the element's own cell.
  if (CellPos{own.h, own.v}.get_is_valid() && !CellPos{ref.h, ref.v}.get_is_valid())
    return;
  writer.write_int_attribute("pi", ref.index);
  if (ref.h != own.h)
    writer.write_int_attribute("ph", ref.h);
  if (ref.v != own.v)
    writer.write_int_attribute("pv", ref.v);
}

ModelElementElmPos ModelElement::elm2pos(const ModelElement& elm) const
{
  const auto cells = get_cells();
  // The map knows where each of its elements stands without walking the
  // chain: a long chain is written in a time linear in its length.
  if (cells)
    if (const auto found = cells->find(elm))
      return *found;
  ModelElementElmPos p{0, 0, elm.get_index()};
  if (cells) {
    const CellPos at = cells->get_pos(elm.self());
    p.h = at.x;
    p.v = at.y;
  }
  return p;
}

void ModelElement::writepos(const std::string& name, const ModelElement& elm)
{
  SerializingWriter* writer = m_writer;
  VK_CHECK(writer != nullptr);
  const ModelElementElmPos p = elm2pos(elm);
  writer->write_element(name, [&] {
    writer->write_int_attribute("index", p.index);
    writer->write_int_attribute("h", p.h);
    writer->write_int_attribute("v", p.v);
  });
}

// --- reading ----------------------------------------------------------------

bool ModelElement::read(SerializingReader& reader)
{
  m_reader = &reader;
  const bool ok = read_common(reader);
  m_reader = nullptr;
  return ok;
}

bool ModelElement::read_in_cells(ModelElementCells& cells, SerializingReader& reader)
{
  set_cells(cells);
  m_reader = &reader;
  const bool ok = read_common(reader);
  m_reader = nullptr;
  stored = true;
  return ok;
}

bool ModelElement::read_extension(SerializingReader& reader)
{
  const auto width = reader.get_attribute_int_checked("width", "0");
  const auto height = width ? reader.get_attribute_int_checked("height", "0") : std::nullopt;
  if (!height)
    return false;
  // No extension can fit in the grid beyond this; the check keeps the
  // arithmetic on positions small.
  if (std::abs(int64_t{*width}) > CellPos::MAX || std::abs(int64_t{*height}) > CellPos::MAX) {
    reader.fail_here(text_join({"<", reader.get_name(), "> is wider or higher than the grid"}));
    return false;
  }
  dh = *width;
  dv = *height;
  return true;
}

bool ModelElement::read_common(SerializingReader& reader)
{
  const auto role = reader.get_attribute_int_checked("role", "0");
  if (!role)
    return false;
  set_role(*role);
  if (!read_extension(reader))
    return false;
  if (reader.get_for_copy()) {
    const auto h = reader.get_attribute_int_checked("h", "");
    const auto v = h ? reader.get_attribute_int_checked("v", "") : std::nullopt;
    if (!v)
      return false;
    origpos = pos = {*h, *v};
  }
  if (pos.get_is_valid() &&
      !(CellPos::in_range(int64_t{pos.x} + dh) && CellPos::in_range(int64_t{pos.y} + dv))) {
    reader.fail_here(text_join({"<", reader.get_name(), "> at ", pos.to_string(), " with width ",
                                std::to_string(dh), " and height ", std::to_string(dv),
                                " reaches outside the grid"}));
    return false;
  }
  if (reader.get_attribute("pi")) {
    const auto ph = reader.get_attribute_int_checked("ph", "-1");
    const auto pv = ph ? reader.get_attribute_int_checked("pv", "-1") : std::nullopt;
    const auto pi = pv ? reader.get_attribute_int_checked("pi", "") : std::nullopt;
    if (!pi)
      return false;
    m_parent_pos = ModelElementElmPos{*ph, *pv, *pi};
  }
  read_in_top();
  (void)reader.foreach_subtree([&] {
    if (reader.get_is_start_element())
      read_val(reader.get_name());
    return true;
  });
  return !reader.has_error();
}

ModelElementElmPos ModelElement::readpos()
{
  SerializingReader* reader = m_reader;
  VK_CHECK_VAL(reader != nullptr, ModelElementElmPos{});
  const auto get = [reader](const char* name) {
    return reader->get_attribute_int(name, INT32_MIN, INT32_MAX);
  };
  return {get("h"), get("v"), get("index")};
}

// --- parent references ------------------------------------------------------

ModelElement::ElementPtr ModelElement::pos2elm(ModelElementElmPos& pp) const
{
  return pos2elm_(pp, false);
}

ModelElement::ElementPtr ModelElement::pos2elm_(ModelElementElmPos& pp, bool fresh) const
{
  const auto cells = get_cells();
  VK_CHECK_VAL(cells != nullptr, nullptr);
  if (pp.h == -1 || pp.v == -1) {
    CellPos own = fresh ? origpos : cells->get_pos(self());
    if (own.x == -1)
      own = origpos;
    if (pp.h == -1)
      pp.h = own.x;
    if (pp.v == -1)
      pp.v = own.y;
  }
  // The element itself, never a copy of it: a copy made earlier (the
  // clipboard's, say) is no part of the document, and a parent taken from
  // there would be written as a reference to nothing.
  return cells->element_at(pp);
}

ModelElement::ParentChoice ModelElement::resolve_reference(bool fresh) const
{
  ParentChoice choice{*m_parent_pos, nullptr, ""};
  choice.candidate = pos2elm_(choice.ref, fresh);
  if (!choice.candidate) {
    const auto cells = get_cells();
    // A cell without a chain simply gives no parent; an index outside an
    // existing chain is a broken reference.
    if (cells && cells->get(choice.ref.h, choice.ref.v))
      choice.why = "names no element of that chain";
  } else if (choice.candidate.get() == this) {
    choice.why = "names the element itself";
  }
  return choice;
}

bool ModelElement::closes_ring(const ModelElement& candidate) const
{
  std::unordered_set<const ModelElement*> seen;
  for (const ModelElement* up = &candidate; up; ) {
    if (up == this)
      return true;
    if (!seen.insert(up).second)
      return false;
    const ElementPtr next = up->get_parent();
    up = next.get();
  }
  return false;
}

void ModelElement::finish_reconnect(ModelElementCells& cells, std::optional<ParentChoice> choice,
                                    const CellPos& at)
{
  set_cells(cells);
  if (choice) {
    if (!choice->why.empty()) {
      const ModelElementElmPos own = elm2pos(*this);
      g_warning("%s number %d of the cell (%d, %d): its parent reference to number %d of the "
                "cell (%d, %d) %s; it is read without a parent",
                get_type_name(), own.index, own.h, own.v, choice->ref.index, choice->ref.h,
                choice->ref.v, choice->why.c_str());
      choice->candidate = nullptr;
    }
    if (choice->candidate != m_parent.lock())
      leave_parent();
    relink_parent(choice->candidate);
  }
  reconnect();
  inserted(cells, at);
  in_process = false;
}

void ModelElement::reconnect_in_cells_(ModelElementCells& cells, bool keep_parent, bool fresh)
{
  set_cells(cells);
  std::optional<ParentChoice> choice;
  if (m_parent_pos && !keep_parent) {
    choice = resolve_reference(fresh);
    if (choice->why.empty() && choice->candidate && closes_ring(*choice->candidate))
      choice->why = "would make a cycle of parents";
  }
  // A fresh copy is in no chain, so the map would be searched in vain.
  finish_reconnect(cells, std::move(choice), fresh && pos.get_is_valid() ? pos : CellPos{-1, -1});
}

void ModelElement::reconnect_in_cells(ModelElementCells& cells, bool keep_parent)
{
  reconnect_in_cells_(cells, keep_parent, false);
}

} // namespace velkaro
