#pragma once
// StmElms: the vocabulary of a state machine. make() makes the element of
// one of the eleven XML names of the point, composite and line kinds, and
// point_kinds() lists the eight point kinds with the labels the insert
// popup shows for them, in the popup's order. Nothing is ever made of the
// class itself.

#include <array>
#include <memory>
#include <string>

namespace velkaro {

class ModelElement;

// One point kind: its XML name and its menu label (with its mnemonic, not
// translated).
struct StmPointKindRow {
  const char* name;
  const char* label;
};

class StmElms {
public:
  StmElms() = delete;

  // A new element for the exact, case-sensitive name, its tag that name,
  // looked up in the order "beginstate", "sinkstate", "entry", "exit",
  // "terminate", "history", "junction", "conditional", "composite",
  // "transaction", "concurrent". Null for any other name ("stm_text" and
  // "text" among them).
  static std::shared_ptr<ModelElement> make(const std::string& name);

  // The point kinds in popup order: begin state, sink state, entry, exit,
  // terminate, history, conditional, junction (conditional before junction,
  // unlike make()'s order). A copy of the table on each call.
  static std::array<StmPointKindRow, 8> point_kinds();
};

} // namespace velkaro
