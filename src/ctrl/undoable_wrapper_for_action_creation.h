#pragma once
// CtrlUndoableWrapperForActionCreation: an action wrapper that asks a factory
// for a new action on every use and executes it through the undo processor
// (recorded for undo), or, without a processor, executes it directly
// (recorded nowhere).

#include <functional>
#include <memory>
#include <string>

#include "ctrl/action_wrapper.h"

namespace velkaro {

class CtrlAction;
class CtrlActionProcessor;

class CtrlUndoableWrapperForActionCreation : public CtrlActionWrapper {
public:
  using Factory = std::function<std::shared_ptr<CtrlAction>()>;

  // Without factory: it runs nothing until one is given by a subclass.
  static std::shared_ptr<CtrlUndoableWrapperForActionCreation> create(Keys keys, std::string description);
  // action_proc may be null.
  static std::shared_ptr<CtrlUndoableWrapperForActionCreation>
  create_func(Factory factory, Keys keys, std::string description,
              const std::shared_ptr<CtrlActionProcessor>& action_proc, IsActionableFunc is_actionable = {});

  CtrlUndoableWrapperForActionCreation(Keys keys, std::string description);

  // The processor's result for a new action from the factory, or without a
  // processor the action's own result; false without a factory or action.
  bool action() override;
  void detach() override;

protected:
  void set_factory(Factory factory) { m_factory = std::move(factory); }

private:
  Factory m_factory;
  std::shared_ptr<CtrlActionProcessor> m_action_proc;
};

} // namespace velkaro
