// The "element_cells" layer of a document: one "cell" element per anchor
// cell, holding the chain stored there.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

#include <glib.h>

#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

bool ModelElementCells::write(SerializingWriter& writer)
{
  writer.write_element("element_cells", [&] {
    foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
      writer.write_element("cell", [&] {
        writer.write_int_attribute("h", x);
        writer.write_int_attribute("v", y);
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
  int64_t covered = 0;
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
      read_each_elms(reader, *h, *v, covered);
      return !reader.has_error();
    });
  }
  // Elements appended to existing chains change the map without set().
  updated();
  reconnect_all();
  return !reader.has_error();
}

void ModelElementCells::reconnect_all()
{
  // Every reference is resolved against the complete map, so the order in
  // which the cells came does not matter. The references are resolved
  // first and the rings they would close are found in one walk over the
  // whole map: looking up the ancestors of each element in turn would cost
  // the square of the depth of a long line of parents.
  std::vector<ElementPtr> elms;
  std::vector<CellPos> cells;
  foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    auto& chain = m_chains[(int64_t{y} << 32) | static_cast<uint32_t>(x)];
    head->foreach([&](const ElementPtr& e) {
      elms.push_back(e);
      cells.push_back({x, y});
      chain.push_back(e);
    });
    return true;
  });
  struct Forget {
    std::unordered_map<int64_t, std::vector<ElementPtr>>& chains;
    ~Forget() { chains.clear(); }
  } forget{m_chains};
  std::vector<std::optional<ModelElement::ParentChoice>> choices(elms.size());
  for (size_t i = 0; i < elms.size(); ++i) {
    elms[i]->set_cells(*this);
    if (elms[i]->m_parent_pos)
      choices[i] = elms[i]->resolve_reference(false);
  }
  break_rings(elms, choices);
  for (size_t i = 0; i < elms.size(); ++i)
    // At the cell it was met in: looking each element up would walk its
    // chain, a time in the square of a long chain's length.
    elms[i]->finish_reconnect(*this, std::move(choices[i]), cells[i]);
}

void ModelElementCells::break_rings(const std::vector<ElementPtr>& elms,
                                    std::vector<std::optional<ModelElement::ParentChoice>>& choices)
{
  // One entry per element met: its place in elms (none for a parent from
  // outside the map) and how far the walk has got with it.
  enum class Mark { none, on_path, done };
  constexpr size_t outside = SIZE_MAX;
  struct Met {
    size_t index = outside;
    Mark mark = Mark::none;
  };
  std::unordered_map<const ModelElement*, Met> met;
  met.reserve(elms.size());
  for (size_t i = 0; i < elms.size(); ++i)
    met[elms[i].get()].index = i;
  // The parent an element will have once every reference is taken.
  const auto parent_of = [&](const ElementPtr& e, const Met& m) -> ElementPtr {
    if (m.index == outside || !choices[m.index])
      return e->get_parent();
    const auto& choice = *choices[m.index];
    return choice.why.empty() ? choice.candidate : nullptr;
  };
  std::vector<ElementPtr> path;
  for (const ElementPtr& start : elms) {
    path.clear();
    ElementPtr e = start;
    Met* m = nullptr;
    while (e && (m = &met[e.get()])->mark == Mark::none) {
      m->mark = Mark::on_path;
      path.push_back(e);
      e = parent_of(e, *m);
    }
    if (e && m->mark == Mark::on_path) {
      // The ring runs from e to the end of the path; the reference of its
      // element that comes last in the map closes it.
      std::optional<size_t> last;
      for (auto it = std::find(path.begin(), path.end(), e); it != path.end(); ++it)
        if (const size_t i = met[it->get()].index; i != outside && choices[i] && (!last || i > *last))
          last = i;
      if (last)
        choices[*last]->why = "would make a cycle of parents";
    }
    for (const ElementPtr& p : path)
      met[p.get()].mark = Mark::done;
  }
}

void ModelElementCells::read_each_elms(SerializingReader& reader, int32_t h, int32_t v, int64_t& covered)
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
    covered += int64_t{elm->get_mwidth()} * elm->get_mheight();
    if (covered > MAX_READ_COVER) {
      reader.fail_here("the elements cover more than " + std::to_string(MAX_READ_COVER) + " cells");
      return false;
    }
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
