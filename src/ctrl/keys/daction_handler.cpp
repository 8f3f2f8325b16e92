#include "ctrl/keys/daction_handler.h"

#include <utility>

#include "ctrl/undo/action_processor.h"
#include "ctrl/keys/action_wrapper.h"
#include "model/store.h"
#include "model/workspace.h"

namespace velkaro {

CtrlDActionHandler::CtrlDActionHandler(std::shared_ptr<CtrlActionProcessor> action_proc,
                                       std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<ModelStore> store)
  : action_proc(std::move(action_proc)), ws(std::move(ws)), store(std::move(store))
{
}

CtrlDActionHandler::~CtrlDActionHandler()
{
  for (const auto& wrapper : ordered_actions)
    wrapper->detach();
  for (const auto& [name, wrapper] : replacement)
    wrapper->detach();
}

} // namespace velkaro
