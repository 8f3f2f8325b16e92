#pragma once
// SeqFragment: the top-left corner of a combined fragment, sharing its cell
// with the fragment's text, which starts with the operator keyword. Its
// children are its frame lines (SeqFragLine) and its text. Written as
// "fragment" with the common attributes.

#include <memory>
#include <string>
#include <vector>

#include "model/element.h"

namespace velkaro {

class SeqFragLine;
class SeqTextElement;

class SeqFragment : public ModelElement {
public:
  static std::shared_ptr<SeqFragment> create() { return std::make_shared<SeqFragment>(); }
  SeqFragment() { tag = "fragment"; }

  const char* get_type_name() const override { return "SeqFragment"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqFragment>(); }

  // The first text of its chain, or null.
  std::shared_ptr<SeqTextElement> get_text_elm() const;
  // That text's text; "" without one.
  std::string get_text() const;
  // The last vertical frame line in the element order: the frame's
  // bottom-right corner. Null without vertical lines.
  std::shared_ptr<SeqFragLine> get_bottom_right() const;
  // The first of "ref", "alt", "opt", "par", "loop", "break", "critical",
  // "assert", "neg", "ignore", "consider", "unknown" that the text starts
  // with (case-sensitive, further letters allowed); "unknown" when none
  // does, also without a text or with an empty one.
  const char* get_operator() const;

  // Only elements in process may share its cell.
  std::vector<ElementPtr> obstacles() override;
};

} // namespace velkaro
