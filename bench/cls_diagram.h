#pragma once
// Realistic class diagrams of any number of classes, for the benchmarks and
// the tests: a plan (which classes stand where, what they hold, which
// connectors join them), built into a class workspace through its own
// operations and written through its own writer.
//
// The diagram of n classes: each class has a name, 2 to 4 attribute lines
// (block1) and 1 to 3 operation lines (block2). It holds 3n/2 connectors
// (rounded down): a third of them generalizations that form a forest (each
// child has one parent, and parents come earlier in a shuffled order, so no
// class inherits from itself through others), the rest associations,
// aggregations, compositions and dependencies in turn between random
// distinct pairs. No two connectors join the same two classes, whichever
// their directions. Associations, aggregations and compositions carry
// multiplicities at both ends, dependencies none. One seed: the same n and
// placement always give the same diagram.
//
// Placements:
// - grid: the classes row by row on a square grid of ceil(sqrt(n)) columns,
//   one empty row and column between them and around them: class i at
//   (2 (i mod side) + 1, 2 (i div side) + 1);
// - staggered: every class in a row and a column of its own: class i at
//   column 2 i + 1 and row 2 ((k i) mod n) + 1, k the first of 7, 11, 13, ...
//   prime to n (a permutation of the rows). Every pair of classes adds two
//   corner cells to the route graph: the router's worst case.
//
// A keystroke benchmark takes its cells from the plan: a class's cell, the
// connectors at a class (cls_connectors_at()), the plan's used range.

#include <cstddef>
#include <string>
#include <vector>

#include "common/cell_pos.h"
#include "common/cell_range.h"
#include "common/rectangle.h"

namespace velkaro {

class ClsWorkspace;

enum class ClsPlacement { grid, staggered };

const char* cls_placement_name(ClsPlacement placement);

struct ClsPlannedClass {
  CellPos cell;
  std::string name;
  std::vector<std::string> attributes;
  std::vector<std::string> operations;
};

struct ClsPlannedConnector {
  // Indices into the plan's classes.
  size_t from = 0;
  size_t to = 0;
  // One of ClsAbstractConnectorElement::type_names().
  std::string type_name;
  // Multiplicities; empty for none.
  std::string start_label;
  std::string end_label;
};

struct ClsDiagramPlan {
  ClsPlacement placement = ClsPlacement::grid;
  std::vector<ClsPlannedClass> classes;
  std::vector<ClsPlannedConnector> connectors;
  // How many connectors of the plan are generalizations.
  size_t generalizations = 0;
  // The cells the classes cover, from (0, 0) to one line beyond the last.
  CellRange used{{0, 0}, {0, 0}};
};

// The plan of n classes (at least 2) placed as placement says.
ClsDiagramPlan cls_plan_diagram(int n, ClsPlacement placement);

// Indices of the plan's connectors that start or end at class index.
std::vector<size_t> cls_connectors_at(const ClsDiagramPlan& plan, size_t index);

// Builds the plan into ws, which must be empty, outside any record: every
// class added at its cell, then every connector routed and added in the
// plan's order, then everything laid out as a load lays it out. False
// (warning) when an operation refused.
bool cls_build_diagram(ClsWorkspace& ws, const ClsDiagramPlan& plan);

// The rectangle (canvas units) of the whole diagram of ws, margin wide
// round it: from the first cell to one line beyond the last element, where
// routes run round the outer classes.
Rectangle cls_whole_rect(const ClsWorkspace& ws, double margin);

// Builds the plan into a new class workspace and saves it at path through
// the class document's writer; false with the reason in error.
bool cls_write_diagram(const ClsDiagramPlan& plan, const std::string& path, std::string& error);

} // namespace velkaro
