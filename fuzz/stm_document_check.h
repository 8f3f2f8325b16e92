#pragma once
// A state-machine document read as the state-machine editor opens a file,
// checked as document_check.h says, with the rules of a state-machine
// document just read: its grid and cells are the state-machine kinds,
// every line is at least the state-machine minimum, every element is a
// point state, a composite, a line or a text, and every point state covers
// one cell.

#include <string>
#include <string_view>

namespace velkaro::fuzz {

// "" when everything held; otherwise what did not, in one line.
std::string check_stm_document(std::string_view bytes);

} // namespace velkaro::fuzz
