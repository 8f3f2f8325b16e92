#pragma once
// StmWorkspace: the document of the state-machine editor. Its grid is a
// StmGrid, its cells and scratch cells are StmCells; saving, loading,
// copying, layout, line edits and undo are the base workspace's, so a file
// is the base document ("workspace" holding "element_cells") with the
// state-machine vocabulary.
//
// Unlike a sequence diagram, nothing continues into an inserted row or
// column (the base fill hooks add nothing) and no element is a target of a
// range cut or range copy.
//
// Made by ModelWorkspace::create<StmWorkspace>().
//
// The insertion operations below work through the workspace cursor, which
// they leave on the cell they stored at, and record through store(), so
// undo and redo restore the document exactly. A position or range outside
// the grid and a name StmElms::make() does not know change nothing.

#include <memory>
#include <string>

#include "model/workspace.h"

namespace velkaro {

class StmWorkspace : public ModelWorkspace {
public:
  explicit StmWorkspace(Key key) : ModelWorkspace(key) {}

  // The base reset, then a StmGrid, StmCells and scratch StmCells.
  void init() override;
  // A new free StmTextElement centred both ways.
  ElementPtr make_text() override;
  // False for every element.
  bool range_cut_target(const ModelElement& elm, bool slide, CellDir axis) override;

  // Places a point element of the XML name at pos at once, out of process,
  // and emits the update. False, with nothing changed, when a chain is
  // anchored at pos already.
  bool insert_elm(const CellPos& pos, const std::string& name);
  // Starts a line element of the XML name at pos for the range mode to
  // stretch: it picks its parent (a transition takes the first transition
  // covering pos) and is stored at pos, after whatever chain stands there,
  // so that a state stays first in its cell. It stays in process and no
  // update is emitted. The element; null when nothing was stored.
  ElementPtr insert_elm_4_edit(const CellPos& pos, const std::string& name);
  // Places an element of the XML name over range: anchored at the range's
  // start, its extensions reaching the range's end (negative towards a
  // start right of or below the end). It stays in process; emits the
  // update. False when nothing was stored.
  bool insert_multi_elm(const std::string& name, const CellRange& range);
};

} // namespace velkaro
