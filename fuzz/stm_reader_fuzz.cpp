// libFuzzer target: every input is read as a state-machine document, the way
// opening a file reads it, and checked (stm_document_check.h).

#include "stm_document_check.h"
#include "reader_fuzz.h"

std::string velkaro::fuzz::check_input(std::string_view bytes)
{
  return check_stm_document(bytes);
}
