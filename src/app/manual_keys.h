#pragma once
// The key tables of the manual pages, made from the key tables of the
// editor itself so that the pages stay true: one group per mode (its own
// actions) and then one per kind of handler the modes share ("Common : "),
// as the key-binding editor lists them, each action with its default keys.
//
// A page marks where each group's table goes:
//   <!-- keys: CELL MODE -->
//   ...the table, replaced on every fill...
//   <!-- /keys -->
// manual_fill_keys() writes the tables of the groups into a page;
// tests/app compares the shipped pages with a fresh fill, so a change of a
// default key that the pages do not show fails the build's tests.

#include <string>
#include <vector>

namespace velkaro {

class CtrlContext;

struct ManualKeyRow {
  std::string action;
  // The default key patterns, as the configuration writes them.
  std::vector<std::string> keys;
  // The action's description ("" without one).
  std::string description;
};

struct ManualKeyGroup {
  // The handler's display name (a mode's "CELL MODE"), or "Common : " and
  // the name of a handler the modes include.
  std::string name;
  std::vector<ManualKeyRow> rows;
  // For a mode, the names of the shared groups it takes keys from.
  std::vector<std::string> includes = {};
};

// The manual's own words on an action: what it does in Japanese, and in
// English where the editor has no description of it.
struct ManualNote {
  const char* group;
  const char* action;
  // Null: the editor's description says it.
  const char* en;
  const char* ja;
};

// Every note of the pages, one per action of every group.
const std::vector<ManualNote>& manual_notes();

// The groups of ctx's modes, in the key-binding editor's order.
std::vector<ManualKeyGroup> manual_key_groups(CtrlContext& ctx);

// The HTML table of group, with headings in language ("en" or "ja"). The
// description of a row is the editor's own; where it has none, the note's
// English words; on the Japanese page the note's Japanese words, followed
// by the editor's description as the key setting shows it. A group without
// keys of its own gets a sentence naming the groups it takes keys from
// instead of an empty table.
std::string manual_key_table(const ManualKeyGroup& group, const std::string& language);

// page with every marked region holding the table of its group. Groups
// that page does not mark are added to missing, and marked names that are
// no group to unknown.
std::string manual_fill_keys(const std::string& page, const std::vector<ManualKeyGroup>& groups,
                             const std::string& language, std::vector<std::string>& missing,
                             std::vector<std::string>& unknown);

} // namespace velkaro
