#pragma once
// ClsConnectors: an ordered set of connectors. The workspace keeps its fixed
// connectors in one, the yank buffer and the undo records keep others; a
// connector may be held by several sets at once. Adding appends, walks run
// from the first member to the last, and removal takes out the first member
// that is the given connector. The order is part of the document and
// decides which connector a click picks, so nothing here reorders.
//
// The queries answer by cell and line; each returns the members it finds,
// each once, in set order.
//
// Document form: "connector_set" holding one "connector" per member, in
// order. Reading appends the connectors of the next "connector_set": every
// "connector" inside it, at any depth, of one of the five type names; one
// without a type or with another is skipped with what it holds, with a
// warning. The connectors
// read have no grid, links or route: the workspace sets them up.
//
// Ownership: the set holds its members (std::shared_ptr).

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "model/iserializable.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ModelElementCells;

class ClsConnectors : public ISerializable {
public:
  using ConnectorPtr = std::shared_ptr<ClsAbstractConnectorElement>;
  using Members = std::vector<ConnectorPtr>;
  using ConnectorFunc = std::function<void(const ConnectorPtr& con)>;
  using ConnectorPred = std::function<bool(const ClsAbstractConnectorElement& con)>;

  static std::shared_ptr<ClsConnectors> create() { return std::make_shared<ClsConnectors>(); }

  // A new set holding the same connectors in the same order.
  std::shared_ptr<ClsConnectors> duplicate() const;

  // --- Members.

  const Members& get_members() const { return m_members; }
  size_t size() const { return m_members.size(); }
  bool empty() const { return m_members.empty(); }
  Members::const_iterator begin() const { return m_members.begin(); }
  Members::const_iterator end() const { return m_members.end(); }
  // Appends con (null is refused with a critical message).
  void add(const ConnectorPtr& con);
  // Takes out the first member that is con; false when none is.
  bool remove(const ClsAbstractConnectorElement& con);
  bool contains(const ClsAbstractConnectorElement& con) const;
  // Replaces the members, in order.
  void assign(const Members& members) { m_members = members; }

  // --- Cells.

  // start_elem := the chain head at start, end_elem := the one at end (null
  // for an empty cell or one outside the grid), for every member.
  void update_linked_elem(ModelElementCells& cells);
  // Every end whose coordinate along dir (x for h, y for v) is at least
  // index moves by delta along dir.
  void shift_term_at(CellDir dir, int32_t index, int32_t delta);
  void insert_line(CellDir dir, int32_t index) { shift_term_at(dir, index, 1); }
  // Takes out every member with an end on line index of dir, calling fn
  // (when given) with each before it goes, then moves the ends beyond the
  // line back by one.
  void remove_line(CellDir dir, int32_t index, const ConnectorFunc& fn = {});

  // --- Queries.

  // Members with an end on line index of dir.
  Members enum_term_on_line(CellDir dir, int32_t index) const;
  Members enum_connectors_cond(const ConnectorPred& pred) const;
  // Members that start or end at pos.
  Members enum_connectors_has_term_at(const CellPos& pos) const;
  // Members that start at pos.
  Members enum_connectors_has_start_at(const CellPos& pos) const;
  // Members whose focus flag is set.
  Members enum_connectors_has_focus() const;
  void clear_focus();

  // --- Document form.

  bool write(SerializingWriter& writer) override;
  // Appends what it read. False when the reader failed.
  bool read(SerializingReader& reader) override;

private:
  Members m_members;
};

} // namespace velkaro
