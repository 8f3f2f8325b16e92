#include "stm/doc/text_element.h"

#include "common/text_join.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {

std::shared_ptr<StmTextElement> StmTextElement::create()
{
  return std::make_shared<StmTextElement>();
}

std::shared_ptr<StmTextElement> StmTextElement::create_with_parent(const ElementPtr& parent)
{
  auto text = create();
  text->set_parent(parent);
  return text;
}

std::shared_ptr<StmTextElement> StmTextElement::create_with_text(const ElementPtr& parent,
                                                                 const std::string& text)
{
  auto e = create_with_parent(parent);
  e->set_text(text);
  return e;
}

StmTextElement::StmTextElement()
{
  text_tag = "stm_text";
}

void StmTextElement::vwrite()
{
  write_base(text_tag, [this] {
    if (SerializingWriter* writer = get_writer())
      (void)writer->write_text(get_text());
  });
}

void StmTextElement::read_in_top()
{
  ModelTextElement::read_in_top();
  SerializingReader* reader = get_reader();
  if (!reader || reader->has_error() || (align == ModelAlign::CENTER && valign == ModelAlign::CENTER))
    return;
  reader->fail_here(text_join({"<", reader->get_name(), "> is aligned ", model_align_to_string(align), " and ",
                               model_align_to_string(valign), "; a state-machine text is always centred"}));
}

} // namespace velkaro
