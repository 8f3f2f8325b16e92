#pragma once
// StmTextElement: the text of a state machine. Written as "stm_text" with
// the common attributes and the text as content, without alignments; it is
// read by the text element's reader, which takes a missing alignment as
// centre, so a text always reads back centred. One read with another
// alignment is refused, naming the line: the next save would lose it. A
// text is resizable while it has no parent (a free text).

#include <memory>
#include <string>

#include "model/text_element.h"

namespace velkaro {

class StmTextElement : public ModelTextElement {
public:
  // A text without parent, empty; the alignments are the text element's
  // defaults until something sets them.
  static std::shared_ptr<StmTextElement> create();
  // The same with a parent.
  static std::shared_ptr<StmTextElement> create_with_parent(const ElementPtr& parent);
  // The same holding text.
  static std::shared_ptr<StmTextElement> create_with_text(const ElementPtr& parent, const std::string& text);

  StmTextElement();

  const char* get_type_name() const override { return "StmTextElement"; }
  ElementPtr new_instance() const override { return std::make_shared<StmTextElement>(); }

  void vwrite() override;
  // The text element's reader, refusing an alignment other than centre.
  void read_in_top() override;
  bool get_resizable() const override { return get_parent() == nullptr; }
};

} // namespace velkaro
