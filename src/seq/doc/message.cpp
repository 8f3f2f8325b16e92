#include "seq/doc/message.h"

#include <glib.h>

#include "common/text_join.h"
#include "model/serializing_reader.h"
#include "model/workspace.h"
#include "seq/doc/life_line.h"
#include "seq/doc/msg_line.h"
#include "seq/doc/share_rules.h"

namespace velkaro {

std::shared_ptr<SeqMessage> SeqMessage::create(const ElementPtr& ll, int32_t right)
{
  auto msg = create();
  msg->set_parent(ll);
  msg->set_role(right);
  return msg;
}

std::shared_ptr<SeqLifeLine> SeqMessage::get_ll() const
{
  return std::dynamic_pointer_cast<SeqLifeLine>(get_parent());
}

std::shared_ptr<SeqMsgLine> SeqMessage::get_a_ml() const
{
  return a_child_of<SeqMsgLine>(ANY_ROLE);
}

bool SeqMessage::get_is_only() const
{
  return get_a_ml() == nullptr;
}

std::shared_ptr<SeqMsgType> SeqMessage::get_msg_type_elm() const
{
  return a_child_of<SeqMsgType>(ANY_ROLE);
}

SeqMsgTypeTypes SeqMessage::get_msg_type() const
{
  if (const auto kind = get_msg_type_elm())
    return kind->msg_type;
  g_debug("message: critical error. there is no case that msg_type_elm is null");
  return SeqMsgTypeTypes::SYNCHRONOUS;
}

ModelElement::ElementPtr SeqMessage::get_tip() const
{
  const auto line = get_a_ml();
  if (!line)
    return std::const_pointer_cast<ModelElement>(shared_from_this());
  return line->get_bottom();
}

void SeqMessage::pick_parent(ModelWorkspace& ws, const ElementPtr& head)
{
  (void)ws;
  set_parent(head ? head->seek<SeqLifeLine>(ANY_ROLE) : nullptr);
}

std::vector<ModelElement::ElementPtr> SeqMessage::obstacles()
{
  std::vector<ElementPtr> found;
  const ElementPtr head = get_c_elm();
  if (!head)
    return found;
  const bool only = get_is_only();
  head->foreach([&](const ElementPtr& e) {
    const auto* line = dynamic_cast<const SeqMsgLine*>(e.get());
    if (line && line->get_right() == get_right()) {
      // A line of the same direction passing through: only the next line of
      // one that goes on is in the way of a message without lines.
      if (only && !line->get_is_tip())
        if (ElementPtr next = line->get_lower())
          found.push_back(std::move(next));
      return;
    }
    if (!seq_may_share(SeqShareKind::message, *this, *e))
      found.push_back(e);
  });
  return found;
}

void SeqMessage::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (reader && get_role() != 1 && get_role() != -1)
    reader->fail_here(text_join({"<", reader->get_name(), "> has the direction ",
                                 std::to_string(get_role()),
                                 "; a message runs right (1) or left (-1)"}));
}

} // namespace velkaro
