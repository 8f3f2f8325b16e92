#pragma once
// SeqFragLine: one cell of a fragment's frame, a child of the fragment. Its
// role is the direction: 0 horizontal (top and bottom edges), 1 vertical
// (left and right edges). is_topleft marks the top and left edges, is_start
// the first cell of an edge run, is_end its last cell. Vertical lines of the
// left edge carry the separators that start on them.
//
// Written as "fragment_line" with "is_topleft", "is_start", "is_end", each
// "true" and only when set; a direction other than 0 or 1 fails the read.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/element.h"

namespace velkaro {

class SeqFragment;

class SeqFragLine : public ModelElement {
public:
  static std::shared_ptr<SeqFragLine> create() { return std::make_shared<SeqFragLine>(); }
  // A line of fm in direction dir; null for a null fm.
  static std::shared_ptr<SeqFragLine> create_with_frag(const ElementPtr& fm, int32_t dir,
                                                       bool is_topleft);

  SeqFragLine() { tag = "fragment_line"; }

  const char* get_type_name() const override { return "SeqFragLine"; }
  ElementPtr new_instance() const override { return std::make_shared<SeqFragLine>(); }

  bool is_topleft = false;
  bool is_start = false;
  bool is_end = false;

  // The parent when it is a fragment.
  std::shared_ptr<SeqFragment> get_fm() const;
  int32_t get_dir() const { return get_role(); }

  // In the way: everything in the chain except elements in process, frame
  // lines of the other direction, and, for a vertical line, message lines,
  // separators and separator lines, for a horizontal one, life lines and
  // execution specifications.
  std::vector<ElementPtr> obstacles() override;
  bool get_is_cuttable() const override { return false; }
  // The nearest sibling before it; the fragment when there is none.
  ElementPtr get_upper() const override;
  void write_in_top() override;
  void read_in_top() override;
};

} // namespace velkaro
