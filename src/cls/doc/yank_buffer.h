#pragma once
// ClsYankBuffer: the one yank buffer of the process, which every class
// workspace yanks into and pastes from, so that a block yanked in one
// diagram can be pasted into another.
//
// It holds duplicates only: of the yanked chain heads, each at the cell of
// the element it copies, and of the connectors that start at them. A
// buffered connector keeps no route and no linked elements; the element
// its far end was linked to is remembered without being kept alive, so
// that a paste can find where that element stands now, in the workspace
// that holds it, and nothing of a closed diagram lives on in the buffer.
//
// Two states: none (nothing yanked since the process started) and present,
// replaced whole by every yank.

#include <memory>
#include <vector>

#include "cls/doc/element_cells.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ModelElement;

class ClsYankBuffer {
public:
  struct Connector {
    std::shared_ptr<ClsAbstractConnectorElement> con;
    // The element the yanked connector ended at when it was yanked.
    std::weak_ptr<ModelElement> end_elem;
  };

  // The process's buffer.
  static ClsYankBuffer& get();

  // Null until the first yank.
  const std::shared_ptr<ClsElementCells>& get_cells() const { return m_cells; }
  const std::vector<Connector>& get_connectors() const { return m_connectors; }
  // Something was yanked and it holds at least one element.
  bool get_has_yanked() const;

  // Empties the buffer for a new yank (present, holding nothing).
  void start();
  // Adds a duplicate of the chain head elm at (x, y).
  void add_element(int32_t x, int32_t y, const ModelElement& elm);
  // Adds a duplicate of con without its route and links.
  void add_connector(const ClsAbstractConnectorElement& con);

private:
  ClsYankBuffer() = default;

  std::shared_ptr<ClsElementCells> m_cells;
  std::vector<Connector> m_connectors;
};

} // namespace velkaro
