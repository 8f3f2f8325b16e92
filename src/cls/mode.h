#pragma once
// ClsMode: the base of the class-diagram modes that are not cell or text
// modes ("CONNECT MODE", "SELECT CONNECTOR MODE", "EDIT CONNECTOR MODE"):
// a mode of a ClsContext, with short paths to it and to its class
// workspace.
//
// Ownership: as every mode (see CtrlMode).

#include <memory>

#include "cls/context.h"
#include "ctrl/modes/mode.h"

namespace velkaro {

class ClsWorkspace;

class ClsMode : public CtrlMode {
public:
  explicit ClsMode(ClsContext& ctrl) : CtrlMode(ctrl) {}

  ClsContext& get_cls_ctrl() const { return get_ctrl().get_c<ClsContext>(); }
  const std::shared_ptr<ClsWorkspace>& get_cls_ws() const { return get_cls_ctrl().get_cls_ws(); }
};

} // namespace velkaro
