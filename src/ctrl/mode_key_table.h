#pragma once
// CtrlModeKeyTable<Mode>: a mode's key table as data. Each row names an
// action, its default key patterns, its description and whether it is
// recorded for undo, and points at the mode's operation and its
// is-actionable test. register_rows() registers the rows in order on the
// mode (an earlier row keeps a key that a later one claims too).
//
// Descriptions are marked with N_() in the tables and translated when they
// are registered; a null description registers the action without one (the
// key-binding editor then shows its name).
//
// The functions registered refer to the mode by reference, never by a
// counted reference: the mode owns its actions.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/i18n.h"
#include "ctrl/action_wrapper.h"

namespace velkaro {

template <class Mode>
class CtrlModeKeyTable {
public:
  struct Row {
    const char* name;
    CtrlActionWrapper::Keys keys;
    // Marked with N_(); null: no description.
    const char* description;
    // Run through the undo processor and recorded when run() returns true.
    bool undoable;
    // The work. For an undoable row the result says whether anything was
    // done; for any other row it is ignored.
    bool (*run)(Mode&);
    // Null: always actionable.
    bool (*is_actionable)(Mode&) = nullptr;
  };
  using Rows = std::vector<Row>;

  static void register_rows(Mode& mode, const Rows& rows)
  {
    for (const Row& row : rows) {
      std::optional<std::string> description;
      if (row.description)
        description = _(row.description);
      std::function<bool()> is_actionable;
      if (row.is_actionable)
        is_actionable = [&mode, test = row.is_actionable] { return test(mode); };
      if (row.undoable) {
        mode.undoable(
          row.name, row.keys, [&mode, run = row.run] { return run(mode); }, std::move(description),
          std::move(is_actionable));
      } else {
        mode.void_action(
          row.name, row.keys, [&mode, run = row.run] { (void)run(mode); }, std::move(description),
          std::move(is_actionable));
      }
    }
  }
};

} // namespace velkaro
