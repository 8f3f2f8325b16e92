#pragma once
// CtrlUndoGroup: one step of the undo history that a scope opens and closes.
//
// Opening records a step at once, whether or not anything joins it later;
// while the group is open, every step recorded joins it (it is mergeable), so
// that one undo takes all of it back; closing ends that, and the steps
// recorded afterwards are steps of their own again. A group nothing joined
// is an empty step: the range mode's first preview takes such a step back in
// place of the user's own previous one.
//
// Like every step, the group's goes through the processor's record(), so a
// mergeable step on top of the history takes it in as it takes any other.
//
// Ownership: the group refers to the processor without owning it; it lives
// within the scope of the code that recorded it.

#include <memory>

namespace velkaro {

class CtrlAction;
class CtrlActionProcessor;
class CtrlContext;

class CtrlUndoGroup {
public:
  // Opens a group in ctx's history (the scratch one during a dry run).
  explicit CtrlUndoGroup(CtrlContext& ctx);
  ~CtrlUndoGroup();
  CtrlUndoGroup(const CtrlUndoGroup&) = delete;
  CtrlUndoGroup& operator=(const CtrlUndoGroup&) = delete;

private:
  CtrlActionProcessor& m_proc;
  std::shared_ptr<CtrlAction> m_step;
};

} // namespace velkaro
