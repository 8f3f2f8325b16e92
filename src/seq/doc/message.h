#pragma once
// SeqMessage: the anchor of a message, standing in the life-line cell it
// starts from (its stored parent, the life line, may be null). Its role is
// the direction, "right": 1 towards higher columns, -1 towards lower ones.
// Its children are its SeqMsgType (the kind), its SeqMsgLine cells along the
// row in its direction (none for a self message) and texts attached to it.
//
// Written as "message" with the common attributes; a role other than 1 or
// -1 fails the read.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/element.h"
#include "seq/doc/msg_type.h"

namespace velkaro {

class SeqLifeLine;
class SeqMsgLine;

class SeqMessage : public ModelElement {
public:
  static std::shared_ptr<SeqMessage> create() { return std::make_shared<SeqMessage>(); }
  // A message starting from ll (null: none) in direction right.
  static std::shared_ptr<SeqMessage> create(const ElementPtr& ll, int32_t right);

  SeqMessage() { tag = "message"; }

  const char* get_type_name() const override { return "SeqMessage"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqMessage>(); }

  // The parent when it is a life line.
  std::shared_ptr<SeqLifeLine> get_ll() const;
  int32_t get_right() const { return get_role(); }
  // The first child that is exactly a SeqMsgLine, or null.
  std::shared_ptr<SeqMsgLine> get_a_ml() const;
  // It has no message line.
  bool get_is_only() const;
  // The first child that is exactly a SeqMsgType, or null.
  std::shared_ptr<SeqMsgType> get_msg_type_elm() const;
  // That child's kind; SYNCHRONOUS (with a debug message) without one.
  SeqMsgTypeTypes get_msg_type() const;
  // The message itself when it has no line, else the last line towards the
  // tip.
  ElementPtr get_tip() const;

  // The parent becomes the first life line of head (null: none), replacing
  // any parent it had.
  void pick_parent(ModelWorkspace& ws, const ElementPtr& head) override;
  // In the way: everything in the chain except life lines, execution
  // execution specifications, kinds, messages of the other direction and message
  // lines of its own direction. Of those lines, one that is not a tip puts
  // its next line towards its tip in the way instead when this message has
  // no line.
  std::vector<ElementPtr> obstacles() override;
  void read_in_top() override;
};

} // namespace velkaro
