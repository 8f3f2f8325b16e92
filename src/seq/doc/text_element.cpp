#include "seq/doc/text_element.h"

#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"
#include "seq/doc/frag_line.h"
#include "seq/doc/life_head.h"
#include "seq/doc/message.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/separator.h"
#include "seq/doc/share_rules.h"

namespace velkaro {

std::shared_ptr<SeqTextElement> SeqTextElement::create()
{
  return std::make_shared<SeqTextElement>();
}

std::shared_ptr<SeqTextElement> SeqTextElement::create_with_parent(const ElementPtr& parent)
{
  auto text = create();
  text->set_parent(parent);
  return text;
}

std::shared_ptr<SeqTextElement> SeqTextElement::create_with_text(const ElementPtr& parent,
                                                                 const std::string& text)
{
  auto e = create_with_parent(parent);
  e->set_text(text);
  return e;
}

SeqTextElement::SeqTextElement()
{
  text_tag = "seq_text";
}

void SeqTextElement::set_align()
{
  // The stored parent, whatever a kind's get_parent() would compute.
  const ElementPtr parent = ModelElement::get_parent();
  align = ModelAlign::CENTER;
  if (!parent || dynamic_cast<const SeqLifeHead*>(parent.get()))
    valign = ModelAlign::CENTER;
  else if (dynamic_cast<const SeqMsgLine*>(parent.get()) ||
           dynamic_cast<const SeqMessage*>(parent.get()))
    valign = ModelAlign::BOTTOM;
  else
    valign = ModelAlign::TOP;
}

void SeqTextElement::pick_parent(ModelWorkspace& ws, const ElementPtr& head)
{
  if (get_parent())
    return;
  ElementPtr parent;
  if (head) {
    parent = head->seek<SeqMsgLine>(ANY_ROLE);
    if (!parent)
      parent = head->seek<SeqSeparator>(ANY_ROLE);
    if (!parent)
      if (const auto line = head->seek<SeqFragLine>(0); line && line->is_topleft)
        parent = line;
  } else {
    // A text beside the anchor of a message, on the side the message runs.
    for (const int32_t a : {1, -1}) {
      ws.move_h(-a);
      if (const ElementPtr beside = ws.get_c_elm())
        parent = beside->seek<SeqMessage>(a);
      ws.move_h(a);
      if (parent)
        break;
    }
  }
  if (parent)
    set_parent(parent);
  set_align();
}

std::vector<ModelElement::ElementPtr> SeqTextElement::obstacles()
{
  const ElementPtr head = get_c_elm();
  if (head && head->has<SeqSeparator>(ANY_ROLE))
    return {};
  std::vector<ElementPtr> found;
  seq_chain_obstacles(SeqShareKind::text, *this, head, found);
  return found;
}

void SeqTextElement::vwrite()
{
  write_base(text_tag, [this] {
    if (SerializingWriter* writer = get_writer())
      (void)writer->write_text(get_text());
  });
}

void SeqTextElement::read_in_top()
{
  if (SerializingReader* reader = get_reader())
    read_text(*reader);
}

void SeqTextElement::on_insert()
{
  set_align();
}

} // namespace velkaro
