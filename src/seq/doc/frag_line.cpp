#include "seq/doc/frag_line.h"

#include <string>

#include "common/check.h"
#include "common/text_join.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "seq/doc/fragment.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/xml_values.h"

namespace velkaro {

std::shared_ptr<SeqFragLine> SeqFragLine::create_with_frag(const ElementPtr& fm, int32_t dir,
                                                           bool is_topleft)
{
  VK_CHECK_VAL(fm != nullptr, nullptr);
  auto line = create();
  line->set_parent(fm);
  line->set_role(dir);
  line->is_topleft = is_topleft;
  return line;
}

std::shared_ptr<SeqFragment> SeqFragLine::get_fm() const
{
  return std::dynamic_pointer_cast<SeqFragment>(get_parent());
}

std::vector<ModelElement::ElementPtr> SeqFragLine::obstacles()
{
  return seq_pattern_obstacles(SeqShareKind::frag_line, *this);
}

ModelElement::ElementPtr SeqFragLine::get_upper() const
{
  if (ElementPtr upper = ModelElement::get_upper())
    return upper;
  return get_parent();
}

void SeqFragLine::write_in_top()
{
  SerializingWriter* writer = get_writer();
  if (!writer)
    return;
  seq_xml::write_flag_if_set(*writer, "is_topleft", is_topleft);
  seq_xml::write_flag_if_set(*writer, "is_start", is_start);
  seq_xml::write_flag_if_set(*writer, "is_end", is_end);
}

void SeqFragLine::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader)
    return;
  is_topleft = seq_xml::read_flag(*reader, "is_topleft");
  is_start = seq_xml::read_flag(*reader, "is_start");
  is_end = seq_xml::read_flag(*reader, "is_end");
  if (get_role() != 0 && get_role() != 1)
    reader->fail_here(text_join({"<", reader->get_name(), "> has the direction ",
                                 std::to_string(get_role()),
                                 "; a frame line is horizontal (0) or vertical (1)"}));
}

} // namespace velkaro
