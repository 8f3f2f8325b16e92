#include "seq/doc/msg_type.h"

#include <array>

#include <glib.h>

#include "common/check.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro {
namespace {

struct KindWord {
  SeqMsgTypeTypes type;
  // The registered name of the kind.
  const char* nick;
  // What documents hold; it differs from the nick for a reply.
  const char* stored;
};

constexpr std::array<KindWord, 5> kind_words{{
    {SeqMsgTypeTypes::SYNCHRONOUS, "synchronous", "synchronous"},
    {SeqMsgTypeTypes::ASYNCHRONOUS, "asynchronous", "asynchronous"},
    {SeqMsgTypeTypes::REPLY, "reply", "replay"},
    {SeqMsgTypeTypes::FOUND, "found", "found"},
    {SeqMsgTypeTypes::LOSTZZ, "lostzz", "lostzz"},
}};

} // namespace

std::string seq_msg_type_types_to_string(SeqMsgTypeTypes type)
{
  for (const auto& row : kind_words)
    if (row.type == type)
      return row.stored;
  return kind_words.front().stored;
}

SeqMsgTypeTypes seq_msg_type_types_parse(const std::string& word)
{
  for (const auto& row : kind_words)
    if (word == row.stored)
      return row.type;
  return SeqMsgTypeTypes::SYNCHRONOUS;
}

SeqMsgTypeTypes seq_msg_type_types_from_int(int64_t n)
{
  const int64_t r = ((n % 3) + 3) % 3;
  return static_cast<SeqMsgTypeTypes>(r);
}

std::shared_ptr<SeqMsgType> SeqMsgType::create_with(const ElementPtr& parent, int64_t n)
{
  VK_CHECK_VAL(parent != nullptr, nullptr);
  auto e = create();
  e->set_parent(parent);
  e->msg_type = seq_msg_type_types_from_int(n);
  return e;
}

void SeqMsgType::write_in_top()
{
  if (SerializingWriter* writer = get_writer())
    (void)writer->write_attribute("msg_type", seq_msg_type_types_to_string(msg_type));
}

void SeqMsgType::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader)
    return;
  const auto word = reader->get_attribute("msg_type");
  if (!word) {
    g_critical("seq_msg_type_types_parse: assertion 'str != NULL' failed (<%s> without "
               "\"msg_type\")",
               reader->get_name().c_str());
    msg_type = SeqMsgTypeTypes::SYNCHRONOUS;
    return;
  }
  msg_type = seq_msg_type_types_parse(*word);
}

} // namespace velkaro
