#pragma once
// StmTransaction: a transition, one straight run from its anchor cell to
// its end cell. A path with turns is a line of transitions, each the
// parent of the next one: a transition started where another one covers
// the cell takes it as its parent (pick_parent()). Written as "transaction"
// with the common attributes (the parent reference among them).

#include <memory>

#include "common/directions.h"
#include "stm/doc/line_elms.h"

namespace velkaro {

class StmTransaction : public StmLineElms {
public:
  static std::shared_ptr<StmTransaction> create() { return std::make_shared<StmTransaction>(); }
  StmTransaction() { tag = "transaction"; }

  const char* get_type_name() const override { return "StmTransaction"; }
  ElementPtr new_instance() const override { return std::make_shared<StmTransaction>(); }

  // The parent becomes the first transition covering the workspace cursor,
  // or none; head is not looked at. The workspace calls it before it stores
  // a new or resized transition at the cursor, so the transition does not
  // find itself.
  void pick_parent(ModelWorkspace& ws, const ElementPtr& head) override;

  // The chain at its anchor cell holds a point state: it starts on one.
  bool get_is_start() const;
  // No transition goes on from it (none of its children is exactly a
  // transition).
  bool get_is_end() const;
  // The way it runs at its end: left or right on axis h (left for dh < 1),
  // up or down on axis v (up for dv < 1).
  MovingDir get_mdir() const;
};

} // namespace velkaro
