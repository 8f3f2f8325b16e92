#pragma once
// SeqLifeHead: the box at the top of a life line, holding the participant's
// name: the first SeqTextElement of its own chain. The life-line cells below
// it are its children. Written as "life_head" with the common attributes.

#include <memory>
#include <string>
#include <vector>

#include "model/element.h"

namespace velkaro {

class SeqTextElement;

class SeqLifeHead : public ModelElement {
public:
  static std::shared_ptr<SeqLifeHead> create() { return std::make_shared<SeqLifeHead>(); }
  SeqLifeHead() { tag = "life_head"; }

  const char* get_type_name() const override { return "SeqLifeHead"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqLifeHead>(); }

  // The first text of its chain, or null.
  std::shared_ptr<SeqTextElement> get_text_elm() const;
  // That text's text; "" without one.
  std::string get_text() const;

  // Everything in its own cell is in the way; in the cell below, everything
  // but message lines, separators, separator lines and horizontal frame
  // lines. Leaves the workspace cursor two rows below the test position.
  std::vector<ElementPtr> obstacles() override;
  // Centres the box (of the size the last get_rect() gave) in box.
  void layout(const Rectangle& box) override;
  // Without a text the rectangle as it stands; else the text's rectangle
  // grown by 8 both ways, at least 89 wide, at the position the last
  // layout gave.
  Rectangle get_rect() override;

private:
  Rectangle m_rect;
};

} // namespace velkaro
