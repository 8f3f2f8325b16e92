#pragma once
// SeqSeparator: the first cell of an operand separator, standing on a cell
// of a fragment's left edge, whose vertical frame line is its stored parent.
// Its children are the SeqSepLine cells that carry it along its row up to
// the frame's right edge, and texts attached to it. Written as "separator"
// with the common attributes.

#include <memory>
#include <vector>

#include "model/element.h"

namespace velkaro {

class SeqFragLine;
class SeqTextElement;

class SeqSeparator : public ModelElement {
public:
  static std::shared_ptr<SeqSeparator> create() { return std::make_shared<SeqSeparator>(); }
  // A separator starting on fl; null for a null fl.
  static std::shared_ptr<SeqSeparator> create_with_fl(const ElementPtr& fl);

  SeqSeparator() { tag = "separator"; }

  const char* get_type_name() const override { return "SeqSeparator"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqSeparator>(); }

  // The frame line the separator starts on: for a separator its parent when
  // that is a frame line, for a separator line its separator's; else null.
  virtual std::shared_ptr<SeqFragLine> get_fl() const;
  // The first child that is exactly a SeqTextElement, or null.
  std::shared_ptr<SeqTextElement> get_text_elm() const;

  // In the way: everything in the chain except elements in process,
  // vertical frame lines, life lines and execution specifications.
  std::vector<ElementPtr> obstacles() override;

protected:
  bool is_own_type(const ModelElement& other) const override
  {
    return is_own_type_of<SeqSeparator>(other);
  }
};

} // namespace velkaro
