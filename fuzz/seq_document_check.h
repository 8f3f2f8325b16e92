#pragma once
// One document read as the sequence editor opens a file, and what must hold
// for any input, however hostile: the fuzz target runs it on every input it
// makes up, and the sequence tests run it on every input of the committed
// corpus, so that whatever the fuzzer once found stays a regression case.
//
// The input is handed to ModelWorkspace::load() through a memory file
// (memfd), so it takes the very path of opening a file: the byte checks of
// the file reader, the reading of every element kind, the parent links, the
// layout. Then:
// - a refused document leaves the workspace an empty document, with a
//   reason;
// - an accepted one holds only elements stored where they are anchored,
//   whose parents are stored too;
// - an accepted one saves, and what was saved opens again as the same
//   document, which saves to the same bytes.
// Crashes, hangs and sanitizer findings show as themselves.

#include <string>
#include <string_view>

namespace velkaro::fuzz {

// "" when everything held; otherwise what did not, in one line.
std::string check_seq_document(std::string_view bytes);

} // namespace velkaro::fuzz
