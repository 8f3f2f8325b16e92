// libFuzzer target: every input is read as a sequence document, the way
// opening a file reads it, and checked (seq_document_check.h).

#include "seq_document_check.h"
#include "reader_fuzz.h"

std::string velkaro::fuzz::check_input(std::string_view bytes)
{
  return check_seq_document(bytes);
}
