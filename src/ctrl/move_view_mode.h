#pragma once
// CtrlMoveViewMode ("MOVE VIEW MODE"): an overview of the whole diagram in
// which the user picks the part to look at. The cell mode enters it with
// "<Tab>"; the contexts of the diagram kinds register one instance of it.

#include <string>

#include "ctrl/mode.h"

namespace velkaro {

class CtrlMoveViewMode : public CtrlMode {
public:
  static constexpr const char* NAME = "MOVE VIEW MODE";

  explicit CtrlMoveViewMode(CtrlContext& ctrl) : CtrlMode(ctrl) {}

  std::string get_name() const override { return NAME; }
};

} // namespace velkaro
