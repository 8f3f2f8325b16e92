#pragma once
// SeqWorkspace: the document of the sequence-diagram editor. Its grid is a
// SeqGrid, its cells and scratch cells are SeqCells, and free text is a
// SeqTextElement.
//
// Made by ModelWorkspace::create<SeqWorkspace>().

#include "model/workspace.h"

namespace velkaro {

class SeqWorkspace : public ModelWorkspace {
public:
  explicit SeqWorkspace(Key key) : ModelWorkspace(key) {}

  // The base reset, then a SeqGrid, SeqCells and scratch SeqCells.
  void init() override;
  // A new free SeqTextElement.
  ElementPtr make_text() override;
};

} // namespace velkaro
