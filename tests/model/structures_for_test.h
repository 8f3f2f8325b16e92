#pragma once
// Checks that the structures a workspace keeps up to date edit by edit are
// what a full recomputation from its cells gives: the covering index
// (stacks, lines, places), the elements' positions and the grid's line
// sizes; and that every parent link of the document leads to an element of
// the document that lists its child.
//
// They run after every step of the long random scripts, so they live in a
// library of their own (velkaro_test_model_checks) compiled with the
// optimisation of the model room rather than in every test executable.

#include <memory>
#include <string>

#include "model/element_cells.h"
#include "model/grid.h"
#include "model/workspace.h"

namespace velkaro::test {

// The grid laid out afresh from the document: a new grid of the same
// minimum sizes in which every line that an element covers has the size its
// covering elements need, every other line the minimum.
std::shared_ptr<ModelGrid> fresh_grid(ModelWorkspace& ws);

// The grid of ws equals the one laid out afresh, line by line up to last.
void expect_fresh_grid(ModelWorkspace& ws, int32_t last, const std::string& where);

// The covering index of cells against the covering map built from scratch.
void expect_index_exact(ModelElementCells& cells, const std::string& where);

// Everything a workspace keeps edit by edit, against a full recomputation.
void expect_structures(ModelWorkspace& ws, const std::string& where);

// Every parent link of the document: the parent an element keeps (and the
// one a kind computes, when it differs) is stored in the document, at a
// cell whose chain holds it, and the kept parent lists the element among
// its children. A parent outside the document (a copy in the clipboard, an
// element removed) would be written as a reference to whatever stands at
// its place, or to nothing.
void expect_parent_links(ModelWorkspace& ws, const std::string& where);

// Both: the structures against a full recomputation, and every parent link.
void expect_structures_and_links(ModelWorkspace& ws, const std::string& where);

} // namespace velkaro::test
