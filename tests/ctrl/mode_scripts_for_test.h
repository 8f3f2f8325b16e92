#pragma once
// Helpers for the key-script tests of the shared key sets and the cell
// modes, on top of the test diagram kind (test_kind.h).
//
// A document is written as a list of "text@x,y" entries, row by row and
// left to right as the cell map visits its anchor cells; a chain of several
// elements at one cell reads "a+b@x,y" (marks as "M:name").
//
// HostMode ("HOST MODE") is the smallest mode that carries the shared key
// sets: it includes its own CtrlBaseMode and then its own Ctrl2DMode, as
// the cell and select-cell modes do.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "model/workspace.h"

namespace velkaro::test {

using Layout = std::vector<std::string>;

// The document's anchor cells as "text@x,y" entries.
Layout layout_of(ModelWorkspace& ws);
// Stores a text for each "text@x,y" entry (a "+" separates the texts of one
// chain); fails the test when the workspace refuses one. Records nothing.
void put_layout(ModelWorkspace& ws, const Layout& layout);

// One registered action as a key table lists it.
struct ExpectedAction {
  const char* name;
  std::vector<std::string> keys;
  // nullopt: registered without a description.
  std::optional<std::string> description;
  bool undoable;
  // Has an is-actionable test of its own.
  bool tested;
};

// Checks that handler's registered actions are exactly rows, in order:
// names, default keys, descriptions, undoable or not, tested or not; and
// that each key starts its action in the handler's own key map.
void expect_key_table(CtrlIActionHandler& handler, const std::vector<ExpectedAction>& rows);

class HostMode : public KindMode {
public:
  explicit HostMode(CtrlContext& ctrl);
};

// A kit whose context registers HostMode alone.
KindKit host_kit();

} // namespace velkaro::test
