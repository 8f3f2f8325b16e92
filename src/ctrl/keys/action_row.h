#pragma once
// CtrlActionRow: one row of a key table, the one form in which every set of
// named actions is written down: the modes' key sets, the text editors', the
// in-cell text modes', the command line's keys and commands, and the
// window's commands. A row names the action, its default key patterns, its
// description, how it is recorded for undo (CtrlRecord), the work and, when
// it has one, its is-actionable test. The work and the test are plain
// functions of the row's owner (a mode, an editor, the command line, the
// window), so the tables are static data.
//
// ctrl_register_rows() registers rows in order on a target (an earlier row
// keeps a key that a later one claims too): an action handler
// (CtrlIActionHandler::add_action), the command line's command map, or
// whatever else offers the same add_action(). Descriptions are marked with
// N_() in the tables and translated here; a null one registers the action
// without a description (the key-binding editor then shows its name).
//
// Arguments: a row of Owner alone runs as run(owner); the command line's
// commands take their argument words too (Args, see CtrlCmdCtrl).
//
// Lifetime: the functions registered refer to the owner by reference, never
// by a counted reference: the owner owns its actions. An owner that can be
// kept alive (it has hold(), as the text editors and the command line do) is
// held while a row of it runs, so a signal handler that drops it does not
// take the running work away with it.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/i18n.h"
#include "ctrl/keys/action_wrapper.h"
#include "ctrl/undo/record.h"

namespace velkaro {

template <class Owner, class... Args>
struct CtrlActionRow {
  const char* name;
  CtrlActionWrapper::Keys keys;
  // Marked with N_(); null: no description.
  const char* description;
  CtrlRecord record;
  // The work: true when it did something (for an unrecorded row the result
  // is ignored).
  bool (*run)(Owner&, Args...);
  // Null: always actionable.
  bool (*is_actionable)(Owner&) = nullptr;
};

template <class Owner, class... Args>
using CtrlActionRows = std::vector<CtrlActionRow<Owner, Args...>>;

template <class Target, class Owner, class... Args>
void ctrl_register_rows(Target& target, Owner& owner, const CtrlActionRows<Owner, Args...>& rows)
{
  for (const auto& row : rows) {
    std::optional<std::string> description;
    if (row.description)
      description = _(row.description);
    std::function<bool()> is_actionable;
    if (row.is_actionable)
      is_actionable = [&owner, test = row.is_actionable] { return test(owner); };
    std::function<bool(Args...)> run = [&owner, run = row.run](Args... args) {
      if constexpr (requires { owner.hold(); }) {
        const auto keep = owner.hold();
        return run(owner, args...);
      } else {
        return run(owner, args...);
      }
    };
    target.add_action(row.name, row.keys, std::move(run), std::move(description), row.record,
                      std::move(is_actionable));
  }
}

} // namespace velkaro
