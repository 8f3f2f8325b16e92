#pragma once
// The sequence editor's controller on a real canvas, for the tests of its
// modes, menus and tool bar: the editor kit (view/editor_kit_for_test.h)
// on a sequence workspace, its SeqContext and a canvas with the standard
// drawers. Needs a display: build it inside the test, after
// VELKARO_REQUIRE_GTK().

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/cell_range.h"
#include "seq/context.h"
#include "seq/doc/seq_for_test.h"
#include "seq/doc/workspace.h"
#include "view/editor_kit_for_test.h"

namespace velkaro::test {

struct SeqKit : EditorKitOf<SeqWorkspace, SeqContext> {
  SeqKit() : EditorKitOf(new_ws()) {}

  // The document as a cell dump.
  std::vector<std::string> cells() const { return dump(*ws); }
};

// A message built by the workspace from (x, y) over range (as the range mode
// draws one), not in process; null when refused.
std::shared_ptr<SeqMessage> add_message(SeqWorkspace& ws, int32_t x, int32_t y, const CellRange& range,
                                    int32_t point = ANY_ROLE);
// An execution box on the life-line cell (x, y), nested one level
// beyond the outermost on the side of step (level 0 on a bare cell), and
// its run over range when given; not in process.
std::shared_ptr<SeqExecSpec> add_exec_spec(SeqWorkspace& ws, int32_t x, int32_t y, int32_t step,
                                       const CellRange* range = nullptr);
// A fragment framing the cells from (x0, y0) to (x1, y1), with an empty
// text; not in process.
void add_fragment(SeqWorkspace& ws, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

} // namespace velkaro::test
