#include "seq/doc/msg_line.h"

#include <string>

#include "common/check.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"
#include "seq/doc/message.h"
#include "seq/doc/share_rules.h"
#include "seq/doc/text_element.h"

namespace velkaro {
namespace {

// What a text on the line adds below it.
constexpr double TEXT_GAP = 8.75;

} // namespace

std::shared_ptr<SeqMsgLine> SeqMsgLine::create_with_msg(const ElementPtr& msg)
{
  VK_CHECK_VAL(msg != nullptr, nullptr);
  auto line = create();
  line->set_parent(msg);
  return line;
}

std::shared_ptr<SeqMessage> SeqMsgLine::get_msg() const
{
  return std::dynamic_pointer_cast<SeqMessage>(get_parent());
}

int32_t SeqMsgLine::get_right() const
{
  const auto msg = get_msg();
  return msg ? msg->get_right() : 0;
}

SeqMsgTypeTypes SeqMsgLine::get_msg_type() const
{
  const auto msg = get_msg();
  return msg ? msg->get_msg_type() : SeqMsgTypeTypes::SYNCHRONOUS;
}

void SeqMsgLine::set_in_process(bool b)
{
  const auto msg = get_msg();
  VK_CHECK(msg != nullptr);
  msg->set_in_process(b);
}

bool SeqMsgLine::get_flip() const
{
  return get_right() != 1;
}

std::vector<ModelElement::ElementPtr> SeqMsgLine::obstacles()
{
  // A new line's place among its siblings is where it is tested.
  if (!stored)
    pos = wpos;
  auto found = seq_pattern_obstacles(SeqShareKind::msg_line, *this);
  const auto ws = get_ws();
  if (!ws)
    return found;
  const int32_t r = get_right();
  if (const ElementPtr behind = ws->elm_at({wpos.x - r, wpos.y})) {
    const auto msg = behind->seek<SeqMessage>(r);
    if (msg && msg != get_msg())
      found.push_back(msg);
  }
  return found;
}

void SeqMsgLine::write_in_top()
{
  if (SerializingWriter* writer = get_writer(); writer && point != ANY_ROLE)
    (void)writer->write_attribute("point", std::to_string(point));
}

void SeqMsgLine::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader)
    return;
  if (!reader->get_attribute("point")) {
    point = ANY_ROLE;
    return;
  }
  if (const auto value = reader->get_attribute_int_checked("point", ""))
    point = *value;
}

Rectangle SeqMsgLine::get_rect()
{
  const auto text = seek<SeqTextElement>(ANY_ROLE);
  if (!text)
    return {0, 0, 0, 0};
  Rectangle r = text->get_rect();
  r.height += TEXT_GAP;
  return r;
}

} // namespace velkaro
