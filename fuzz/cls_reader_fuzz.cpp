// libFuzzer target: every input is read as a class document, the way
// opening a file reads it, and checked (cls_document_check.h).

#include "cls_document_check.h"
#include "reader_fuzz.h"

std::string velkaro::fuzz::check_input(std::string_view bytes)
{
  return check_cls_document(bytes);
}
