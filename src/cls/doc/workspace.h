#pragma once
// ClsWorkspace: the document of the class-diagram editor. Its cells hold
// class boxes and free texts at their anchor cells (ClsElementCells); the
// workspace also owns what connects them: the route graph (router), the
// set of every segment (layouter), the fixed connectors in order and the
// connector being drawn (the floating connector). Every edit the class
// modes make goes through the operations below, so that cells, route graph,
// connectors, segment layout, the undo record and "signal-updated" change
// together. Made by ModelWorkspace::create<ClsWorkspace>().
//
// Terminals. A cell is a terminal of the route graph, registered once, when
// a class was added there, when a paste or a load put an element there;
// texts added while editing are not (their cells become terminals once the
// document is saved and loaded again). A cell stops being one when it no
// longer holds an element, whichever operation emptied it. The floating
// connector registers the cell it ends at once more while it exists.
//
// Connectors. Each fixed connector's route is searched from its start to
// its end cell; one with an end nowhere ((-1, -1)) or at a cell without a
// route node has no segments. Every segment of the fixed connectors and of
// the routed floating connector is in the layouter, in the order of the
// connector set (the floating connector's last), which makes every layout
// independent of the order the segments came in.
//
// Undo. The open record is a ClsWorkspaceDiff (new_diff()); operations
// record into it only when it is one, so undo, redo and loading record
// nothing. Besides the elements, lines and connectors each operation
// records, the workspace notes, when a record opens and closes, which
// connectors, routes, segment positions and terminals the action changed;
// patch() then gives back exactly the state the record leads to, routes and
// positions included. Since every connector's state comes from the record
// (or stays as it was), patch() applies the elements and lines without
// routing or spreading anything: an undo costs what the cells and lines
// cost, not a routing of the connectors. The notes cost a walk of the
// connectors when a record opens and closes. A chain
// removed by a class operation is recorded element by element; patch()
// removes a whole chain (with its connectors) only when the record names
// every element of it, and puts a text that left a chain alone back into
// its place there.
//
// Lines. Inserting or removing a row or column moves classes, terminals,
// connector ends and the grid together, then routes every connector again
// and lays everything out, labels included. A line operation that would
// push an element, a terminal or a connector end out of the grid is
// refused with nothing changed.
//
// The yank buffer is the process's one ClsYankBuffer, shared by every class
// workspace.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "cls/doc/connector_state.h"
#include "cls/doc/connectors.h"
#include "cls/doc/workspace_diff.h"
#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "model/workspace.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ClsClassElement;
class ClsElementCells;
class ClsRoute;
class ClsRouter;
class ClsSegment;
class ClsSegmentLayouter;
class ModelTextElement;

class ClsWorkspace : public ModelWorkspace {
public:
  using ConnectorPtr = ClsConnectors::ConnectorPtr;
  using Members = ClsConnectors::Members;
  using Terminals = std::set<CellPos, ClsCellOrder>;

  explicit ClsWorkspace(Key key);
  ~ClsWorkspace() override;

  // --- Accessors.

  // The open record when it is a ClsWorkspaceDiff, else null.
  std::shared_ptr<ClsWorkspaceDiff> get_cls_diff() const;
  // The current cells (the scratch cells in temp mode) when they are
  // ClsElementCells, else null.
  std::shared_ptr<ClsElementCells> get_cls_cells() const;
  // The yank buffer holds at least one element.
  bool get_has_yanked() const;
  const std::shared_ptr<ClsRouter>& get_router() const { return m_router; }
  // The layouter, holding the segments of every connector.
  const std::shared_ptr<ClsSegmentLayouter>& get_layouter();
  const std::shared_ptr<ClsConnectors>& get_connectors() const { return m_connectors; }
  const ConnectorPtr& get_floating_connector() const { return m_floating_connector; }
  const CellPos& get_floating_start() const { return m_floating_start; }
  const CellPos& get_floating_end() const { return m_floating_end; }
  // The cells registered as terminals for the document (the floating
  // connector's extra registration aside).
  const Terminals& get_terminals() const { return m_terminals; }

  // --- Classes and texts (each emits "signal-updated" when it changed the
  // document; false: nothing changed).

  // Adds elem (or a new class) at an empty cell, registers the cell and
  // lays it out; no connector is routed again.
  bool add_class(const CellPos& pos, const std::shared_ptr<ClsClassElement>& elem = nullptr);
  // Removes the chain at pos with the connectors attached to it, routes
  // again the connectors spread together with them.
  bool rm_pos(const CellPos& pos);
  // Stores elem (or a new centred text) at pos, after the chain there.
  bool add_text(const CellPos& pos, const std::shared_ptr<ModelTextElement>& elem = nullptr);
  // Fills the yank buffer with duplicates of the chain heads in range and
  // of the connectors starting at them; false for an invalid range (the
  // buffer stays). Changes nothing in the document.
  bool yank(const CellRange& range);
  // Pastes the buffer with its top-left occupied cell at pos, replacing
  // what the block covers; every connector is routed again. False, with
  // nothing changed, when the buffer holds nothing or the block would
  // leave the grid.
  bool paste_to(const CellPos& pos);
  // Removes every chain anchored in range with its connectors; true.
  bool rm_class_range(const CellRange& range);
  // The class (and its cell) that holds text_elem as a compartment.
  bool get_klass_has_text_elem(const ModelTextElement& text_elem,
                               std::shared_ptr<ClsClassElement>& klass, CellPos& pos) const;

  // --- Connectors (none emits "signal-updated").

  // Adds a routed connector: its segments join the layouter, it is
  // appended to the set and recorded.
  bool add_connector(const ConnectorPtr& con);
  // Takes con out of the set and its segments out of the layouter; records
  // it as removed (also when the set did not hold it).
  bool remove_connector_without_layout(const ConnectorPtr& con);
  // The same, then lays out again the segments that ran beside con.
  bool remove_connector(const ConnectorPtr& con);
  // Routes con again from its start to its end; the new segments join the
  // layouter not laid out.
  bool update_connector_route(const ConnectorPtr& con);
  // The connectors (not in con_set) with a segment spread together with a
  // segment of a connector of con_set, in set order.
  Members enum_related_connectors(const Members& con_set);
  // Starts a floating connector of the type name at the element at start,
  // dropping the one there was; false when start holds nothing or the type
  // is unknown.
  bool new_floating_connector(const CellPos& start, const std::string& type_name);
  // Moves the floating connector's end to end and routes it; false, with
  // nothing changed, without a floating connector or outside the grid.
  bool update_floating_connector(const CellPos& end);
  // Makes the floating connector a fixed one; false when it ends at its
  // start cell or at an empty cell, or when there is none.
  bool fix_floating_connector();
  // Drops the floating connector; true.
  bool rm_floating_connector();

  // --- Layout.

  // Sizes the columns and rows of the chains anchored in range, lays out
  // the chains in range's columns and rows, the segments crossing range
  // and every connector's labels.
  void update_layout_range(const CellRange& range);
  // Sizes every line and lays out every element and every connector's
  // labels.
  void update_layout_all();

  // --- Overrides.

  std::shared_ptr<ModelWorkspaceDiff> new_diff() override;
  // A cell left empty stops being a terminal.
  void chain_changed(const CellPos& pos, const ModelElement& elm) override;
  bool insert_line(CellDir dir, int32_t index) override;
  bool remove_line(CellDir dir, int32_t index) override;
  // Sizes column pos.x and row pos.y, lays out their chain heads in their
  // cells, then the segments crossing pos and every connector's labels.
  // Also in temp mode. A coordinate of -1 stands for no line.
  void update_layout(const CellPos& pos) override;
  void patch(const ModelWorkspaceDiff& diff) override;
  // "workspace" holding "element_cells" and "connector_set".
  bool write(SerializingWriter& writer) override;
  // Reads cells and connectors, then registers every occupied cell, links
  // and routes the connectors and lays everything out. A load reads into a
  // new empty class workspace (read_new()), so a failed read touches no open
  // document.
  bool read(SerializingReader& reader) override;
  // The base reset with class cells, a new router, layouter and connector
  // set, and no floating connector.
  void init() override;
  // Takes doc's router, layouter, connectors, floating connector and
  // terminals with its cells and grid (doc is a class workspace).
  void take_document(ModelWorkspace& doc) override;

private:
  // What routing and layout change besides the cells, at one moment: the
  // connectors in order, with their states when asked, and the terminals
  // in row order. Taken when every record opens (and before a patch), so it
  // costs no allocation per connector: every connector's segments and their
  // places are stored end to end (workspace_patch.cpp). When the record
  // closes, the connectors are compared with it where they stand.
  // Where each connector of a member list stands in it, looked up by the
  // connector's address.
  class ConnectorIndex {
  public:
    ConnectorIndex() = default;
    explicit ConnectorIndex(const Members& members);
    std::optional<size_t> find(const ClsAbstractConnectorElement* con) const;

  private:
    // Ascending by address.
    std::vector<std::pair<const ClsAbstractConnectorElement*, size_t>> m_entries;
  };

  struct Snapshot {
    // A connector's state but for its segments and their places, which are
    // segments and places [first, first + count).
    struct State {
      CellPos start;
      CellPos end;
      ElementPtr start_elem;
      ElementPtr end_elem;
      size_t first = 0;
      size_t count = 0;
      std::optional<ClsAbstractConnectorTerm::Placement> start_term;
      std::optional<ClsAbstractConnectorTerm::Placement> end_term;
      Rectangle start_label_box;
      Rectangle end_label_box;
      std::shared_ptr<const ClsRoute> searched_route;
    };

    Members order;
    // Empty, or the state of each connector of order.
    std::vector<State> states;
    std::vector<std::shared_ptr<ClsSegment>> segments;
    std::vector<ClsConnectorState::SegmentPlace> places;
    std::vector<CellPos> terminals;
    // Where each connector stands in order.
    ConnectorIndex index;

    std::optional<size_t> find(const ClsAbstractConnectorElement* con) const { return index.find(con); }
    // State i of this is con's state now.
    bool same_as(size_t i, const ClsAbstractConnectorElement& con) const;
    ClsConnectorState state_of(size_t i) const;
  };

  // --- Terminals (workspace.cpp).
  void register_terminal(const CellPos& pos);
  void unregister_terminal(const CellPos& pos);
  // Line edits of the terminal cells, as the router makes them.
  void shift_terminals(CellDir dir, int32_t index, int32_t delta);

  // --- Cells (workspace_classes.cpp).
  // Puts the chain headed by head into the empty cell pos.
  void put_chain(const CellPos& pos, const ElementPtr& head);
  // Takes the chain at pos out, recording each of its elements.
  ElementPtr take_chain(const CellPos& pos);
  // Ends the connectors of the yank buffer reach from a paste at offset.
  CellPos pasted_end(const CellPos& end, const std::weak_ptr<ModelElement>& end_elem,
                     const CellRange& origin, const CellPos& offset) const;

  // --- Layout (workspace_lines.cpp).
  // Sizes column x (row y) from what covers it and lays out the chain
  // heads anchored in it; -1 for none.
  void layout_lines(int32_t x, int32_t y);
  void layout_head_at(int32_t x, int32_t y, const ElementPtr& head);
  // update_layout_range() without the segments and labels: the lines of
  // the chains in range sized, the chains in its columns and rows laid out.
  void size_lines_range(const CellRange& range);
  // Every fixed connector lays its labels out.
  void layout_labels();
  // A line edit would move something of the document out of the grid.
  bool line_blocked(CellDir dir, int32_t index) const;
  // After a line edit: a new layouter, every connector routed and laid out.
  void route_all_again();

  // --- Undo (workspace_patch.cpp).
  // with_states: also every connector's state (the order and the
  // terminals always).
  Snapshot snapshot(bool with_states = true) const;
  // The open record changed: closes the watch of the one before, opens one
  // on the new.
  void on_diff_changed();
  // Writes into record what changed between start and now: the connectors
  // and terminals as they stand, read in place (no snapshot of them taken).
  void note_changes(ClsWorkspaceDiff& record, const Snapshot& start) const;
  // Puts connectors, their states and the terminals where side says, and
  // everything side does not name as pre had it (the connectors' states
  // only when lines_moved: nothing else of a patch changes them).
  void restore(const Snapshot& pre, const ClsWorkspaceDiffSide* side, bool lines_moved);
  // Applies the elements of a record: removals, then additions.
  void patch_elements(const ModelWorkspaceDiff& diff);

  // The empty route between con's two cells when either lies outside the
  // grid, else the cheapest route (the one searched for con before when
  // the router finds it still holds).
  std::shared_ptr<const ClsRoute> route_of(ClsAbstractConnectorElement& con);
  // The layouter must be made again from the connectors.
  void layouter_changed() { m_layouter_stale = true; }

  std::shared_ptr<ClsRouter> m_router;
  std::shared_ptr<ClsSegmentLayouter> m_layouter;
  bool m_layouter_stale = false;
  std::shared_ptr<ClsConnectors> m_connectors;
  ConnectorPtr m_floating_connector;
  CellPos m_floating_start{0, 0};
  CellPos m_floating_end{0, 0};
  Terminals m_terminals;
  // The record being watched and the state when it opened.
  std::weak_ptr<ClsWorkspaceDiff> m_watched;
  std::optional<Snapshot> m_watch_start;
  // paste_to() is clearing its target: it routes and lays out everything
  // afterwards, so rm_class_range() leaves routes and segments alone.
  bool m_pasting = false;
  // patch() is applying a record's elements and lines: every connector's
  // route, segments, terms and labels are put in place from the record
  // afterwards, so the operations it calls route and spread nothing.
  bool m_replaying = false;
};

} // namespace velkaro
