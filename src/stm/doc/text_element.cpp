#include "stm/doc/text_element.h"

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

} // namespace velkaro
