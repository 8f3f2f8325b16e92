#pragma once
// A class document read as the class editor opens a file, checked as
// document_check.h says, with the rules of a class document just read:
// - every occupied cell is registered once as a terminal, and nothing else
//   is; the route graph is the one those registrations build afresh;
// - there is no floating connector, and the layouter holds the segments of
//   the connectors, in their order;
// - each connector links the chain heads at its two cells; it has a route
//   only between two distinct cells of the grid, and a route joins its
//   ends, runs straight from segment to segment, enters no terminal but its
//   ends, is laid out and has finite points, terms and labels;
// - laying out the group of every segment in turn, then every connector's
//   labels, changes nothing (a read lays each group out once).
// The state two readings must share adds the terminals, the route graph
// and every connector with its route, points, terms and labels.

#include <string>
#include <string_view>

namespace velkaro::fuzz {

// "" when everything held; otherwise what did not, in one line.
std::string check_cls_document(std::string_view bytes);

} // namespace velkaro::fuzz
