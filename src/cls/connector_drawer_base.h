#pragma once
// ClsConnectorDrawerBase: the base of the two connector drawers. One
// connector is drawn segment by segment, each segment its own sub-path (a
// bend carries no line join), in one stroke; then its two multiplicity
// labels at the first segment's start cell and the last segment's end cell
// (a connector without segments has no line and no labels); then its end
// shapes at its start and end cells. A focused connector (the one picked in
// the select-connector mode) is drawn 2.0 wide in active_connector_line,
// end shapes too, others 1.0 wide in element_line; a drawer context that
// shows no editor marks (an export) draws every connector unfocused.
//
// Local drawing: a connector is drawn only when the box of everything it
// paints (its segments' lines, its end shapes, its labels, widened by the
// line's width) meets the clip region, so a page costs what it shows.
//
// End shapes: one end drawer per term kind, in a table shared by every
// connector drawer and picked by the term's exact class; a term of another
// class is not drawn. Each construction of a connector drawer makes the
// table anew; drawers made earlier use the new one from then on.

#include <memory>
#include <typeindex>
#include <unordered_map>

#include "cls/ws_drawer.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsAbstractConnectorElement;
class ClsAbstractConnectorEndDrawer;
class ClsIConnectorTerm;
class ModelGrid;

class ClsConnectorDrawerBase : public ClsWsDrawer {
public:
  using EndDrawerTable = std::unordered_map<std::type_index, std::shared_ptr<ClsAbstractConnectorEndDrawer>>;

  // The shared table as the latest construction made it (empty before any).
  static std::shared_ptr<const EndDrawerTable> get_end_drawers();

  // Draws con as the header says, without the region test.
  void draw_connector(const ClsAbstractConnectorElement& con);
  // Draws the shape of con_term with its tip at the term's point moved by
  // offset (the top-left corner of the cell the term belongs to).
  void draw_connector_term(const ClsIConnectorTerm& con_term, const Point& offset);
  // Draws con when what it paints meets the clip region.
  void draw_connector_in_region(const ClsAbstractConnectorElement& con);

  // The box (canvas units) of everything con paints on grid, lines and
  // shapes widened by the widest line; empty (zero size at (0, 0)) and
  // false when it paints nothing.
  static bool get_drawn_bounds(const ClsAbstractConnectorElement& con, const ModelGrid& grid, Rectangle& bounds);

protected:
  // Makes the shared table anew.
  ClsConnectorDrawerBase();
};

// Draws the connector being drawn in the connect mode, if any.
class ClsFloatingConnectorDrawer : public ClsConnectorDrawerBase {
public:
  void draw() override;
};

// Draws the connectors of the connector set, in its order.
class ClsFixedConnectorDrawer : public ClsConnectorDrawerBase {
public:
  void draw() override;
};

} // namespace velkaro
