// The sequence workspace's frame: its grid and cells.

#include "seq/workspace.h"

#include "seq/cells.h"
#include "seq/grid.h"
#include "seq/text_element.h"

namespace velkaro {

void SeqWorkspace::init()
{
  ModelWorkspace::init();
  grid = SeqGrid::create();
  set_cells(SeqCells::create());
  tmp_cells = SeqCells::create();
}

SeqWorkspace::ElementPtr SeqWorkspace::make_text()
{
  return SeqTextElement::create();
}

} // namespace velkaro
