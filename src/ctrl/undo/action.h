#pragma once
// CtrlAction: one undoable change of a document. While it executes it has
// its workspace record every change in a difference record (with_diff());
// undo patches the workspace with the reverse of that record, redo with the
// record itself.
//
// Merging: an action that follows may be merged into an action (merge()).
// Merged actions form a chain behind the first one (next_action), and the
// chain is undone and redone as one step: a head H with the chain H, A, B
// is redone as H, A, B and undone as B, A, H.
//
// Subclasses override any of the six virtual operations; an override may
// call the base operation (CtrlAction::merge() is the default merge).
//
// Ownership: an action owns its record and the chain of actions merged into
// it, and holds its workspace (which may be absent: such an action records
// nothing and patches nothing).

#include <functional>
#include <memory>

#include "common/cell_pos.h"

namespace velkaro {

class ModelWorkspace;
class ModelWorkspaceDiff;

class CtrlAction : public std::enable_shared_from_this<CtrlAction> {
public:
  explicit CtrlAction(std::shared_ptr<ModelWorkspace> ws = nullptr);
  static std::shared_ptr<CtrlAction> create(std::shared_ptr<ModelWorkspace> ws = nullptr);
  virtual ~CtrlAction();
  CtrlAction(const CtrlAction&) = delete;
  CtrlAction& operator=(const CtrlAction&) = delete;

  // True when the action did something that is to be recorded for undo.
  // Base: true, recording nothing.
  virtual bool execute();
  // Base: undoes the chain behind this action first, then patches the
  // workspace with the reverse of the record (when there are both).
  virtual void undo();
  // Base: patches the workspace with the record (when there are both), then
  // redoes the chain behind this action.
  virtual void redo();
  // Takes other into this action's undo step; true when it was absorbed.
  // Base: appends other to the end of the chain, true.
  virtual bool merge(const std::shared_ptr<CtrlAction>& other);
  // Whether the processor may merge the next executed action into this one
  // while it is on top of the undo stack. Base: the stored flag, initially
  // false.
  virtual bool get_is_mergeable() const;
  virtual void set_is_mergeable(bool mergeable);

  // Opens a new record on the workspace, runs fn, closes the record again
  // (restoring the record that was open before, normally none) and returns
  // fn's result. The record stays the action's record (get_diff()), whatever
  // fn returned. Without a workspace fn runs and nothing is recorded.
  bool with_diff(const std::function<bool()>& fn);

  const std::shared_ptr<ModelWorkspace>& get_ws() const { return m_ws; }
  // The first action merged into this one, or null.
  const std::shared_ptr<CtrlAction>& get_next_action() const { return m_next_action; }
  // The record of the latest execution, or null.
  const std::shared_ptr<ModelWorkspaceDiff>& get_diff() const { return m_diff; }
  // The record of this action or of one merged into it is not empty.
  bool get_has_changes() const;
  // The cursor cell when the processor recorded the action; (-1, -1) when
  // none was recorded.
  const CellPos& get_cursor_cell() const { return m_cursor_cell; }
  void set_cursor_cell(const CellPos& cell) { m_cursor_cell = cell; }

protected:
  // with_diff() without its debug line.
  bool record_changes(const std::function<bool()>& fn);

private:
  std::shared_ptr<ModelWorkspace> m_ws;
  std::shared_ptr<CtrlAction> m_next_action;
  CellPos m_cursor_cell{-1, -1};
  std::shared_ptr<ModelWorkspaceDiff> m_diff;
  bool m_is_mergeable = false;
};

} // namespace velkaro
