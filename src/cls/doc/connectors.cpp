#include "cls/doc/connectors.h"

#include <algorithm>
#include <unordered_set>

#include <glib.h>

#include "cls/doc/abstract_connector_element.h"
#include "common/check.h"
#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

std::shared_ptr<ClsConnectors> ClsConnectors::duplicate() const
{
  auto copy = create();
  copy->m_members = m_members;
  return copy;
}

void ClsConnectors::add(const ConnectorPtr& con)
{
  VK_CHECK(con != nullptr);
  m_members.push_back(con);
}

bool ClsConnectors::remove(const ClsAbstractConnectorElement& con)
{
  const auto it = std::find_if(m_members.begin(), m_members.end(),
                               [&con](const ConnectorPtr& m) { return m.get() == &con; });
  if (it == m_members.end())
    return false;
  m_members.erase(it);
  return true;
}

bool ClsConnectors::contains(const ClsAbstractConnectorElement& con) const
{
  return std::any_of(m_members.begin(), m_members.end(),
                     [&con](const ConnectorPtr& m) { return m.get() == &con; });
}

// --- cells ---------------------------------------------------------------------------

void ClsConnectors::update_linked_elem(ModelElementCells& cells)
{
  for (const ConnectorPtr& c : m_members) {
    c->start_elem = cells.get(c->start.x, c->start.y);
    c->end_elem = cells.get(c->end.x, c->end.y);
  }
}

void ClsConnectors::shift_term_at(CellDir dir, int32_t index, int32_t delta)
{
  VK_CHECK(dir == CellDir::h || dir == CellDir::v);
  for (const ConnectorPtr& c : m_members)
    for (CellPos* p : {&c->start, &c->end})
      if (p->get(dir) >= index)
        p->set(dir, p->get(dir) + delta);
}

void ClsConnectors::remove_line(CellDir dir, int32_t index, const ConnectorFunc& fn)
{
  VK_CHECK(dir == CellDir::h || dir == CellDir::v);
  const Members on_line = enum_term_on_line(dir, index);
  if (fn)
    for (const ConnectorPtr& c : on_line)
      fn(c);
  std::unordered_set<const ClsAbstractConnectorElement*> going;
  for (const ConnectorPtr& c : on_line)
    going.insert(c.get());
  std::erase_if(m_members, [&going](const ConnectorPtr& m) { return going.count(m.get()) > 0; });
  shift_term_at(dir, index, -1);
}

// --- queries -------------------------------------------------------------------------

ClsConnectors::Members ClsConnectors::enum_connectors_cond(const ConnectorPred& pred) const
{
  Members found;
  // A member held twice is listed once.
  std::unordered_set<const ClsAbstractConnectorElement*> seen;
  for (const ConnectorPtr& c : m_members)
    if (pred(*c) && seen.insert(c.get()).second)
      found.push_back(c);
  return found;
}

ClsConnectors::Members ClsConnectors::enum_term_on_line(CellDir dir, int32_t index) const
{
  VK_CHECK_VAL(dir == CellDir::h || dir == CellDir::v, Members{});
  return enum_connectors_cond([dir, index](const ClsAbstractConnectorElement& c) {
    return c.start.get(dir) == index || c.end.get(dir) == index;
  });
}

ClsConnectors::Members ClsConnectors::enum_connectors_has_term_at(const CellPos& pos) const
{
  return enum_connectors_cond(
      [&pos](const ClsAbstractConnectorElement& c) { return c.start == pos || c.end == pos; });
}

ClsConnectors::Members ClsConnectors::enum_connectors_has_start_at(const CellPos& pos) const
{
  return enum_connectors_cond(
      [&pos](const ClsAbstractConnectorElement& c) { return c.start == pos; });
}

ClsConnectors::Members ClsConnectors::enum_connectors_has_focus() const
{
  return enum_connectors_cond([](const ClsAbstractConnectorElement& c) { return c.focus; });
}

void ClsConnectors::clear_focus()
{
  for (const ConnectorPtr& c : m_members)
    c->focus = false;
}

// --- document form ---------------------------------------------------------------------

bool ClsConnectors::write(SerializingWriter& writer)
{
  writer.write_element("connector_set", [&] {
    for (const ConnectorPtr& c : m_members)
      if (!c->write(writer))
        break;
  });
  return true;
}

bool ClsConnectors::read(SerializingReader& reader)
{
  if (!reader.skip_to_element("connector_set"))
    return !reader.has_error();
  (void)reader.foreach_subtree([&] {
    if (!reader.get_is_start_element() || reader.get_name() != "connector")
      return true;
    const auto type = reader.get_attribute("type");
    ConnectorPtr con = type ? ClsAbstractConnectorElement::make(*type) : nullptr;
    if (!con) {
      g_warning("connectors: a connector of the type \"%s\" is skipped",
                type ? type->c_str() : "(none)");
      // Skipped with what it holds.
      (void)reader.foreach_subtree([] { return true; });
      return !reader.has_error();
    }
    if (!con->read(reader))
      return false;
    m_members.push_back(std::move(con));
    return true;
  });
  return !reader.has_error();
}

} // namespace velkaro
