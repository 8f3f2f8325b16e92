#pragma once
// CtrlActionProcessor: the undo and redo history of one controller context.
//
// record() is the one way a change of the document becomes an undo step: it
// runs a function as a new action that records the workspace's changes
// (CtrlDelegateAction) and executes it. Every key-bound action, every undo
// group (CtrlUndoGroup) and every change a mode makes outside a key's own
// step goes through it; only the text editors execute their own text actions.
//
// execute() runs an action; when it did something the redo history is
// dropped and the action is either merged into the action on top of the undo
// stack (when that one is mergeable and accepts it) or pushed with the
// cursor cell of that moment. An action that did nothing leaves both stacks
// as they were, so redo stays possible after it. undo() and redo() move the
// top action between the stacks and put the cursor back on its recorded
// cell. Neither stack has a depth limit.
//
// Every execution, undo and redo is one step of the action's workspace
// (ModelWorkspace::begin_step()): when the step leaves a non-empty record
// (for undo and redo, in the action or one merged into it), or the
// workspace announced a change meanwhile, the workspace is marked modified
// and its observers are told once, after the stacks have changed. No action
// has to announce its own changes.
//
// The redo history is absent until the first undo and again after every
// successful execution; get_redo_stack() tells absent from empty.
//
// revoke() takes back the newest action as if it had never run: a preview
// that is replaced, an edit that is cancelled. It is undone and dropped, and
// the redo history becomes the one its execution dropped, which the
// processor keeps until the next execution, undo or redo (and only then
// releases).
//
// The cursor is read from and set on the cursor holder (the context), which
// the processor links to without owning it. Without a holder (a throw-away
// processor of a dry run) no cursor cell is recorded and none is restored.
//
// Ownership: the stacks hold their actions; last_action holds the action most
// recently handed to execute().

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ctrl/undo/record.h"

namespace velkaro {

class CtrlAction;
class CtrlICursorHolder;
class ModelWorkspace;

class CtrlActionProcessor {
public:
  using Stack = std::vector<std::shared_ptr<CtrlAction>>; // back() is the newest

  // An empty history, a plain last action, no cursor holder.
  CtrlActionProcessor();
  static std::shared_ptr<CtrlActionProcessor> create();
  CtrlActionProcessor(const CtrlActionProcessor&) = delete;
  CtrlActionProcessor& operator=(const CtrlActionProcessor&) = delete;

  // Runs fn as a new action over ws that records what fn changes and
  // executes it: the step is kept when fn reports that it did something (a
  // merged one mergeable). none runs fn recording nothing. fn's result;
  // false without ws.
  bool record(const std::shared_ptr<ModelWorkspace>& ws, CtrlRecord how, const std::function<bool()>& fn);
  // Runs action (see the header comment); true when it did something.
  // last_action becomes action in every case.
  bool execute(const std::shared_ptr<CtrlAction>& action);
  // Undoes the newest action and moves it to the redo history; the cursor
  // goes back to its recorded cell when move_cursor is set. Nothing when
  // there is nothing to undo.
  void undo(bool move_cursor);
  // Redoes the newest undone action and pushes it on the undo stack without
  // merging; the cursor goes to its recorded cell. Nothing when there is
  // nothing to redo.
  void redo();
  // Undoes the newest action without moving the cursor and forgets it: it
  // goes on neither stack, and the redo history is again the one before it
  // ran. When that history is no longer known (the newest action was not
  // the last one executed, or an undo or redo came since), an undo(false).
  // Nothing when there is nothing to undo.
  void revoke();
  // Sets the mergeable flag of the action on top of the undo stack; nothing
  // when the stack is empty.
  void set_head_mergeable(bool mergeable);
  // Sets the mergeable flag of the last action handed to execute(): while
  // an action runs, its own step, which then takes the steps recorded after
  // it (as typing into a text the step added).
  void set_last_mergeable(bool mergeable);
  // Empties the undo stack and drops the redo history; the last action and
  // the cursor holder stay.
  void reset();
  // Exchanges the undo stack, the redo history and the last action with
  // other's; the cursor holders stay. A dry run gives the processor an empty
  // history this way, so that whatever reaches the processor meanwhile (also
  // through wrappers registered long before) lands in a history that is
  // then put aside.
  void swap_history(CtrlActionProcessor& other);

  bool get_has_undo_stack() const { return !m_undo_stack.empty(); }
  bool get_has_redo_stack() const { return m_redo_stack && !m_redo_stack->empty(); }
  const Stack& get_undo_stack() const { return m_undo_stack; }
  const std::optional<Stack>& get_redo_stack() const { return m_redo_stack; }
  const std::shared_ptr<CtrlAction>& get_last_action() const { return m_last_action; }

  std::shared_ptr<CtrlICursorHolder> get_ctrl() const { return m_ctrl.lock(); }
  void set_ctrl(const std::shared_ptr<CtrlICursorHolder>& ctrl) { m_ctrl = ctrl; }

private:
  void restore_cursor(const CtrlAction& action) const;

  // Lets go of the redo history kept for revoke().
  void forget_dropped_redo();

  Stack m_undo_stack;
  std::optional<Stack> m_redo_stack;
  // The action whose execution dropped m_dropped_redo (the redo history
  // then), while it is the newest action on the undo stack.
  std::shared_ptr<CtrlAction> m_dropped_by;
  std::optional<Stack> m_dropped_redo;
  std::shared_ptr<CtrlAction> m_last_action;
  std::weak_ptr<CtrlICursorHolder> m_ctrl;
};

} // namespace velkaro
