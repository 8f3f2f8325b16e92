#pragma once
// ClsWorkspaceDiff: the undo record of one action on a class workspace. To
// the elements and the line of the base record it adds the connectors the
// action added and removed (in recording order, the connector objects
// themselves), and the two states of what routing and layout changed
// besides the cells: the state the action started from and the one it left
// (ClsWorkspaceDiffSide). Undo patches the workspace with the reverse
// record, which leads back to the first state; redo with the record, which
// leads to the second.
//
// The states are written by the workspace when the record closes; the
// connector sets by the workspace's operations while it is open.
// reverse() shares the sets and the states with the record it reverses.

#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "cls/doc/connector_state.h"
#include "cls/doc/connectors.h"
#include "common/cell_pos.h"
#include "model/workspace_diff.h"

namespace velkaro {

// Cells in row order (rows, then columns ascending).
struct ClsCellOrder {
  bool operator()(const CellPos& a, const CellPos& b) const
  {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  }
};

// One side of a record: what it changed, as it stood on that side.
struct ClsWorkspaceDiffSide {
  struct Connector {
    ClsConnectors::ConnectorPtr con;
    // None: the connector was not in the workspace's set on that side.
    std::optional<ClsConnectorState> state;
  };

  // The workspace's fixed connectors in order, when the action changed them.
  std::optional<ClsConnectors::Members> order;
  // Each connector whose state the action changed.
  std::unordered_map<const ClsAbstractConnectorElement*, Connector> connectors;
  // Each cell whose terminal registration the action changed: registered
  // on that side or not.
  std::map<CellPos, bool, ClsCellOrder> terminals;

  bool get_is_empty() const { return !order && connectors.empty() && terminals.empty(); }
};

class ClsWorkspaceDiff : public ModelWorkspaceDiff {
public:
  using ConnectorPtr = ClsConnectors::ConnectorPtr;

  static std::shared_ptr<ClsWorkspaceDiff> create() { return std::make_shared<ClsWorkspaceDiff>(); }

  // Null until the first one is recorded.
  std::shared_ptr<ClsConnectors> added_connectors;
  std::shared_ptr<ClsConnectors> removed_connectors;
  // The sides the record leads from and to; never null.
  std::shared_ptr<ClsWorkspaceDiffSide> from = std::make_shared<ClsWorkspaceDiffSide>();
  std::shared_ptr<ClsWorkspaceDiffSide> to = std::make_shared<ClsWorkspaceDiffSide>();

  void add_connector(const ConnectorPtr& con);
  void rm_connector(const ConnectorPtr& con);

  // Nothing recorded: no element, line or connector, and the set of
  // connectors unchanged.
  bool get_is_empty() const override;
  // The base reverse, with the connector sets and the sides swapped.
  std::shared_ptr<ModelWorkspaceDiff> reverse() const override;
  void assign(const ModelWorkspaceDiff& other) override;

protected:
  std::shared_ptr<ModelWorkspaceDiff> new_instance() const override { return create(); }
};

} // namespace velkaro
