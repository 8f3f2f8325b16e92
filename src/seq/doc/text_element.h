#pragma once
// SeqTextElement: the text of a sequence diagram, free or attached. An
// attached text stands in the cell of the element it belongs to (a life
// head, a message or message line, a fragment, a frame line, a separator or
// separator line) and names it as its stored parent; its role follows from
// that link (1 free, 0 attached), and so do its alignments, which are set
// again every time the text enters a cell map.
//
// Written as "seq_text" with the common attributes and the text as content,
// without alignments.

#include <memory>
#include <string>
#include <vector>

#include "model/text_element.h"

namespace velkaro {

class SeqTextElement : public ModelTextElement {
public:
  static std::shared_ptr<SeqTextElement> create();
  // A text belonging to parent (null: a free text).
  static std::shared_ptr<SeqTextElement> create_with_parent(const ElementPtr& parent);
  // The same holding text.
  static std::shared_ptr<SeqTextElement> create_with_text(const ElementPtr& parent,
                                                          const std::string& text);

  SeqTextElement();

  const char* get_type_name() const override { return "SeqTextElement"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqTextElement>(); }

  // Both alignments from the stored parent: centred horizontally; vertically
  // centred without a parent or under a life head, at the bottom under a
  // message or message line, at the top under anything else.
  void set_align();

  // Keeps a parent the text already has. Otherwise, over the chain at its
  // cell (head): the first message line, else the first separator or
  // separator line, else the first horizontal frame line of a top edge.
  // Without a chain: the message of role 1 anchored in the cell to the left
  // of the workspace cursor, else the one of role -1 anchored in the cell to
  // its right; the cursor ends where it was. Then set_align().
  void pick_parent(ModelWorkspace& ws, const ElementPtr& head) override;
  // Everything in the chain at the test position is in the way except
  // message lines that are not a tip and frame lines of a top or left edge;
  // nothing is when the chain holds a separator or separator line.
  std::vector<ElementPtr> obstacles() override;
  void vwrite() override;
  // The text content only, refused as a plain text's is when it is more
  // than a text may hold.
  void read_in_top() override;
  // set_align().
  void on_insert() override;
};

} // namespace velkaro
