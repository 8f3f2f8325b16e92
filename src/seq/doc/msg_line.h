#pragma once
// SeqMsgLine: one cell that a message's arrow crosses, a child of its
// message. The lines of a message are siblings with role 0, ordered so that
// the lower sibling is always the next line towards the tip (get_flip() is
// true for a message going left). The last line, the tip, carries the point
// where the arrow ends: the nesting level of the execution specification it
// reaches, or ANY_ROLE (999999) for none.
//
// Written as "message_line" with "point" unless it is ANY_ROLE. Reading
// takes the value's leading decimal integer (0 when it has none); a missing
// "point" is ANY_ROLE and a number beyond 32 bits fails the read.

#include <cstdint>
#include <memory>
#include <vector>

#include "common/any.h"
#include "model/element.h"
#include "seq/doc/msg_type.h"

namespace velkaro {

class SeqMessage;

class SeqMsgLine : public ModelElement {
public:
  static std::shared_ptr<SeqMsgLine> create() { return std::make_shared<SeqMsgLine>(); }
  // A line of msg; null for a null msg.
  static std::shared_ptr<SeqMsgLine> create_with_msg(const ElementPtr& msg);

  SeqMsgLine() { tag = "message_line"; }

  const char* get_type_name() const override { return "SeqMsgLine"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqMsgLine>(); }

  int32_t point = ANY_ROLE;

  // The parent when it is a message.
  std::shared_ptr<SeqMessage> get_msg() const;
  // Its message's direction (0 without a message) and kind.
  int32_t get_right() const;
  SeqMsgTypeTypes get_msg_type() const;
  // No line follows it towards the tip.
  bool get_is_tip() const { return get_is_bottom(); }

  // Marks its message instead.
  void set_in_process(bool b) override;
  // In the way: everything in the chain except life lines, execution
  // execution specifications, kinds, vertical frame lines, messages of its direction,
  // and lines of the other direction when both they and this line are tips;
  // also a message of its direction other than its own anchored in the cell
  // behind it. A line not yet stored is tested as standing at its test
  // position, so that its tip test is meaningful.
  std::vector<ElementPtr> obstacles() override;
  bool get_flip() const override;
  void write_in_top() override;
  void read_in_top() override;
  // The rectangle of the first text in its chain, 8.75 higher; nothing
  // without one.
  Rectangle get_rect() override;
};

} // namespace velkaro
