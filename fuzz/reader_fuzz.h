#pragma once
// The libFuzzer entry points every reader target shares (reader_fuzz.cpp):
// every input goes to the target's check, and a failed check aborts, so
// libFuzzer keeps the input as a finding. Each target defines the check in
// a file of its own (seq_reader_fuzz.cpp and the like).

#include <string>
#include <string_view>

namespace velkaro::fuzz {

// "" when the input passed the target's check; otherwise what did not hold.
std::string check_input(std::string_view bytes);

} // namespace velkaro::fuzz
