#pragma once
// The point states and pseudo states of a state machine: one-cell elements
// without content of their own, told apart by their class. StmPointElms is
// their common base; the drawers pick a figure by the exact class name, so
// StmConditional, which derives from StmJunction, has a figure of its own.
//
// Each kind is written with its XML name ("beginstate", "sinkstate",
// "entry", "exit", "terminate", "history", "junction", "conditional") and
// the common attributes only. A point covers exactly one cell: a document
// giving one a width or a height is refused, naming the line.

#include <memory>

#include "model/element.h"

namespace velkaro {

class StmPointElms : public ModelElement {
public:
  // Refuses a width or a height other than 0 (the reader stops with the
  // line).
  void read_in_top() override;

protected:
  StmPointElms() = default;
  // Every point kind counts as a point.
  bool is_own_type(const ModelElement& other) const override { return is_own_type_of<StmPointElms>(other); }
};

class StmBeginState : public StmPointElms {
public:
  static std::shared_ptr<StmBeginState> create() { return std::make_shared<StmBeginState>(); }
  StmBeginState() { tag = "beginstate"; }
  const char* get_type_name() const override { return "StmBeginState"; }
  ElementPtr new_instance() const override { return std::make_shared<StmBeginState>(); }
};

class StmSinkState : public StmPointElms {
public:
  static std::shared_ptr<StmSinkState> create() { return std::make_shared<StmSinkState>(); }
  StmSinkState() { tag = "sinkstate"; }
  const char* get_type_name() const override { return "StmSinkState"; }
  ElementPtr new_instance() const override { return std::make_shared<StmSinkState>(); }
};

class StmEntry : public StmPointElms {
public:
  static std::shared_ptr<StmEntry> create() { return std::make_shared<StmEntry>(); }
  StmEntry() { tag = "entry"; }
  const char* get_type_name() const override { return "StmEntry"; }
  ElementPtr new_instance() const override { return std::make_shared<StmEntry>(); }
};

class StmExit : public StmPointElms {
public:
  static std::shared_ptr<StmExit> create() { return std::make_shared<StmExit>(); }
  StmExit() { tag = "exit"; }
  const char* get_type_name() const override { return "StmExit"; }
  ElementPtr new_instance() const override { return std::make_shared<StmExit>(); }
};

class StmTerminate : public StmPointElms {
public:
  static std::shared_ptr<StmTerminate> create() { return std::make_shared<StmTerminate>(); }
  StmTerminate() { tag = "terminate"; }
  const char* get_type_name() const override { return "StmTerminate"; }
  ElementPtr new_instance() const override { return std::make_shared<StmTerminate>(); }
};

class StmHistory : public StmPointElms {
public:
  static std::shared_ptr<StmHistory> create() { return std::make_shared<StmHistory>(); }
  StmHistory() { tag = "history"; }
  const char* get_type_name() const override { return "StmHistory"; }
  ElementPtr new_instance() const override { return std::make_shared<StmHistory>(); }
};

class StmJunction : public StmPointElms {
public:
  static std::shared_ptr<StmJunction> create() { return std::make_shared<StmJunction>(); }
  StmJunction() { tag = "junction"; }
  const char* get_type_name() const override { return "StmJunction"; }
  ElementPtr new_instance() const override { return std::make_shared<StmJunction>(); }

protected:
  // A conditional pseudo state counts as a junction.
  bool is_own_type(const ModelElement& other) const override { return is_own_type_of<StmJunction>(other); }
};

class StmConditional : public StmJunction {
public:
  static std::shared_ptr<StmConditional> create() { return std::make_shared<StmConditional>(); }
  StmConditional() { tag = "conditional"; }
  const char* get_type_name() const override { return "StmConditional"; }
  ElementPtr new_instance() const override { return std::make_shared<StmConditional>(); }
};

} // namespace velkaro
