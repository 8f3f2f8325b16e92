#pragma once
// SeqMsgTypeTypes, the kinds of message, and SeqMsgType, the element that
// holds a message's kind in the message's anchor cell (its stored parent is
// the message). Written as "message_type" with "msg_type" always, as the
// kind's stored word.

#include <cstdint>
#include <memory>
#include <string>

#include "model/element.h"

namespace velkaro {

enum class SeqMsgTypeTypes {
  SYNCHRONOUS = 0,
  ASYNCHRONOUS = 1,
  REPLY = 2,
  FOUND = 3,
  LOSTZZ = 4,
};

// The word stored in documents: "synchronous", "asynchronous", "replay",
// "found", "lostzz". Documents depend on exactly these words, "replay" and
// "lostzz" included.
std::string seq_msg_type_types_to_string(SeqMsgTypeTypes type);
// The kind of a stored word; any other word ("reply" among them) gives
// SYNCHRONOUS.
SeqMsgTypeTypes seq_msg_type_types_parse(const std::string& word);
// The kind that editing makes from n: n modulo 3, counted from 0 to 2 also
// for a negative n (-1 gives REPLY, -2 ASYNCHRONOUS).
SeqMsgTypeTypes seq_msg_type_types_from_int(int64_t n);

class SeqMsgType : public ModelElement {
public:
  static std::shared_ptr<SeqMsgType> create() { return std::make_shared<SeqMsgType>(); }
  // The kind element of parent built from n (seq_msg_type_types_from_int());
  // null for a null parent.
  static std::shared_ptr<SeqMsgType> create_with(const ElementPtr& parent, int64_t n);

  SeqMsgType() { tag = "message_type"; }

  const char* get_type_name() const override { return "SeqMsgType"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqMsgType>(); }

  SeqMsgTypeTypes msg_type = SeqMsgTypeTypes::SYNCHRONOUS;

  void write_in_top() override;
  // A missing "msg_type" is logged as a critical message and reads as
  // SYNCHRONOUS; an unknown word reads as SYNCHRONOUS.
  void read_in_top() override;
};

} // namespace velkaro
