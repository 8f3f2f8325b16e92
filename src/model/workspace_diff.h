#pragma once
// ModelWorkspaceDiff: the undo record of one controller action. It lists the
// elements added and removed, by the anchor cell they were stored at or
// removed from, and at most one inserted and one removed line (recording a
// second line of a kind replaces the first). Undo patches the workspace
// with the record's reverse, redo with the record itself
// (ModelWorkspace::patch()).
//
// While the record is open on a workspace, the workspace's store, removal
// and bare line operations write into it; nothing else does. The record is
// kept so that undo and redo give exactly the document before and after the
// action:
// - An element added and then removed within the action cancels out: its
//   removal drops the addition and is not recorded. (An element removed and
//   added again keeps both entries: it moved, and undo puts it back.)
// - Each removed element remembers its place in its chain as it was when
//   the action began; patching with the reverse puts it back there, not at
//   the chain's end. Added elements are appended, in the order they were
//   stored.
//
// Ownership: the record holds counted references to the elements it lists,
// so they stay alive as long as the record does. reverse() shares the maps
// and line records with the record it reverses; neither changes them
// afterwards.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "model/cells.h"

namespace velkaro {

class ModelElement;

// One line of a record: a column (h) or a row (v) and its index.
struct ModelWorkspaceDiffLineDiff {
  CellDir dir = CellDir::h;
  int32_t index = 0;

  static std::shared_ptr<ModelWorkspaceDiffLineDiff> create(CellDir dir, int32_t index)
  {
    return std::make_shared<ModelWorkspaceDiffLineDiff>(ModelWorkspaceDiffLineDiff{dir, index});
  }
};

class ModelWorkspaceDiff : public std::enable_shared_from_this<ModelWorkspaceDiff> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;
  // One recorded element. index is, for an element recorded as removed, its
  // place in its chain when the action began (so that undo can put it back
  // there); -1 for an element recorded as added (appended to the chain).
  struct Entry {
    ElementPtr elm;
    int32_t index = -1;
  };
  using Entries = std::vector<Entry>;
  // Cell -> the entries recorded there, in recording order.
  using EntryCells = ModelCells<Entries>;
  // Receives (x, y, element).
  using ElmFunc = std::function<void(int32_t x, int32_t y, const ElementPtr& elm)>;

  ModelWorkspaceDiff() = default;
  virtual ~ModelWorkspaceDiff() = default;
  ModelWorkspaceDiff(const ModelWorkspaceDiff&) = delete;
  ModelWorkspaceDiff& operator=(const ModelWorkspaceDiff&) = delete;

  static std::shared_ptr<ModelWorkspaceDiff> create()
  {
    return std::make_shared<ModelWorkspaceDiff>();
  }

  // The elements recorded as added and as removed, by anchor cell.
  std::shared_ptr<EntryCells> add = EntryCells::create();
  std::shared_ptr<EntryCells> rm = EntryCells::create();
  // The line the action inserted / removed, or null.
  std::shared_ptr<ModelWorkspaceDiffLineDiff> inserted_line;
  std::shared_ptr<ModelWorkspaceDiffLineDiff> removed_line;

  // Records elm as stored at pos (appended to the chain there).
  void add_element(const CellPos& pos, const ElementPtr& elm);
  // Records elm as removed from pos. Call it while elm is still linked in
  // its chain: its place there is taken now. When elm is recorded as added,
  // that entry is dropped instead and nothing is recorded.
  void rm_element(const CellPos& pos, const ElementPtr& elm);
  // Records the inserted (removed) line, replacing an earlier one.
  void insert_line(CellDir dir, int32_t index);
  void rm_line(CellDir dir, int32_t index);

  // Nothing is recorded: no element added or removed, no line.
  // A subclass that records more than the base overrides it.
  virtual bool get_is_empty() const;

  // Every element recorded as added (removed): cells in the order of the
  // cell map, within a cell in recording order.
  void each_add(const ElmFunc& fn) const;
  void each_rm(const ElmFunc& fn) const;

  // A new record of the same class with the added and removed elements
  // swapped and the inserted and removed lines swapped, sharing them.
  virtual std::shared_ptr<ModelWorkspaceDiff> reverse() const;
  // A new record of the same class holding what this one holds now: its
  // own lists and lines, naming the same elements. Recording into either
  // leaves the other as it is.
  std::shared_ptr<ModelWorkspaceDiff> duplicate() const;
  // Holds again exactly what other holds (copied as duplicate() copies). A
  // subclass that records more than the base overrides it.
  virtual void assign(const ModelWorkspaceDiff& other);

protected:
  // A new empty record of the same class. A subclass overrides it.
  virtual std::shared_ptr<ModelWorkspaceDiff> new_instance() const { return create(); }

private:
  // Drops the entry of elm from add; false when it has none.
  bool cancel_added(const ModelElement& elm);
};

} // namespace velkaro
