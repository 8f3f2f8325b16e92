#pragma once
// One input read as an editor opens a file, and what must hold for any
// input, however hostile, whatever the diagram kind: each fuzz target runs
// it on every input it makes up, and each kind's tests run it on every
// input of the committed corpus, so that whatever a fuzzer once found stays
// a regression case.
//
// The input is handed to ModelWorkspace::load() through a memory file
// (memfd), so it takes the very path of opening a file: the byte checks of
// the file reader, the reading of every element kind, the parent links, the
// layout, whatever the kind rebuilds after reading. It is opened over a
// small document of the kind, already open. Then:
// - a refused input comes with a reason and leaves the open document as it
//   was, to the last grid line and element rectangle (and what the kind
//   adds to the state);
// - an accepted one is not modified and holds only elements stored where
//   they are anchored, inside the grid, found there by the covering index,
//   with finite rectangles, whose parents are stored too, name them as
//   their children and never lead back to them; then the kind's own rules
//   hold;
// - an accepted one saves, and what was saved opens in a fresh workspace
//   as the same document in the same state (so the kind's rules hold for it
//   too), obeys the common rules, and saves to the same bytes.
// Crashes, hangs and sanitizer findings show as themselves.

#include <memory>
#include <string>
#include <string_view>

namespace velkaro {
class ModelWorkspace;
class Point;
struct Rectangle;
}

namespace velkaro::fuzz {

// What a diagram kind adds to the check.
struct DocumentCheckKind {
  // A new empty workspace of the kind.
  std::shared_ptr<ModelWorkspace> (*make)();
  // A small document of the kind that is open when the input is read.
  std::string_view open_document;
  // "" when the kind's own rules hold for a document just read; otherwise
  // the first that does not, in one line.
  std::string (*rules)(ModelWorkspace& ws);
  // The kind's state beyond the cells and the grid (routes, registrations),
  // as text that two equal states give alike; null when there is none.
  std::string (*state)(ModelWorkspace& ws);
};

// "" when everything held; otherwise what did not, in one line.
std::string check_document(std::string_view bytes, const DocumentCheckKind& kind);

// Every coordinate is finite.
bool finite(const Point& p);
bool finite(const Rectangle& r);

// Where two texts first differ, with a little of each, for a one-line
// report.
std::string first_difference(const std::string& got, const std::string& want);

} // namespace velkaro::fuzz
