#pragma once
// A sequence document read as the sequence editor opens a file, checked as
// document_check.h says; a sequence document has no rules of its own
// beyond the common ones.

#include <string>
#include <string_view>

namespace velkaro::fuzz {

// "" when everything held; otherwise what did not, in one line.
std::string check_seq_document(std::string_view bytes);

} // namespace velkaro::fuzz
