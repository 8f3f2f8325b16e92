#pragma once
// The undoable edit steps of the class-diagram editor. A mode builds one for
// a request and hands it to the context's undo processor
// (CtrlActionProcessor::execute), which keeps it as an undo step when its
// execute() reports that it did something.
//
// Seven actions run one operation of the class workspace while the
// workspace records every change (CtrlAction::with_diff); undo and redo are
// the base action's patches with that record:
//   ClsAddClassAction        a new class box at pos
//   ClsRemovePosAction       cuts the element at pos (yank, then remove)
//   ClsRemoveCellRangeAction cuts every element of a range
//   ClsFixFloatingConnector  the connector being drawn joins the diagram
//   ClsRemoveConnector       removes one connector
//   ClsInsertLineAction      opens column (h) or row (v) index
//   ClsRemoveLineAction      removes column (h) or row (v) index
// The two cuts fill the process's yank buffer before they remove anything;
// the buffer is not part of the document, so undo and redo leave it alone.
//
// Two block actions show and hide a compartment of the class box at a cell;
// they record no difference but keep the compartment index (and the hidden
// text) and do their own undo and redo, finding the class again by its cell
// each time (nothing happens when no class stands there any more):
//   ClsInsertBlockInClass    shows the compartment below the active one
//   ClsRemoveBlockInClass    hides the active compartment (never the name)
//
// No action is mergeable.
//
// Ownership: each action holds its class workspace (and ClsRemoveConnector
// its connector).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/directions.h"
#include "ctrl/undo/action.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ClsClassElement;
class ClsWorkspace;

class ClsAction : public CtrlAction {
public:
  explicit ClsAction(const std::shared_ptr<ClsWorkspace>& ws);
  const std::shared_ptr<ClsWorkspace>& get_cls_ws() const { return m_ws; }

private:
  std::shared_ptr<ClsWorkspace> m_ws;
};

class ClsAddClassAction : public ClsAction {
public:
  ClsAddClassAction(const std::shared_ptr<ClsWorkspace>& ws, const CellPos& pos) : ClsAction(ws), m_pos(pos) {}
  bool execute() override;

private:
  CellPos m_pos;
};

class ClsRemovePosAction : public ClsAction {
public:
  ClsRemovePosAction(const std::shared_ptr<ClsWorkspace>& ws, const CellPos& pos) : ClsAction(ws), m_pos(pos) {}
  bool execute() override;

private:
  CellPos m_pos;
};

class ClsRemoveCellRangeAction : public ClsAction {
public:
  ClsRemoveCellRangeAction(const std::shared_ptr<ClsWorkspace>& ws, const CellRange& range)
    : ClsAction(ws), m_range(range)
  {
  }
  bool execute() override;

private:
  CellRange m_range;
};

class ClsFixFloatingConnector : public ClsAction {
public:
  explicit ClsFixFloatingConnector(const std::shared_ptr<ClsWorkspace>& ws) : ClsAction(ws) {}
  bool execute() override;
};

// Clears the connector's focus flag when made, so that an undo brings it
// back drawn unfocused. A connector the connector set no longer holds is
// refused (false): undo and redo then never put a connector into the set
// twice.
class ClsRemoveConnector : public ClsAction {
public:
  ClsRemoveConnector(const std::shared_ptr<ClsWorkspace>& ws, const std::shared_ptr<ClsAbstractConnectorElement>& con);
  bool execute() override;

private:
  std::shared_ptr<ClsAbstractConnectorElement> m_con;
};

class ClsInsertLineAction : public ClsAction {
public:
  ClsInsertLineAction(const std::shared_ptr<ClsWorkspace>& ws, CellDir dir, int32_t index)
    : ClsAction(ws), m_dir(dir), m_index(index)
  {
  }
  bool execute() override;

private:
  CellDir m_dir;
  int32_t m_index;
};

class ClsRemoveLineAction : public ClsAction {
public:
  ClsRemoveLineAction(const std::shared_ptr<ClsWorkspace>& ws, CellDir dir, int32_t index)
    : ClsAction(ws), m_dir(dir), m_index(index)
  {
  }
  bool execute() override;

private:
  CellDir m_dir;
  int32_t m_index;
};

// The base of the two block actions: the class at the target cell.
class ClsABlockAction : public ClsAction {
public:
  ClsABlockAction(const std::shared_ptr<ClsWorkspace>& ws, const CellPos& target_cell_pos)
    : ClsAction(ws), m_target_cell_pos(target_cell_pos)
  {
  }
  // The chain head at the target cell when it is a class box, else null.
  std::shared_ptr<ClsClassElement> get_target() const;
  int32_t get_block_index() const { return m_block_index; }

protected:
  // The class's cell laid out again; "signal-updated".
  void relayout();

  CellPos m_target_cell_pos;
  int32_t m_block_index = 0;
};

class ClsInsertBlockInClass : public ClsABlockAction {
public:
  using ClsABlockAction::ClsABlockAction;
  // Shows the compartment below the active one, empty and active. False,
  // with nothing changed, without a class at the cell or when both blocks
  // are shown.
  bool execute() override;
  void undo() override;
  void redo() override;
};

class ClsRemoveBlockInClass : public ClsABlockAction {
public:
  using ClsABlockAction::ClsABlockAction;
  // Hides the active compartment, keeping its text for undo. False, with
  // nothing changed, without a class at the cell or with the name active.
  bool execute() override;
  // Shows the compartment again with its text.
  void undo() override;
  void redo() override;
  const std::optional<std::string>& get_removed_text() const { return m_removed_text; }

private:
  std::optional<std::string> m_removed_text;
};

} // namespace velkaro
