#pragma once
// ModelElementCells: the elements of a document at their anchor cells. The
// value at a cell is the head of the chain anchored there (the chain's other
// elements hang on it). The map also gives the opposite view, which elements
// cover each cell (get_expanded()), writes and reads itself as the
// "element_cells" layer of a document, makes elements from their XML names
// (bear(), which each diagram kind overrides) and copies a whole map.
//
// Always made through create() (elements keep a weak link to their map).
// Reading adds to what the map holds. A document is untrusted: a "cell"
// outside the grid, an element reaching outside it and an integer that does
// not fit in 32 bits stop the read with an error in the reader that names
// the line, and so do elements covering more than MAX_READ_COVER cells in
// all (the covering map holds an entry per covered cell, so a few elements
// as large as the grid would exhaust memory); broken parent references are
// dropped with a warning.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/cells.h"
#include "model/element.h"
#include "model/expanded_cells.h"
#include "model/iserializable.h"

namespace velkaro {

class ModelElementCells : public ModelCells<ModelElement>,
                          public ISerializable,
                          public std::enable_shared_from_this<ModelElementCells> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;

  static std::shared_ptr<ModelElementCells> create() { return std::make_shared<ModelElementCells>(); }

  // Every change drops the expanded cells.
  void updated() override { m_expanded.reset(); }
  // Empties the map and drops the expanded cells.
  void clear() override;
  // The anchor cell of target's chain: target's own pos when the chain there
  // holds it, else the cell whose head is the first element of its chain;
  // (-1, -1) when the map does not hold it.
  CellPos get_pos(const ElementPtr& target) const override;

  // The covering map built from scratch: anchor cells in visiting order,
  // each chain from its head; an element is added at every cell it covers,
  // columns outer, rows inner, in the directions of its extension.
  std::shared_ptr<ModelExpandedCells> expand() const;
  // The cached covering map, built on demand; stays valid (and unchanged)
  // for as long as the caller holds it, also after a change of this map.
  std::shared_ptr<ModelExpandedCells> get_expanded();

  // "element_cells" with one "cell" (attributes "h", "v") per anchor cell,
  // each holding its chain from the head. True.
  // The most cells the elements of one read may cover in all.
  static constexpr int64_t MAX_READ_COVER = int64_t{1} << 22;

  bool write(SerializingWriter& writer) override;
  // A new element for the XML name. Base: a ModelTextElement for any name.
  virtual ElementPtr bear(const std::string& name);
  // Reads the "element_cells" at or after the reader's node into this map,
  // then resolves the parent references of every element of the map. A
  // reader without "element_cells" reads nothing. False when the reader
  // failed; what was read before the failure stays in the map.
  bool read(SerializingReader& reader) override;

  // Brings the pos of every element up to date.
  void update_pos();
  // Replaces this map's contents with copies of from's elements, made
  // through the in-memory XML form. False when reading the copy failed.
  bool copy(ModelElementCells& from);

private:
  // Reads the chain of the "cell" element the reader stands on into (h, v);
  // covered counts the cells its elements cover, and the read fails when it
  // passes MAX_READ_COVER.
  void read_each_elms(SerializingReader& reader, int32_t h, int32_t v, int64_t& covered);
  // reconnect_in_cells() for every element of every chain, in visiting and
  // chain order, with the parent references resolved against the complete
  // map; of each ring of parents the references close, the one of the
  // element met last is dropped.
  void reconnect_all();
  // Drops, from each ring of parents that the resolved references (choices,
  // one per element of elms) and the other elements' parent links would
  // make, the reference of the last element of the ring in elms.
  static void break_rings(const std::vector<ElementPtr>& elms,
                          std::vector<std::optional<ModelElement::ParentChoice>>& choices);

  std::shared_ptr<ModelExpandedCells> m_expanded;
};

} // namespace velkaro
