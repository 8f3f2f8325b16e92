#include "seq_document_check.h"

#include <memory>

#include "document_check.h"
#include "seq/doc/workspace.h"

namespace velkaro::fuzz {

namespace {

// A life line with its head and name, open when the input is read.
constexpr std::string_view SEQ_OPEN_DOCUMENT = R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="1" v="0">
   <life_head/>
   <seq_text pi="0">open</seq_text>
  </cell>
  <cell h="1" v="1">
   <life_line pi="0" pv="0" has_stop="false"/>
  </cell>
  <cell h="1" v="2">
   <life_line pi="0" pv="0" has_stop="true"/>
  </cell>
 </element_cells>
</workspace>
)";

std::shared_ptr<ModelWorkspace> make_seq_workspace()
{
  return ModelWorkspace::create<SeqWorkspace>();
}

} // namespace

std::string check_seq_document(std::string_view bytes)
{
  static const DocumentCheckKind seq{&make_seq_workspace, SEQ_OPEN_DOCUMENT, nullptr, nullptr};
  return check_document(bytes, seq);
}

} // namespace velkaro::fuzz
